// A request to terminate during an analysis started from the main loop: the window refuses
// to close while the run winds down, so ending must wait for it. The request state lasts for
// the process, so this file has its own test program.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <unistd.h>

#include "app/AppRuntime.h"
#include "fakes/AppFixture.h"

namespace {

using TerminateRun = AppFixture;

TEST_F(TerminateRun, ARunIsCancelledAndTheMainLoopEndsOnceItIsOver) {
    CatchTerminationRequests();
    WatchTerminationRequests();
    SmallBuffers();
    w_->CheckBox4->setChecked(true);
    w_->CheckBox5->setChecked(true);
    w_->CheckBox6->setChecked(true);
    const QString path = MakeFile(QStringLiteral("data.bin"), 1 << 20, 'a');
    w_->show();

    // The request arrives in the middle of the run, and is seen there as it would be.
    AtPump([] { return true; },
           [] {
               ::kill(::getpid(), SIGTERM);
               QCoreApplication::processEvents();
           });
    QTimer::singleShot(0, w_.get(), [&] { w_->AnalyzeFile(TPath(path)); });
    // A loop that is never left is a failure, not a hang.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    limit.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);

    EXPECT_FALSE(w_->isVisible());
    EXPECT_TRUE(w_->LabeledEdit1->text().isEmpty());
    const std::vector<TLogLine> log = Log();
    EXPECT_NE(std::find(log.begin(), log.end(), TLogLine{QStringLiteral("処理の中断"), lkWarning}), log.end());
}

}  // namespace
