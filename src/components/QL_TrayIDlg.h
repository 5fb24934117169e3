// A small borderless notice that slides out of the taskbar's corner: an optional picture with
// lines of text drawn on it, an OK button, and hiding by itself after a time-out.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;
class QPushButton;
class QTimer;
class QVariantAnimation;
class QWidget;

// The direction the window moves while it slides.
enum class TTraySlide { Up, Down, Left, Right };

// A taskbar rectangle as the shell reports it: right and bottom are one past the last pixel.
struct TTaskbarRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TTaskbarRect&) const = default;
};

struct TTrayPlacement {
    QPoint corner;   // the window's top-left corner, in screen coordinates
    TTraySlide show = TTraySlide::Up;
    TTraySlide hide = TTraySlide::Down;
};

// Where the notice goes for a taskbar at `taskbar` on a screen of `screen`.
TTrayPlacement TrayPlacement(const TTaskbarRect& taskbar, const QSize& screen, const QSize& window);

// The taskbar stand-in: the side on which the available area leaves a gap in the screen
// (bottom, right, left, top: the first with a gap), spanning the screen along that side. No
// gap is a zero-height taskbar along the bottom edge. Both rectangles in the same coordinates;
// the result is relative to the screen's top-left corner.
TTaskbarRect TaskbarFromScreen(const QRect& geometry, const QRect& available);

// One frame of a slide: where the window stands and the part of it that shows (window
// coordinates; empty when nothing shows). `shown` runs from 0 (hidden behind the taskbar's
// edge) to 1 (fully out at `corner`); hiding runs the same frames backwards.
struct TSlideFrame {
    QPoint pos;
    QRect visible;
};
TSlideFrame SlideFrame(TTraySlide show, const QPoint& corner, const QSize& size, double shown);

class TQL_TrayInfoDlg : public QObject {
    Q_OBJECT

public:
    explicit TQL_TrayInfoDlg(QObject* owner = nullptr);
    ~TQL_TrayInfoDlg() override;

    QString DlgCaption() const { return dlgCaption_; }
    void SetDlgCaption(const QString& caption) { dlgCaption_ = caption; }
    uint32_t TimeOut() const { return timeOut_; }
    void SetTimeOut(uint32_t ms);
    QColor DlgColor() const;
    void SetDlgColor(const QColor& color);
    QImage BitmapImage() const { return background_; }
    void SetBitmapImage(const QImage& image);
    // Only the slide's length: the timer keeps the interval it had (see SetTimeOut).
    uint32_t DlgCloseInterval() const { return closeInterval_; }
    void SetDlgCloseInterval(uint32_t ms) { closeInterval_ = ms; }
    int DlgHeight() const { return height_; }
    void SetDlgHeight(int height);
    int DlgWidth() const { return width_; }
    void SetDlgWidth(int width);
    uint8_t TextLen() const { return textLen_; }
    void SetTextLen(uint8_t bytes) { textLen_ = bytes; }
    bool DlgButtonVisible() const { return buttonVisible_; }
    void SetDlgButtonVisible(bool visible);

    void ShowDlg();
    void HideDlg();
    // One line of text onto the working picture, cut to TextLen bytes of the code page.
    void DrawDlgText(const QString& text, int x, int y, const QFont& font, bool resetFirst);
    void ResetDlgImage();

    // The common body of showing and hiding. Showing waits 100 ms (without blocking) and then
    // slides for DlgCloseInterval; hiding slides at once.
    virtual void Animate(bool show);
    // The working picture stretched over the window's client area, drawn within `clip`.
    virtual void PaintDlg(QPainter& canvas, const QRect& clip);

    QWidget* Window() const { return window_; }
    QPushButton* Button() const { return button_; }
    QTimer* Timer() const { return timer_; }
    // The running slide (with the wait before showing); jump it to its end to finish at once.
    QVariantAnimation* Animation() const { return animation_; }
    // The picture the window paints, with every line drawn since the last reset.
    QImage WorkingImage() const { return working_; }
    // Whether the window paints the picture (else it shows DlgColor).
    bool PaintsPicture() const { return paintPicture_; }

private:
    void PlaceButton();
    void ResizeWindow();
    void StartSlide(bool show, int pauseMs, double from, double to, int durationMs);
    void ApplyFrame(double shown);
    void OnAnimationTick(int elapsedMs);
    void OnAnimationFinished();
    void ArmTimer();

    enum class TState { Hidden, SlidingIn, Shown, SlidingOut };

    QString dlgCaption_;
    uint32_t timeOut_ = 5000;
    uint32_t closeInterval_ = 700;
    int height_ = 150;
    int width_ = 200;
    uint8_t textLen_ = 36;
    bool buttonVisible_ = true;

    QWidget* window_ = nullptr;
    QWidget* client_ = nullptr;
    QPushButton* button_ = nullptr;
    QTimer* timer_ = nullptr;
    QVariantAnimation* animation_ = nullptr;
    QImage background_;
    QImage working_;
    bool paintPicture_ = false;

    TState state_ = TState::Hidden;
    TTraySlide showSlide_ = TTraySlide::Up;
    QPoint corner_;
    // The running slide: a wait, then `shown` from `from_` to `to_`.
    int pauseMs_ = 0;
    int slideMs_ = 0;
    double from_ = 0, to_ = 1;
    double shown_ = 0;
    bool timerArmed_ = false;
};
