#include "batch/Tacdlgf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QThread>
#include <QWindow>
#include <qdrawutil.h>

#include "batch/Tallcheck.h"
#include "engine/NormalFileInfo.h"

Tacdlgf::Tacdlgf(Tallcheck* owner, const QString& title) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("Tacdlgf"));
    setAttribute(Qt::WA_DeleteOnClose);
    // No caption buttons: nothing but 中止(&S) ends the adding. Window managers that keep
    // their own buttons on every title bar (openbox) would offer close and minimize on one, so
    // the dialog has none and draws its dialog frame itself.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(title);
    setFixedSize(324, 73);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(12);
    setFont(f);
    Label1 = new QLabel(tr("ファイルを追加しています..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 12, 292, 16);
    Button1 = new QPushButton(tr("中止(&S)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(124, 38, 76, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { owner_->SetAbort(true); });
}

void Tacdlgf::ShowPainted() {
    show();
    // A window manager maps a new window a moment after it is shown; what is painted before
    // that never reaches the screen.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!windowHandle()->isExposed()) QThread::msleep(5);
    }
    repaint();
}

void Tacdlgf::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void Tacdlgf::ShowProgress(int index) {
    Label1->setText(tr("ファイルを追加しています... %1").arg(index));
    if (++FTickCount > 7) {
        Label1->repaint();
        PumpMessages();
        FTickCount = 0;
    }
}
