#include "app/Spwindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "app/Art.h"
#include "app/MainWindow.h"
#include "app/VersionDlg.h"

Tspwindow::Tspwindow(TMainWindow& main) : QWidget(nullptr) {
    setObjectName(QStringLiteral("spwindow"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(main.Window().font());
    setFixedSize(442, 216);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    SpImage = new QLabel(this);
    SpImage->setObjectName(QStringLiteral("SpImage"));
    SpImage->setGeometry(rect());
    SpImage->setAlignment(Qt::AlignCenter);
    picture_ = SplashPicture();
    SpImage->setPixmap(picture_);
    VersionText = tr("ファイルバージョン　%1").arg(QString::fromStdString(main.ProgramInfo().FileVersion));

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
}

Tspwindow::~Tspwindow() = default;

void Tspwindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (drawn_) return;
    drawn_ = true;
    QFont f = font();
    f.setPointSize(10);
    {
        QPainter painter(&picture_);
        painter.setFont(f);
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.drawText(147, 220 + TextTopToBaseline(f), VersionText);
    }
    SpImage->setPixmap(picture_);
    Timer = new QTimer(this);
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, &QWidget::close);
    Timer->start(3700);
}

void Tspwindow::closeEvent(QCloseEvent* event) {
    if (Timer) {
        Timer->stop();
        delete Timer;
        Timer = nullptr;
    }
    QWidget::closeEvent(event);
}
