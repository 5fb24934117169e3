// tavrenne: the desktop program.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QStringList>

#include "app/AppRuntime.h"
#include "app/Spwindow.h"
#include "app/Tavrenne.h"
#include "engine/FileUtils.h"
#include "platform/SingleInstance.h"
#include "settings/CommandLine.h"
#include "settings/SettingsAccess.h"

namespace {

// The file named on the command line: a switch and a path, or a bare path.
void RunCommandLine(TTavrenne& main, const QStringList& args) {
    std::vector<std::string> list;
    for (const QString& a : args) list.push_back(a.toStdString());
    const TCommandLineDecision d =
        EvaluateCommandLine(list, [](const std::string& p) { return FileExistsByAge(p); });
    if (d.FileToAnalyze.empty()) return;
    if (d.SetDigests) {
        main.CheckBox4->setChecked(d.CheckCRC);
        main.CheckBox5->setChecked(d.CheckMD5);
        main.CheckBox6->setChecked(d.CheckSHA1);
    }
    main.AnalyzeFile(QString::fromStdString(d.FileToAnalyze));
    if (d.RunDuplicateSearch) main.Action5->trigger();
}

}  // namespace

int main(int argc, char** argv) {
    // A second copy ends at once, silently.
    TSingleInstance instance(QStringLiteral("TTavrenne"));
    if (!instance.TryAcquire()) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrenne"));
    InstallRuntimeHooks();

    QStringList args = QApplication::arguments();
    args.removeFirst();

    TTavrenne main;
    QPointer<Tspwindow> splash = args.isEmpty() ? new Tspwindow(main) : nullptr;
    if (splash) {
        if (Settings().NoSplash()) {
            delete splash;
        } else {
            splash->show();
            splash->repaint();
        }
    }
    main.show();
    main.repaint();
    // Without a window manager "stay on top" means nothing: keep the splash above by hand.
    if (splash) splash->raise();
    RunCommandLine(main, args);
    return app.exec();
}
