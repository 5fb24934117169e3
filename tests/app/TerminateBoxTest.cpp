// A request to terminate while a real box is open and no main loop runs: the state of the
// box of a failed save at exit. The request state lasts for the process, so this file has
// its own test program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <csignal>
#include <unistd.h>

#include "app/AppRuntime.h"
#include "platform/Dialogs.h"

namespace {

TEST(TerminateWithABoxOpen, TheBoxGetsItsDefaultAnswerAndLaterDialogsAreNotShown) {
    CatchTerminationRequests();
    WatchTerminationRequests();

    // Watches for dialogs coming up: the first gets the request once it is open; any later
    // one is counted and closed. One that stays open long after the request is closed too.
    int shown = 0;
    int ticksSinceRequest = -1;
    bool stuck = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (ticksSinceRequest >= 0 && ++ticksSinceRequest > 2000 && dialog) {
            stuck = true;
            dialog->reject();
        }
        if (!dialog || dialog->property("seen").toBool()) return;
        dialog->setProperty("seen", true);
        if (++shown == 1) {
            ticksSinceRequest = 0;
            ::kill(::getpid(), SIGTERM);
        } else {
            dialog->reject();
        }
    });
    watch.start(10);

    EXPECT_EQ(Dialogs().MessageBox(QStringLiteral("t"), QStringLiteral("続けますか？"), TMsgButtons::YesNo,
                                   TMsgIcon::Question),
              TMsgResult::Yes);
    EXPECT_FALSE(stuck);
    EXPECT_EQ(shown, 1);

    EXPECT_EQ(Dialogs().MessageBox(QStringLiteral("t"), QStringLiteral("x に書き込めません"), TMsgButtons::Ok,
                                   TMsgIcon::Error),
              TMsgResult::Ok);
    EXPECT_EQ(Dialogs().MessageBox(QStringLiteral("t"), QStringLiteral("消去しますか？"), TMsgButtons::YesNo,
                                   TMsgIcon::Question),
              TMsgResult::Yes);
    TFileDialogRequest request;
    request.Title = QStringLiteral("開く");
    EXPECT_EQ(Dialogs().OpenFile(request), QString());
    EXPECT_EQ(Dialogs().SaveFile(request), QString());
    EXPECT_EQ(Dialogs().SelectFolder(QStringLiteral("フォルダ"), QStringLiteral("/")), QString());
    EXPECT_EQ(shown, 1);
}

}  // namespace
