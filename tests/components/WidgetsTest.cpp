// The link label and the slider: defaults, where the text goes, hover, background, looks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "components/QL_Bar.h"
#include "components/QL_ImageLabel.h"

namespace {

// The label drawn over a parent of `parentColor`, as the screen would show it.
QImage Shown(TQL_ImageLabel& label, QColor parentColor) {
    QImage img(label.size(), QImage::Format_RGB32);
    img.fill(parentColor);
    label.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// The widget drawn over white.
QImage Drawn(QWidget& w) {
    QImage img(w.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    w.render(&img);
    return img;
}

// The first column holding a clearly red pixel (text is smoothed); -1 when none.
int FirstRedColumn(const QImage& img) {
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 140 && c.blue() < 140) return x;
        }
    return -1;
}

void Hover(QWidget& w, bool in) {
    if (in) {
        QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&w, &e);
    } else {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(&w, &e);
    }
}

}  // namespace

TEST(ImageLabel, Defaults) {
    TQL_ImageLabel l;
    EXPECT_EQ(l.Text(), QStringLiteral("Static"));
    EXPECT_EQ(l.MouseOverColor(), QColor(0, 0, 255));
    EXPECT_TRUE(l.ImgTransparent());
    EXPECT_FALSE(l.BackColor().isValid());
    EXPECT_EQ(l.Space(), 7);
    EXPECT_TRUE(l.BitmapImage().isNull());
    EXPECT_FALSE(l.GLine());
    EXPECT_EQ(l.GLineColor(), QColor(Qt::black));
    EXPECT_TRUE(l.MouseOverUnderLine());
    EXPECT_EQ(l.size(), QSize(100, 32));
    EXPECT_EQ(l.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(l.font().pointSize(), 9);
    EXPECT_EQ(l.FontColor(), QColor(0, 0, 255));
}

// Text in a colour of its own, so its first pixel shows where it starts.
TEST(ImageLabel, TextStartsAfterSpaceOrPicture) {
    TQL_ImageLabel l;
    l.SetText(QStringLiteral("||||"));
    l.SetFontColor(QColor(255, 0, 0));
    l.SetMouseOverColor(QColor(255, 0, 0));
    EXPECT_EQ(l.TextLeft(), 7);
    const int bare = FirstRedColumn(Shown(l, Qt::white));
    ASSERT_GE(bare, 7);
    EXPECT_LE(bare, 9);   // the glyph's own bearing

    QPixmap picture(16, 16);
    picture.fill(QColor(0, 255, 0));
    l.SetImgTransparent(false);
    l.SetBitmapImage(picture);
    EXPECT_EQ(l.TextLeft(), 23);
    const QImage img = Shown(l, Qt::white);
    EXPECT_EQ(FirstRedColumn(img) - bare, 16);
    // The picture at x 2, centred: rows 8 to 23 of 32.
    EXPECT_EQ(img.pixelColor(2, 8), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(17, 23), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(1, 16), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(2, 7), QColor(Qt::white));
}

TEST(ImageLabel, BackgroundNoneShowsParentAndColourFills) {
    TQL_ImageLabel l;
    l.SetText(QString());
    const QColor parent(10, 120, 30);
    EXPECT_EQ(Shown(l, parent).pixelColor(50, 16), parent);
    l.SetBackColor(QColor(200, 200, 0));
    EXPECT_EQ(Shown(l, parent).pixelColor(50, 16), QColor(200, 200, 0));
}

TEST(ImageLabel, FrameInGLineColour) {
    TQL_ImageLabel l;
    l.SetText(QString());
    EXPECT_EQ(Shown(l, Qt::white).pixelColor(0, 0), QColor(Qt::white));
    l.SetGLine(true);
    l.SetGLineColor(QColor(0, 0, 200));
    const QImage img = Shown(l, Qt::white);
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 200));
    EXPECT_EQ(img.pixelColor(99, 31), QColor(0, 0, 200));
    EXPECT_EQ(img.pixelColor(50, 16), QColor(Qt::white));
}

TEST(ImageLabel, HoverUnderlinesAndRecoloursOnlyWhenAsked) {
    TQL_ImageLabel l;
    l.SetMouseOverColor(Qt::red);
    Hover(l, true);
    EXPECT_TRUE(l.CanvasFont().underline());
    EXPECT_EQ(l.CanvasColor(), QColor(Qt::red));
    Hover(l, false);
    EXPECT_FALSE(l.CanvasFont().underline());
    EXPECT_EQ(l.CanvasColor(), QColor(0, 0, 255));

    l.SetMouseOverUnderLine(false);
    Hover(l, true);
    EXPECT_FALSE(l.CanvasFont().underline());
    EXPECT_EQ(l.CanvasColor(), QColor(0, 0, 255));
    Hover(l, false);
}

// What the user sees on hover: the text turns red, and is drawn lower by an underline.
TEST(ImageLabel, HoverChangesThePaintedText) {
    TQL_ImageLabel l;
    l.SetText(QStringLiteral("abc"));
    l.SetMouseOverColor(QColor(255, 0, 0));
    EXPECT_EQ(FirstRedColumn(Shown(l, Qt::white)), -1);
    Hover(l, true);
    EXPECT_GE(FirstRedColumn(Shown(l, Qt::white)), 7);
}

TEST(ImageLabel, ClickInsideEmitsOnce) {
    TQL_ImageLabel l;
    QSignalSpy spy(&l, &TQL_ImageLabel::clicked);
    QTest::mouseClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(spy.count(), 1);
    QTest::mousePress(&l, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&l, Qt::LeftButton, {}, QPoint(300, 10));   // let go outside
    EXPECT_EQ(spy.count(), 1);
}

// From the keyboard the label is a button: Tab reaches it, its focus shows, Space and Enter
// click it once per press.
TEST(ImageLabel, KeyboardFocusShowsAndSpaceOrEnterClicks) {
    QWidget window;
    window.resize(300, 100);
    auto* before = new QWidget(&window);
    before->setFocusPolicy(Qt::StrongFocus);
    auto* l = new TQL_ImageLabel(&window);
    l->move(10, 40);
    QSignalSpy spy(l, &TQL_ImageLabel::clicked);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    const QImage unfocused = Drawn(*l);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), l);
    EXPECT_NE(Drawn(*l), unfocused);   // the focus is drawn
    QTest::keyClick(l, Qt::Key_Space);
    QTest::keyClick(l, Qt::Key_Return);
    QTest::keyClick(l, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(spy.count(), 3);
    QTest::keyClick(l, Qt::Key_A);
    QTest::keyClick(l, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyPress(l, Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(l, &repeat);   // held down: no flood of clicks
    EXPECT_EQ(spy.count(), 4);
}

TEST(Bar, DefaultsAndLookFollowsResize) {
    TQL_Bar b;
    EXPECT_EQ(b.BarStyle(), ebWin32);
    EXPECT_EQ(b.Max(), 100);
    EXPECT_EQ(b.Min(), 0);
    EXPECT_EQ(b.Position(), 0);
    b.resize(200, 40);
    b.show();   // resize events come at once
    ASSERT_TRUE(QTest::qWaitForWindowActive(&b));
    EXPECT_FALSE(b.SelectionChannelShown());
    const QImage win32 = Drawn(b);

    b.SetBarStyle(ebNormal);
    EXPECT_FALSE(b.SelectionChannelShown());   // stored only
    EXPECT_EQ(Drawn(b), win32);
    b.resize(200, 41);
    b.resize(200, 40);
    EXPECT_TRUE(b.SelectionChannelShown());
    EXPECT_NE(Drawn(b), win32);

    b.SetBarStyle(ebWin32);
    b.resize(201, 40);
    EXPECT_FALSE(b.SelectionChannelShown());
}

TEST(Bar, PositionStaysInRange) {
    TQL_Bar b;
    b.SetMin(1);
    b.SetMax(64);
    b.SetPosition(100);
    EXPECT_EQ(b.Position(), 64);
    b.SetPosition(-3);
    EXPECT_EQ(b.Position(), 1);
}
