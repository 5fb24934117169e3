// The tray notice: where it goes for each taskbar side, the slide, the time-out, the text
// lines drawn on its picture and what the window shows. No real waiting: the test fires the
// timer itself and jumps the slide to its end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <vector>

#include "components/QL_TrayIDlg.h"

namespace {

// Jumps the running slide (and the wait before it) to its end.
void FinishSlide(TQL_TrayInfoDlg& dlg) {
    QVariantAnimation* a = dlg.Animation();
    ASSERT_EQ(a->state(), QAbstractAnimation::Running);
    a->setCurrentTime(a->totalDuration());
}

// What the window shows, border and button included.
QImage Shown(QWidget* w) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    w->render(&img);
    return img;
}

struct TLine {
    QString text;
    int x, y;
};

// The background with each line written at its top-left corner, as the notice should draw it.
QImage Written(const QImage& background, const std::vector<TLine>& lines, const QFont& font) {
    QImage img = background.convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const TLine& l : lines) p.drawText(QPoint(l.x, l.y + p.fontMetrics().ascent()), l.text);
    return img;
}

QImage Plain(QColor color, int w = 180, int h = 120) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

QFont TextFont() {
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(12);
    return f;
}

}  // namespace

TEST(TrayPlacement, FollowsTheTaskbarSide) {
    const QSize screen(1024, 768), window(200, 150);
    struct Case {
        const char* side;
        TTaskbarRect taskbar;
        QPoint corner;
        TTraySlide show, hide;
    };
    const Case cases[] = {
        {"bottom", {0, 738, 1024, 768}, {824, 588}, TTraySlide::Up, TTraySlide::Down},
        {"right", {994, 0, 1024, 768}, {794, 618}, TTraySlide::Left, TTraySlide::Right},
        {"left", {0, 0, 30, 768}, {30, 618}, TTraySlide::Right, TTraySlide::Left},
        {"top", {0, 0, 1024, 30}, {824, 30}, TTraySlide::Down, TTraySlide::Up},
    };
    for (const Case& c : cases) {
        const TTrayPlacement p = TrayPlacement(c.taskbar, screen, window);
        EXPECT_EQ(p.corner, c.corner) << c.side;
        EXPECT_EQ(p.show, c.show) << c.side;
        EXPECT_EQ(p.hide, c.hide) << c.side;
    }
}

TEST(TrayPlacement, TaskbarIsTheGapInTheAvailableArea) {
    struct Case {
        const char* what;
        QRect geometry, available;
        TTaskbarRect taskbar;
        QPoint corner;   // relative to the screen, for a 200 x 150 window
    };
    const Case cases[] = {
        {"bottom panel", {0, 0, 1024, 768}, {0, 0, 1024, 738}, {0, 738, 1024, 768}, {824, 588}},
        {"right panel", {0, 0, 1024, 768}, {0, 0, 990, 768}, {990, 0, 1024, 768}, {790, 618}},
        {"left dock", {0, 0, 1024, 768}, {64, 0, 960, 768}, {0, 0, 64, 768}, {64, 618}},
        {"top bar", {0, 0, 1024, 768}, {0, 32, 1024, 736}, {0, 0, 1024, 32}, {824, 32}},
        {"top bar and left dock: the dock", {0, 0, 1024, 768}, {64, 32, 960, 736}, {0, 0, 64, 768},
         {64, 618}},
        {"no panel: bottom right", {0, 0, 1024, 768}, {0, 0, 1024, 768}, {0, 768, 1024, 768}, {824, 618}},
        {"second screen's coordinates", {1920, 0, 1280, 1024}, {1920, 0, 1280, 984},
         {0, 984, 1280, 1024}, {1080, 834}},
    };
    for (const Case& c : cases) {
        const TTaskbarRect t = TaskbarFromScreen(c.geometry, c.available);
        EXPECT_EQ(t, c.taskbar) << c.what;
        EXPECT_EQ(TrayPlacement(t, c.geometry.size(), QSize(200, 150)).corner, c.corner) << c.what;
    }
}

TEST(TraySlide, FramesRevealFromTheTaskbarEdge) {
    const QPoint corner(824, 588);
    const QSize size(200, 150);
    struct Case {
        TTraySlide show;
        QPoint half;
        QRect halfVisible;
    };
    // Half way the window stands half behind the taskbar's edge and only the half facing
    // the screen's inside shows.
    const Case cases[] = {
        {TTraySlide::Up, {824, 663}, {0, 0, 200, 75}},
        {TTraySlide::Down, {824, 513}, {0, 75, 200, 75}},
        {TTraySlide::Left, {924, 588}, {0, 0, 100, 150}},
        {TTraySlide::Right, {724, 588}, {100, 0, 100, 150}},
    };
    for (const Case& c : cases) {
        const TSlideFrame half = SlideFrame(c.show, corner, size, 0.5);
        EXPECT_EQ(half.pos, c.half) << int(c.show);
        EXPECT_EQ(half.visible, c.halfVisible) << int(c.show);
        EXPECT_TRUE(SlideFrame(c.show, corner, size, 0).visible.isEmpty()) << int(c.show);
        const TSlideFrame full = SlideFrame(c.show, corner, size, 1);
        EXPECT_EQ(full.pos, corner) << int(c.show);
        EXPECT_EQ(full.visible, QRect(QPoint(), size)) << int(c.show);
    }
}

TEST(TrayInfoDlg, OwnedPartsStartAsDescribed) {
    TQL_TrayInfoDlg dlg;
    QWidget* w = dlg.Window();
    EXPECT_EQ(w->objectName(), QStringLiteral("TrayDlg"));
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->size(), QSize(200, 150));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->font().families().value(0), QStringLiteral("ＭＳＰゴシック"));
    EXPECT_EQ(w->font().pointSize(), 9);
    EXPECT_EQ(dlg.DlgColor(), QApplication::palette().color(QPalette::Button));

    QPushButton* b = w->findChild<QPushButton*>(QStringLiteral("DlgBtn"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b, dlg.Button());
    EXPECT_EQ(b->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(b->isDefault());
    // Inside the one-pixel border: (200 / 2 - 45, 150 - 29) from the client area's corner.
    EXPECT_EQ(b->geometry(), QRect(55, 121, 90, 22));
    EXPECT_EQ(b->mapTo(w, QPoint()), QPoint(56, 122));

    EXPECT_FALSE(dlg.Timer()->isActive());
    EXPECT_EQ(dlg.Timer()->interval(), 5700);
    EXPECT_EQ(dlg.TimeOut(), 5000u);
    EXPECT_EQ(dlg.DlgCloseInterval(), 700u);
    EXPECT_EQ(dlg.TextLen(), 36);
    EXPECT_TRUE(dlg.DlgButtonVisible());
    EXPECT_TRUE(dlg.DlgCaption().isEmpty());
    EXPECT_TRUE(dlg.BitmapImage().isNull());
}

TEST(TrayInfoDlg, TimeOutBelowFiveSecondsIsIgnored) {
    TQL_TrayInfoDlg dlg;
    struct Step {
        uint32_t write, timeOut;
        int interval;
    };
    const Step steps[] = {{3000, 5000, 5700}, {8000, 8000, 8700}, {4999, 8000, 8700}, {5000, 5000, 5700}};
    for (const Step& s : steps) {
        dlg.SetTimeOut(s.write);
        EXPECT_EQ(dlg.TimeOut(), s.timeOut) << s.write;
        EXPECT_EQ(dlg.Timer()->interval(), s.interval) << s.write;
    }
    // The close interval alone changes only the slide, not the timer.
    dlg.SetDlgCloseInterval(300);
    EXPECT_EQ(dlg.Timer()->interval(), 5700);
}

TEST(TrayInfoDlg, SizeAndButtonVisibilityPlaceTheButton) {
    TQL_TrayInfoDlg dlg;
    QPushButton* b = dlg.Button();
    dlg.SetDlgWidth(301);
    dlg.SetDlgHeight(90);
    EXPECT_EQ(dlg.Window()->size(), QSize(301, 90));
    EXPECT_EQ(b->pos(), QPoint(105, 61));

    dlg.SetDlgButtonVisible(false);
    EXPECT_EQ(b->pos(), QPoint(105, 100));
    EXPECT_FALSE(b->isHidden());   // moved out of sight, not hidden
    EXPECT_GE(b->mapTo(dlg.Window(), QPoint()).y(), dlg.Window()->height());
    // A new size keeps it out of sight while it is switched off.
    dlg.SetDlgHeight(150);
    EXPECT_EQ(b->pos(), QPoint(105, 160));

    dlg.SetDlgButtonVisible(true);
    EXPECT_EQ(b->pos(), QPoint(105, 121));
    dlg.SetDlgWidth(200);
    EXPECT_EQ(b->pos(), QPoint(55, 121));
}

TEST(TrayInfoDlg, DrawDlgTextCutsToTextLenBytesOfTheCodePage) {
    const QString ascii40 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
    const QString kanji18 = QString(18, QChar(0x6F22));   // 36 bytes in the code page, 54 in UTF-8
    const QString kanji20 = QString(20, QChar(0x6F22));
    struct Case {
        QString text, drawn;
    };
    const Case cases[] = {
        {ascii40, ascii40.left(33) + QStringLiteral("...")},
        {ascii40.left(36), ascii40.left(36)},
        {kanji18, kanji18},
        // 33 bytes would split the 17th character: it is left out whole.
        {kanji20, QString(16, QChar(0x6F22)) + QStringLiteral("...")},
    };
    const QImage background = Plain(Qt::white, 400, 100);
    for (const Case& c : cases) {
        TQL_TrayInfoDlg dlg;
        dlg.SetDlgWidth(400);
        dlg.SetBitmapImage(background);
        dlg.DrawDlgText(c.text, 7, 50, TextFont(), true);
        EXPECT_EQ(dlg.WorkingImage(), Written(background, {{c.drawn, 7, 50}}, TextFont())) << c.text.toStdString();
        if (c.drawn != c.text) {   // the comparison tells the cut text from the whole one
            EXPECT_NE(dlg.WorkingImage(), Written(background, {{c.text, 7, 50}}, TextFont()));
        }
    }
}

TEST(TrayInfoDlg, LinesAccumulateUntilReset) {
    TQL_TrayInfoDlg dlg;
    const QImage background = Plain(QColor(230, 240, 250));
    dlg.SetBitmapImage(background);
    const QFont f = TextFont();
    dlg.DrawDlgText(QStringLiteral("Tavrenneが新規に導入されました"), 7, 50, f, false);
    dlg.DrawDlgText(QStringLiteral("second line"), 27, 63, f, false);
    EXPECT_EQ(dlg.WorkingImage(),
              Written(background, {{QStringLiteral("Tavrenneが新規に導入されました"), 7, 50},
                                   {QStringLiteral("second line"), 27, 63}}, f));
    EXPECT_EQ(dlg.BitmapImage(), background);   // the background itself is never written on

    dlg.DrawDlgText(QStringLiteral("fresh"), 7, 10, f, true);
    EXPECT_EQ(dlg.WorkingImage(), Written(background, {{QStringLiteral("fresh"), 7, 10}}, f));

    dlg.ResetDlgImage();
    EXPECT_EQ(dlg.WorkingImage(), background);
}

TEST(TrayInfoDlg, DrawingWithoutPictureDoesNothing) {
    TQL_TrayInfoDlg dlg;
    dlg.DrawDlgText(QStringLiteral("lost"), 7, 50, TextFont(), true);
    dlg.ResetDlgImage();
    EXPECT_TRUE(dlg.WorkingImage().isNull());
}

TEST(TrayInfoDlg, WithoutPictureShowsItsColourAndTheButton) {
    TQL_TrayInfoDlg dlg;
    const QColor colour(10, 200, 30);
    dlg.SetDlgColor(colour);
    EXPECT_EQ(dlg.DlgColor(), colour);
    dlg.ShowDlg();
    FinishSlide(dlg);
    EXPECT_FALSE(dlg.PaintsPicture());

    const QImage img = Shown(dlg.Window());
    const QRect button = dlg.Button()->geometry().translated(1, 1);
    int buttonPixels = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (button.contains(x, y)) {
                buttonPixels += img.pixelColor(x, y) != colour;
                continue;
            }
            ASSERT_EQ(img.pixelColor(x, y), colour) << x << "," << y;
        }
    EXPECT_GT(buttonPixels, 0);   // the button is drawn, not the window colour
}

TEST(TrayInfoDlg, PictureIsStretchedOverTheClientArea) {
    TQL_TrayInfoDlg dlg;
    const QColor border(1, 2, 3);
    dlg.SetDlgColor(border);
    dlg.SetDlgButtonVisible(false);
    // Left half red, right half blue, at half the client area's size.
    QImage picture = Plain(Qt::red, 99, 74);
    QPainter(&picture).fillRect(50, 0, 49, 74, Qt::blue);
    dlg.SetBitmapImage(picture);
    dlg.ShowDlg();
    FinishSlide(dlg);
    ASSERT_TRUE(dlg.PaintsPicture());

    const QImage img = Shown(dlg.Window());
    EXPECT_EQ(img.pixelColor(0, 0), border);
    EXPECT_EQ(img.pixelColor(199, 149), border);
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(90, 140), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(110, 10), QColor(Qt::blue));
    EXPECT_EQ(img.pixelColor(197, 147), QColor(Qt::blue));
}

TEST(TrayInfoDlg, ShowsAfterTheWaitAndTheTimerHidesIt) {
    TQL_TrayInfoDlg dlg;
    QWidget* w = dlg.Window();
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    TTrayPlacement place = TrayPlacement(TaskbarFromScreen(screen->geometry(), screen->availableGeometry()),
                                         screen->geometry().size(), w->size());
    const QPoint corner = place.corner + screen->geometry().topLeft();

    dlg.ShowDlg();
    QVariantAnimation* a = dlg.Animation();
    EXPECT_EQ(a->totalDuration(), 800);   // 100 ms wait, then the 700 ms slide
    // During the wait nothing shows and the time-out has not started.
    a->setCurrentTime(50);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(dlg.Timer()->isActive());
    // Half way through the slide half the window is out.
    a->setCurrentTime(450);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(dlg.Timer()->isActive());
    const TSlideFrame half = SlideFrame(place.show, corner, w->size(), 0.5);
    EXPECT_EQ(w->pos(), half.pos);
    EXPECT_EQ(w->mask().boundingRect(), half.visible);

    FinishSlide(dlg);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos(), corner);
    EXPECT_TRUE(w->mask().isEmpty());
    EXPECT_EQ(dlg.Timer()->interval(), 5700);

    // Showing again while out only moves it: no new slide.
    w->move(corner - QPoint(40, 40));
    dlg.ShowDlg();
    EXPECT_EQ(a->state(), QAbstractAnimation::Stopped);
    EXPECT_EQ(w->pos(), corner);
    EXPECT_TRUE(dlg.Timer()->isActive());

    // The timer's tick starts the slide out and stops the timer.
    QMetaObject::invokeMethod(dlg.Timer(), "timeout");
    EXPECT_FALSE(dlg.Timer()->isActive());
    EXPECT_EQ(a->totalDuration(), 700);
    FinishSlide(dlg);
    EXPECT_FALSE(w->isVisible());
}

TEST(TrayInfoDlg, OkAndEnterHideIt) {
    for (const bool enter : {false, true}) {
        TQL_TrayInfoDlg dlg;
        dlg.ShowDlg();
        FinishSlide(dlg);
        ASSERT_TRUE(dlg.Window()->isVisible());
        if (enter) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(dlg.Window(), &key);
        } else {
            dlg.Button()->click();
        }
        EXPECT_FALSE(dlg.Timer()->isActive()) << enter;
        FinishSlide(dlg);
        EXPECT_FALSE(dlg.Window()->isVisible()) << enter;
        // Hiding a hidden notice does nothing.
        dlg.HideDlg();
        EXPECT_EQ(dlg.Animation()->state(), QAbstractAnimation::Stopped) << enter;
    }
}

// The notice never keeps the program alive: it is no window whose closing ends the program,
// and a close the program asks for (quitting closes every window) takes it down at once, even
// while it slides.
TEST(TrayInfoDlg, QuittingClosesItAtOnceWhileItSlides) {
    TQL_TrayInfoDlg dlg;
    EXPECT_FALSE(dlg.Window()->testAttribute(Qt::WA_QuitOnClose));
    dlg.ShowDlg();
    dlg.Animation()->setCurrentTime(450);
    ASSERT_TRUE(dlg.Window()->isVisible());
    QApplication::closeAllWindows();
    EXPECT_FALSE(dlg.Window()->isVisible());
    EXPECT_EQ(dlg.Animation()->state(), QAbstractAnimation::Stopped);
    EXPECT_FALSE(dlg.Timer()->isActive());
    // Shown again afterwards, it slides in as before.
    dlg.ShowDlg();
    FinishSlide(dlg);
    EXPECT_TRUE(dlg.Window()->isVisible());
}
