#include "cli/Analyze.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>

#include "app/Tavrenne.h"
#include "text/Cp932.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "app/SettingsAccess.h"

namespace {

const char* const kAnalyzeUsage =
    "usage: tavrenne-cli analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] FILE\n";

int AnalyzeUsage(const std::string& problem) {
    std::fprintf(stderr, "tavrenne-cli: %s\n%s", problem.c_str(), kAnalyzeUsage);
    return 2;
}

// Message boxes go to standard error; questions are answered No.
class TConsoleDialogs : public TDialogs {
public:
    TMsgResult MessageBox(const QString& caption, const QString& text, TMsgButtons buttons, TMsgIcon) override {
        std::fprintf(stderr, "tavrenne-cli: [%s] %s\n", caption.toStdString().c_str(), text.toStdString().c_str());
        return buttons == TMsgButtons::YesNo ? TMsgResult::No : TMsgResult::Ok;
    }
    QString OpenFile(const TFileDialogRequest&) override { return {}; }
    QString SaveFile(const TFileDialogRequest&) override { return {}; }
    QString SelectFolder(const QString&, const QString&) override { return {}; }
};

// No sound, no helper, no desktop; the clipboard stays inside the process.
class TSilentPlatform : public TPlatform {
public:
    QString ProgramFile() const override { return QCoreApplication::applicationFilePath(); }
    QString ProgramFolder() const override { return QCoreApplication::applicationDirPath(); }
    void StartProgram(const QString&, const QString&) override {}
    void OpenDocument(const QString&) override {}
    void SetClipboardText(const QString&) override {}
    void PlaySound(const QString&) override {}
};

}  // namespace

int RunAnalyze(const std::vector<std::string>& args) {
    char sw = 'a';
    bool upper = false;
    bool cp932Output = false;
    int compareIndex = -1;
    std::string compareValue;
    std::string file;
    bool switchSeen = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-a" || a == "-c" || a == "-m" || a == "-h") {
            if (switchSeen) return AnalyzeUsage("only one of -a, -c, -m, -h");
            switchSeen = true;
            sw = a[1];
        } else if (a == "--upper") {
            upper = true;
        } else if (a == "--cp932") {
            cp932Output = true;
        } else if (a == "--compare") {
            if (i + 2 >= args.size()) return AnalyzeUsage("--compare needs a kind and a value");
            const std::string kind = args[++i];
            if (kind == "md5") compareIndex = 0;
            else if (kind == "sha1") compareIndex = 1;
            else if (kind == "crc32") compareIndex = 2;
            else return AnalyzeUsage("--compare takes md5, sha1 or crc32");
            compareValue = args[++i];
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return AnalyzeUsage("unknown option: " + a);
        } else {
            if (!file.empty()) return AnalyzeUsage("analyze takes exactly one FILE");
            file = a;
        }
    }
    if (file.empty()) return AnalyzeUsage("analyze needs a FILE");

    // The window lives on the offscreen platform: nothing appears on any screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notices (a missing runtime folder and the like) are no business of a script.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toStdString().c_str());
    });
    static int argc = 1;
    static char name[] = "tavrenne-cli";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    TConsoleDialogs dialogs;
    TSilentPlatform platform;
    SetDialogs(&dialogs);
    SetPlatform(&platform);
    int status = 1;
    {
        TTavrenne window;
        window.Wait = [](int) {};
        // The desktop program's settings file, read and never written: sidecars, cache, buffer
        // size and display case are the same as in the window.
        TRecordSettings settings(InitialSettings());
        LoadSettings(TProgramLayout(platform.ProgramFolder().toStdString()).SettingsFile(),
                     window.ProgramInfo.FileVersion, settings.Values);
        SetSettings(&settings);
        window.CheckBox4->setChecked(sw == 'a' || sw == 'c');
        window.CheckBox5->setChecked(sw == 'a' || sw == 'm');
        window.CheckBox6->setChecked(sw == 'a' || sw == 'h');
        if (upper || settings.Values.StrByL) window.Action17->trigger();
        if (compareIndex >= 0) {
            window.CheckBox3->setChecked(true);
            window.ComboBox1->setCurrentIndex(compareIndex);
            window.Edit1->setText(QString::fromStdString(compareValue));
        }
        window.AnalyzeFile(QString::fromStdString(file));

        QStringList lines = window.ResultLines();
        lines += window.LogFileLines();
        if (cp932Output) {
            for (const QString& line : lines) {
                const std::string bytes = cp932::FromUtf8(line.toStdString()) + "\r\n";
                std::fwrite(bytes.data(), 1, bytes.size(), stdout);
            }
        } else {
            for (const QString& line : lines) std::printf("%s\n", line.toStdString().c_str());
        }
        std::fflush(stdout);
        status = window.LastRunFailed() ? 1 : 0;
        SetSettings(nullptr);
    }
    SetPlatform(nullptr);
    SetDialogs(nullptr);
    return status;
}
