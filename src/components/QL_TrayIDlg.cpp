#include "components/QL_TrayIDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "text/TextUtil.h"

TTrayPlacement TrayPlacement(const TTaskbarRect& taskbar, const QSize& screen, const QSize& window) {
    const int w = window.width(), h = window.height();
    if (taskbar.top != 0) return {{taskbar.right - w, taskbar.top - h}, TTraySlide::Up, TTraySlide::Down};
    if (taskbar.left != 0)
        return {{taskbar.left - w, screen.height() - h}, TTraySlide::Left, TTraySlide::Right};
    if (taskbar.bottom == screen.height())
        return {{taskbar.right, screen.height() - h}, TTraySlide::Right, TTraySlide::Left};
    return {{taskbar.right - w, taskbar.bottom}, TTraySlide::Down, TTraySlide::Up};
}

TTaskbarRect TaskbarFromScreen(const QRect& geometry, const QRect& available) {
    const int w = geometry.width(), h = geometry.height();
    // Some platforms report nothing useful for the available area: then there is no panel.
    if (available.isValid() && geometry.contains(available)) {
        if (const int gap = geometry.bottom() - available.bottom(); gap > 0) return {0, h - gap, w, h};
        if (const int gap = geometry.right() - available.right(); gap > 0) return {w - gap, 0, w, h};
        if (const int gap = available.left() - geometry.left(); gap > 0) return {0, 0, gap, h};
        if (const int gap = available.top() - geometry.top(); gap > 0) return {0, 0, w, gap};
    }
    return {0, h, w, h};
}

TSlideFrame SlideFrame(TTraySlide show, const QPoint& corner, const QSize& size, double shown) {
    const int w = size.width(), h = size.height();
    const double part = std::clamp(shown, 0.0, 1.0);
    // `d` is how much of the window still lies behind the taskbar's edge.
    switch (show) {
    case TTraySlide::Up: {
        const int d = h - int(std::lround(part * h));
        return {corner + QPoint(0, d), QRect(0, 0, w, h - d)};
    }
    case TTraySlide::Down: {
        const int d = h - int(std::lround(part * h));
        return {corner - QPoint(0, d), QRect(0, d, w, h - d)};
    }
    case TTraySlide::Left: {
        const int d = w - int(std::lround(part * w));
        return {corner + QPoint(d, 0), QRect(0, 0, w - d, h)};
    }
    case TTraySlide::Right: {
        const int d = w - int(std::lround(part * w));
        return {corner - QPoint(d, 0), QRect(d, 0, w - d, h)};
    }
    }
    return {corner, QRect(0, 0, w, h)};
}

namespace {

constexpr int kShowWaitMs = 100;

// The notice's window: Enter presses the OK button wherever the focus is, and closing it
// from the window manager slides it out like the button does. A close the program asks for
// (quitting closes every window) is taken at once: a notice never keeps the program alive.
class TTrayWindow : public QWidget {
public:
    std::function<void()> onClose;      // the window manager's close: slide out
    std::function<void()> onClosed;     // the program's close: gone at once

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (auto* button = findChild<QPushButton*>(QStringLiteral("DlgBtn"))) button->click();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!event->spontaneous()) {
            if (onClosed) onClosed();
            event->accept();
            return;
        }
        event->ignore();
        if (onClose) onClose();
    }
};

// The client area inside the one-pixel border; it paints the picture when asked to.
class TTrayClient : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void(QPainter&, const QRect&)> paint;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!paint) return;
        QPainter p(this);
        paint(p, event->rect());
    }
};

}  // namespace

TQL_TrayInfoDlg::TQL_TrayInfoDlg(QObject* owner) : QObject(owner) {
    auto* window = new TTrayWindow;
    window->onClose = [this] { HideDlg(); };
    window->onClosed = [this] {
        timer_->stop();
        animation_->stop();
        state_ = TState::Hidden;
        shown_ = 0;
    };
    window_ = window;
    window_->setObjectName(QStringLiteral("TrayDlg"));
    // Only the program's windows decide when it ends.
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    // A tool window keeps the notice off the task list, as an owned form is on Windows.
    window_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window_->setAutoFillBackground(true);
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳＰゴシック"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(9);
    window_->setFont(font);
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    window_->setPalette(palette);

    auto* client = new TTrayClient(window_);
    client->paint = [this](QPainter& p, const QRect& clip) { PaintDlg(p, clip); };
    client_ = client;

    button_ = new QPushButton(QStringLiteral("&OK"), client_);
    button_->setObjectName(QStringLiteral("DlgBtn"));
    button_->setDefault(true);
    button_->setFocusPolicy(Qt::StrongFocus);
    button_->resize(90, 22);
    connect(button_, &QPushButton::clicked, this, &TQL_TrayInfoDlg::HideDlg);

    timer_ = new QTimer(this);
    timer_->setInterval(int(timeOut_ + closeInterval_));
    connect(timer_, &QTimer::timeout, this, &TQL_TrayInfoDlg::HideDlg);

    animation_ = new QVariantAnimation(this);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { OnAnimationTick(value.toInt()); });
    connect(animation_, &QVariantAnimation::finished, this, &TQL_TrayInfoDlg::OnAnimationFinished);

    ResizeWindow();
    PlaceButton();
}

TQL_TrayInfoDlg::~TQL_TrayInfoDlg() {
    delete timer_;
    delete animation_;
    delete button_;
    delete window_;
}

void TQL_TrayInfoDlg::SetTimeOut(uint32_t ms) {
    if (ms == timeOut_ || ms < 5000) return;
    timeOut_ = ms;
    timer_->setInterval(int(std::min<uint64_t>(uint64_t(ms) + closeInterval_, INT_MAX)));
}

QColor TQL_TrayInfoDlg::DlgColor() const { return window_->palette().color(QPalette::Window); }

void TQL_TrayInfoDlg::SetDlgColor(const QColor& color) {
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, color);
    window_->setPalette(palette);
    window_->update();
}

void TQL_TrayInfoDlg::SetBitmapImage(const QImage& image) {
    background_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    working_ = background_;
    client_->update();
}

void TQL_TrayInfoDlg::SetDlgHeight(int height) {
    if (height == height_) return;
    height_ = height;
    ResizeWindow();
    PlaceButton();
}

void TQL_TrayInfoDlg::SetDlgWidth(int width) {
    if (width == width_) return;
    width_ = width;
    ResizeWindow();
    PlaceButton();
}

void TQL_TrayInfoDlg::SetDlgButtonVisible(bool visible) {
    if (visible == buttonVisible_) return;
    buttonVisible_ = visible;
    PlaceButton();
}

void TQL_TrayInfoDlg::ResizeWindow() {
    window_->resize(std::max(width_, 0), std::max(height_, 0));
    client_->setGeometry(1, 1, std::max(width_ - 2, 0), std::max(height_ - 2, 0));
}

void TQL_TrayInfoDlg::PlaceButton() {
    // The width is halved as an unsigned number; a hidden button lies just below the window
    // (it stays visible, so Enter still reaches it).
    if (buttonVisible_)
        button_->move(int(uint32_t(width_) / 2) - 45, height_ - 29);
    else
        button_->move(button_->x(), height_ + 10);
}

void TQL_TrayInfoDlg::ShowDlg() { Animate(true); }

void TQL_TrayInfoDlg::HideDlg() { Animate(false); }

void TQL_TrayInfoDlg::ResetDlgImage() {
    if (background_.width() > 0 && background_.height() > 0) {
        working_ = background_;
        client_->update();
    }
}

void TQL_TrayInfoDlg::DrawDlgText(const QString& text, int x, int y, const QFont& font, bool resetFirst) {
    if (background_.isNull() || background_.width() == 0) return;
    if (resetFirst) ResetDlgImage();
    const QString cut = QString::fromStdString(ShortenText(text.toStdString(), textLen_));
    if (working_.isNull()) working_ = background_;
    QImage temp = working_.copy();
    {
        QPainter p(&temp);
        p.setFont(font);
        // The callers' fonts are the default black; the picture shows through around the text.
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawText(QPoint(x, y + p.fontMetrics().ascent()), cut);
    }
    working_ = temp;
    client_->update();
}

void TQL_TrayInfoDlg::PaintDlg(QPainter& canvas, const QRect& clip) {
    if (!paintPicture_ || working_.isNull()) return;
    // Stretched over the whole client area even when only a part is repainted, so a partial
    // repaint does not squeeze the picture into the repainted part.
    canvas.setClipRect(clip);
    canvas.drawImage(client_->rect(), working_);
}

void TQL_TrayInfoDlg::Animate(bool show) {
    if (!window_) return;
    if (!show) {
        timer_->stop();
        if (state_ == TState::Hidden) return;
        // A notice still sliding in goes back from where it stands.
        const double from = state_ == TState::SlidingIn || state_ == TState::SlidingOut ? shown_ : 1.0;
        StartSlide(false, 0, from, 0.0, int(std::lround(closeInterval_ * from)));
        return;
    }

    QRect geometry(0, 0, 0, 0), available;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        geometry = screen->geometry();
        available = screen->availableGeometry();
    }
    TTrayPlacement placement = TrayPlacement(TaskbarFromScreen(geometry, available), geometry.size(), window_->size());
    corner_ = placement.corner + geometry.topLeft();
    showSlide_ = placement.show;

    if (background_.width() > 0) {
        if (working_.isNull()) working_ = background_;
        paintPicture_ = true;
    } else {
        paintPicture_ = false;
    }
    client_->update();

    if (state_ == TState::Shown) {
        // Already out: only back to the corner; a running timer keeps its time.
        window_->move(corner_);
        if (!timer_->isActive()) timer_->start();
        return;
    }
    if (state_ == TState::SlidingIn) return;   // the remaining frames use the new corner
    const double from = state_ == TState::SlidingOut ? shown_ : 0.0;
    timerArmed_ = false;
    StartSlide(true, kShowWaitMs, from, 1.0, int(std::lround(closeInterval_ * (1.0 - from))));
}

void TQL_TrayInfoDlg::StartSlide(bool show, int pauseMs, double from, double to, int durationMs) {
    animation_->stop();
    state_ = show ? TState::SlidingIn : TState::SlidingOut;
    pauseMs_ = pauseMs;
    slideMs_ = std::max(durationMs, 0);
    from_ = from;
    to_ = to;
    shown_ = from;
    const int total = std::max(pauseMs, 0) + slideMs_;
    if (total == 0) {
        OnAnimationTick(0);
        OnAnimationFinished();
        return;
    }
    animation_->setStartValue(0);
    animation_->setEndValue(total);
    animation_->setDuration(total);
    animation_->start();
}

void TQL_TrayInfoDlg::OnAnimationTick(int elapsedMs) {
    if (state_ != TState::SlidingIn && state_ != TState::SlidingOut) return;
    if (elapsedMs < pauseMs_) return;   // still waiting before the slide
    if (state_ == TState::SlidingIn) ArmTimer();
    const double t = slideMs_ > 0 ? std::min(1.0, double(elapsedMs - pauseMs_) / slideMs_) : 1.0;
    ApplyFrame(from_ + (to_ - from_) * t);
}

// The time-out starts once per showing, when the wait is over; a running timer keeps its time.
void TQL_TrayInfoDlg::ArmTimer() {
    if (timerArmed_) return;
    timerArmed_ = true;
    if (!timer_->isActive()) timer_->start();
}

void TQL_TrayInfoDlg::OnAnimationFinished() {
    if (state_ == TState::SlidingIn) {
        ArmTimer();
        ApplyFrame(1.0);
        state_ = TState::Shown;
    } else if (state_ == TState::SlidingOut) {
        ApplyFrame(0.0);
        state_ = TState::Hidden;
    }
}

void TQL_TrayInfoDlg::ApplyFrame(double shown) {
    shown_ = shown;
    const TSlideFrame frame = SlideFrame(showSlide_, corner_, window_->size(), shown);
    if (frame.visible.isEmpty()) {
        window_->hide();
        window_->clearMask();
        return;
    }
    window_->move(frame.pos);
    if (frame.visible == window_->rect())
        window_->clearMask();
    else
        window_->setMask(frame.visible);
    if (!window_->isVisible()) window_->show();
}
