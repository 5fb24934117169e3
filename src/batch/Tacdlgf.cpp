#include "batch/Tacdlgf.h"

#include <QLabel>
#include <QPushButton>

#include "batch/Tallcheck.h"
#include "engine/NormalFileInfo.h"

Tacdlgf::Tacdlgf(Tallcheck* owner, const QString& title) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("Tacdlgf"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(title);
    setFixedSize(324, 73);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(12);
    setFont(f);
    Label1 = new QLabel(QStringLiteral("ファイルを追加しています..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 12, 292, 16);
    Button1 = new QPushButton(QStringLiteral("中止(&S)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(124, 38, 76, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { owner_->SetAbort(true); });
}

void Tacdlgf::ShowProgress(int index) {
    Label1->setText(QStringLiteral("ファイルを追加しています... %1").arg(index));
    if (++FTickCount > 7) {
        Label1->repaint();
        PumpMessages();
        FTickCount = 0;
    }
}
