#include "fakes/ProgramProcess.h"

#include <QProcessEnvironment>
#include <QTest>
#include <csignal>

namespace fs = std::filesystem;

void ProgramProcess::SetUp() {
    prog_ = dir_.path() / "prog";
    run_ = dir_.path() / "run";
    fs::create_directories(prog_);
    fs::create_directories(run_);
    fs::permissions(run_, fs::perms::owner_all);   // Qt takes no runtime folder others can read
    std::error_code ec;
    fs::create_hard_link(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne", ec);
    if (ec) fs::copy_file(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne");
}

std::unique_ptr<QProcess> ProgramProcess::Start(const QStringList& args, std::function<void()> inChild) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(run_.string()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TAVRENNE_TRACE_DIALOGS"), QStringLiteral("1"));
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    if (inChild) p->setChildProcessModifier(inChild);
    p->start(QString::fromStdString((prog_ / "tavrenne").string()), args);
    return p;
}

bool ProgramProcess::WaitUntil(QProcess& p, const std::function<bool()>& done) {
    for (int i = 0; i < 800; ++i) {
        err_ += p.readAllStandardError();
        if (done()) return true;
        if (p.state() == QProcess::NotRunning) return false;
        QTest::qWait(25);
    }
    return false;
}

int ProgramProcess::SignalAndWait(QProcess& p, int sig) {
    ::kill(pid_t(p.processId()), sig);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished(5000);
        return -1;
    }
    err_ += p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
