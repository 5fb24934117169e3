#include "app/AppRuntime.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "engine/NormalFileInfo.h"
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

// The handler may only write to a pipe; the event loop reads it.
int g_requests[2] = {-1, -1};

void OnTerminationRequest(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_requests[1], &c, 1);
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

void QuitOnTerminationRequests() {
    if (g_requests[0] < 0) return;
    auto* notifier = new QSocketNotifier(g_requests[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buf[16];
        while (::read(g_requests[0], buf, sizeof buf) > 0) {
        }
        QCoreApplication::quit();
    });
}
#else
void CatchTerminationRequests() {}
void QuitOnTerminationRequests() {}
#endif
