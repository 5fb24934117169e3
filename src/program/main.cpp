// tavrenne: the desktop program.
#include <QApplication>
#include <QStringList>

#include "app/AppRuntime.h"
#include "app/Tavrenne.h"
#include "platform/PathText.h"
#include "platform/SingleInstance.h"
#include "app/CustomOption.h"
#include "tools/ToolWindows.h"
#include "batch/Tallcheck.h"

int main(int argc, char** argv) {
    CatchTerminationRequests();
    // A second copy ends at once, silently.
    TSingleInstance instance(QStringLiteral("TTavrenne"));
    if (!instance.TryAcquire()) return 0;

    // The arguments as given: QApplication takes away those it understands itself.
    QStringList args;
    // Every byte of a file name is kept: names need not be UTF-8.
    for (int i = 1; i < argc; ++i) args << PathToQString(argv[i]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrenne"));
    InstallRuntimeHooks();
    // Before the windows: the start-up can open boxes and run a long analysis.
    WatchTerminationRequests();

    TTavrenne main;
    ConnectTools(main);
    QObject::connect(&main, &TTavrenne::batchRequested, &main, [&main] { RunBatchWindow(&main); });
    // Lives until the end of the run; destroyed before the main window, it saves the settings.
    Tcustomoption customoption(main);
    customoption.FormCreate(args);
    return RunMessageLoop();
}
