#include "app/AppRuntime.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "app/Tavrenne.h"
#include "engine/NormalFileInfo.h"
#include "platform/Dialogs.h"
#include "platform/IconLookup.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#endif

void InstallRuntimeHooks() {
    SetMessagePump([] { QCoreApplication::processEvents(); });
    InstallIconLookup();
}

#ifndef _WIN32
namespace {

// The handler may only set a flag and write to a pipe; the application reads the pipe.
int g_requests[2] = {-1, -1};
volatile std::sig_atomic_t g_requested = 0;
QTimer* g_retry = nullptr;

void OnTerminationRequest(int) {
    g_requested = 1;
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_requests[1], &c, 1);
}

// Also cancels a run that only began after the request (a question answered Yes may start
// one), but each run once.
void CancelAnalysis() {
    if (Tavrenne) Tavrenne->CancelRun();
}

void StepTowardsEnd() {
    CancelAnalysis();
    // Quitting closes the windows first; the main window refuses while a run winds down,
    // and a refused close drops the quit. Before and after the main loop, quit does nothing.
    if (!(Tavrenne && Tavrenne->AnalysisRunning())) QCoreApplication::quit();
}

void ActOnRequest() {
    char buf[16];
    while (::read(g_requests[0], buf, sizeof buf) > 0) {
    }
    DismissDialogs();
    StepTowardsEnd();
    if (!g_retry) {
        // Until the main loop has been left: the cancelled run needs a moment to end.
        g_retry = new QTimer(QCoreApplication::instance());
        QObject::connect(g_retry, &QTimer::timeout, g_retry, &StepTowardsEnd);
        g_retry->start(100);
    }
}

}  // namespace

void CatchTerminationRequests() {
    if (::pipe2(g_requests, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnTerminationRequest;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &sa, nullptr);
}

void WatchTerminationRequests() {
    if (g_requests[0] < 0) return;
    auto* notifier = new QSocketNotifier(g_requests[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, &ActOnRequest);
    // One that came before there was an application: no box of the start-up is shown.
    if (g_requested) ActOnRequest();
}

int RunMessageLoop() {
    if (g_requested) {
        // Asked to end before the loop could take it: no box of the closing is shown either.
        DismissDialogs();
        QApplication::closeAllWindows();
        return 0;
    }
    return QApplication::exec();
}
#else
void CatchTerminationRequests() {}
void WatchTerminationRequests() {}
int RunMessageLoop() { return QApplication::exec(); }
#endif
