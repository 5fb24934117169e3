// tavrenne: the desktop program.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppRuntime.h"
#include "app/HandOverQueue.h"
#include "app/Tavrenne.h"
#include "app/Translations.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/SingleInstance.h"
#include "options/CustomOption.h"
#include "batch/Tallcheck.h"
#include "tools/ToolWindows.h"

namespace {

// How long a start waits for a running copy that is ending.
constexpr int kEndingCopyWaitMs = 10000;

}  // namespace

int main(int argc, char** argv) {
    CatchTerminationRequests();
    // The arguments as given, every byte of a file name kept: names need not be UTF-8. Taken
    // before QApplication removes those it understands itself.
    std::vector<std::string> args(argv + 1, argv + argc);
    // "--lang" is this start's alone: a running copy keeps its language.
    const TLanguageSwitch languageSwitch = TakeLanguageSwitch(args);
    if (!languageSwitch.Error.empty()) std::fprintf(stderr, "tavrenne: %s\n", languageSwitch.Error.c_str());
    // A second copy hands its arguments to the running one and ends with 0. A running copy
    // that takes nothing is ending (it stopped listening when its window closed): this start
    // waits for it to be gone and runs in its place.
    TSingleInstance instance(QStringLiteral("TTavrenne"));
    if (!instance.TryAcquire()) {
        if (instance.HandOver(args)) return 0;
        if (!instance.TryAcquire(kEndingCopyWaitMs)) {
            std::fprintf(stderr, "tavrenne: the running copy takes no files and does not end\n");
            return 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrenne"));
    // The windows' language, and the standard dialogs' with it; a change of the setting
    // takes effect at the next start.
    InstallLanguage(DecideLanguage(TLanguageEnvironment::OfProcess(),
                                   StoredLanguageChoice(ProgramLayout().SettingsFile()), languageSwitch.Choice));
    InstallRuntimeHooks();
    // Before the windows: the start-up can open boxes and run a long analysis.
    WatchTerminationRequests();

    TTavrenne window;
    TMainWindow& main = window;
    main.OnCommand(TUpperWindow::Batch, [&main] { RunBatchWindow(main); });
    window.SetChecksumListHandler(
        [&main](const TPath& path, bool forced) { return RunBatchWindowForList(main, path, forced); });
    ConnectTools(main);
    // Lives until the end of the run; destroyed before the main window, it saves the settings.
    Tcustomoption customoption(main);
    main.OnCommand(TUpperWindow::Options, [&customoption] { customoption.Execute(); });
    // Handed-over arguments are a command line of their own, taken when the window is free.
    THandOverQueue handOvers(main, [&customoption](const std::vector<std::string>& given) {
        customoption.RunCommandLine(given);
    });
    instance.Listen([&handOvers](const std::vector<std::string>& given) { handOvers.Add(given); });
    // From the moment the window agrees to close, later starts are not this copy's.
    QObject::connect(&window, &TTavrenne::closing, &window, [&instance] { instance.StopListening(); });
    customoption.FormCreate(args);
    const int code = RunMessageLoop();
    // The windows go next: nothing more is taken from later starts.
    instance.StopListening();
    return code;
}
