// tavrenne: the desktop program.
#include <QApplication>
#include <string>
#include <vector>

#include "app/AppRuntime.h"
#include "app/Tavrenne.h"
#include "platform/Dialogs.h"
#include "platform/SingleInstance.h"
#include "options/CustomOption.h"
#include "batch/Tallcheck.h"
#include "tools/ToolWindows.h"

int main(int argc, char** argv) {
    CatchTerminationRequests();
    // The arguments as given, every byte of a file name kept: names need not be UTF-8. Taken
    // before QApplication removes those it understands itself.
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A second copy hands its arguments to the running one, then ends with 0 whatever came of it.
    TSingleInstance instance(QStringLiteral("TTavrenne"));
    if (!instance.TryAcquire()) {
        instance.HandOver(args);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrenne"));
    // The standard dialogs speak the program's language.
    InstallQtTranslation();
    InstallRuntimeHooks();
    // Before the windows: the start-up can open boxes and run a long analysis.
    WatchTerminationRequests();

    TTavrenne window;
    TMainWindow& main = window;
    main.OnCommand(TUpperWindow::Batch, [&main] { RunBatchWindow(main); });
    ConnectTools(main);
    // Lives until the end of the run; destroyed before the main window, it saves the settings.
    Tcustomoption customoption(main);
    main.OnCommand(TUpperWindow::Options, [&customoption] { customoption.Execute(); });
    // Handed-over arguments are a command line of their own; ignored while a run goes on.
    instance.Listen([&main, &customoption](const std::vector<std::string>& given) {
        if (main.AcceptHandOver()) customoption.RunCommandLine(given);
    });
    customoption.FormCreate(args);
    const int code = RunMessageLoop();
    // The windows go next: nothing more is taken from later starts.
    instance.StopListening();
    return code;
}
