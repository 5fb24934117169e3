#include "platform/Platform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

class TRealPlatform : public TPlatform {
public:
    QString ProgramFile() const override { return QCoreApplication::applicationFilePath(); }
    QString ProgramFolder() const override { return QCoreApplication::applicationDirPath(); }

    void StartProgram(const QString& program, const QString& parameters) override {
        // Detached: the helper outlives us and we never wait for it.
        QProcess::startDetached(program, QProcess::splitCommand(parameters));
    }

    void OpenDocument(const QString& pathOrUrl) override {
        const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
        QDesktopServices::openUrl(url);
    }

    void SetClipboardText(const QString& text) override {
        if (auto* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
    }

    void PlaySound(const QString& file) override {
        if (player_) {
            player_->kill();
            player_->waitForFinished(200);
            delete player_;
        }
        QString tool = QStandardPaths::findExecutable(QStringLiteral("paplay"));
        if (tool.isEmpty()) tool = QStandardPaths::findExecutable(QStringLiteral("aplay"));
        if (tool.isEmpty()) return;
        player_ = new QProcess(QCoreApplication::instance());
        player_->start(tool, {file});
    }

private:
    QPointer<QProcess> player_;
};

TPlatform* g_platform = nullptr;

}  // namespace

TPlatform& Platform() {
    static TRealPlatform real;
    return g_platform ? *g_platform : real;
}

void SetPlatform(TPlatform* platform) { g_platform = platform; }

QString ExecutableName(const QString& base) {
#ifdef _WIN32
    return base + QStringLiteral(".exe");
#else
    return base;
#endif
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator())) return folder + name;
    return folder + QLatin1Char('/') + name;
}
