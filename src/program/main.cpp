// tavrenne: the desktop program.
#include <QApplication>
#include <QStringList>
#include <string>
#include <vector>

#include "app/AppRuntime.h"
#include "app/Tavrenne.h"
#include "platform/Dialogs.h"
#include "platform/PathText.h"
#include "platform/SingleInstance.h"
#include "options/CustomOption.h"
#include "batch/Tallcheck.h"
#include "tools/ToolWindows.h"

int main(int argc, char** argv) {
    CatchTerminationRequests();
    // A second copy hands its arguments to the running one, then ends with 0 whatever came of it.
    TSingleInstance instance(QStringLiteral("TTavrenne"));
    if (!instance.TryAcquire()) {
        instance.HandOver(std::vector<std::string>(argv + 1, argv + argc));
        return 0;
    }

    // The arguments as given: QApplication takes away those it understands itself.
    QStringList args;
    // Every byte of a file name is kept: names need not be UTF-8.
    for (int i = 1; i < argc; ++i) args << PathToQString(argv[i]);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrenne"));
    // The standard dialogs speak the program's language.
    InstallQtTranslation();
    InstallRuntimeHooks();
    // Before the windows: the start-up can open boxes and run a long analysis.
    WatchTerminationRequests();

    TTavrenne main;
    QObject::connect(&main, &TTavrenne::batchRequested, &main, [&main] { RunBatchWindow(&main); });
    ConnectTools(main);
    // Lives until the end of the run; destroyed before the main window, it saves the settings.
    Tcustomoption customoption(main);
    QObject::connect(&main, &TTavrenne::optionsRequested, &customoption, [&customoption] { customoption.Execute(); });
    // Handed-over arguments are a command line of their own; ignored while a run goes on.
    instance.Listen([&main, &customoption](const std::vector<std::string>& given) {
        QStringList handed;
        for (const std::string& a : given) handed << PathToQString(a);
        if (main.AcceptHandOver()) customoption.RunCommandLine(handed);
    });
    customoption.FormCreate(args);
    const int code = RunMessageLoop();
    // The windows go next: nothing more is taken from later starts.
    instance.StopListening();
    return code;
}
