#include "components/QL_ImageLabel.h"

#include <QBitmap>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

TQL_ImageLabel::TQL_ImageLabel(QWidget* parent) : QWidget(parent) {
    // Windowless: nothing is filled unless BackColor says so.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    resize(100, 32);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setPointSize(9);
    f.setBold(false);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    setFont(f);
    ResetCanvas();
}

void TQL_ImageLabel::ResetCanvas() {
    canvasFont_ = font();
    canvasColor_ = fontColor_;
}

void TQL_ImageLabel::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void TQL_ImageLabel::SetMouseOverColor(const QColor& color) {
    if (color == mouseOverColor_) return;
    mouseOverColor_ = color;
    update();
}

void TQL_ImageLabel::SetImgTransparent(bool on) {
    if (on == imgTransparent_) return;
    imgTransparent_ = on;
    update();
}

void TQL_ImageLabel::SetBackColor(const QColor& color) {
    if (color == backColor_) return;
    backColor_ = color;
    update();
}

void TQL_ImageLabel::SetSpace(uint8_t space) {
    if (space == space_) return;
    space_ = space;
    update();
}

void TQL_ImageLabel::SetBitmapImage(const QPixmap& picture) {
    // A copy: the caller's picture may go away.
    bitmap_ = picture.copy();
    update();
}

void TQL_ImageLabel::SetGLine(bool on) {
    if (on == gLine_) return;
    gLine_ = on;
    update();
}

void TQL_ImageLabel::SetGLineColor(const QColor& color) {
    if (color == gLineColor_) return;
    gLineColor_ = color;
    if (gLine_) update();
}

void TQL_ImageLabel::SetFontColor(const QColor& color) {
    if (color == fontColor_) return;
    fontColor_ = color;
    if (!hovered_ || !mouseOverUnderLine_) canvasColor_ = color;
    update();
}

int TQL_ImageLabel::TextLeft() const { return bitmap_.isNull() ? space_ : bitmap_.width() + space_; }

void TQL_ImageLabel::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect clip = event->rect();
    if (backColor_.isValid()) p.fillRect(clip, backColor_);
    if (gLine_) {
        p.setPen(QPen(gLineColor_, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
    // The differences are halved as unsigned: something taller than the control starts far off.
    const auto half = [](int outer, int inner) { return int(uint32_t(outer - inner) / 2); };
    if (!bitmap_.isNull()) {
        QPixmap picture = bitmap_;
        // Transparent: the colour of the bottom-left pixel is taken away, as with bitmaps.
        if (imgTransparent_ && !picture.hasAlphaChannel()) {
            const QImage img = picture.toImage();
            picture.setMask(QBitmap::fromImage(img.createMaskFromColor(img.pixel(0, img.height() - 1))));
        }
        p.drawPixmap(2, half(height(), picture.height()), picture);
    }
    if (!text_.isEmpty()) {
        p.setClipRect(clip);
        p.setFont(canvasFont_);
        p.setPen(canvasColor_);
        const QFontMetrics fm(canvasFont_);
        const int top = half(height(), fm.height());
        p.drawText(TextLeft(), top + fm.ascent(), text_);
    }
    if (hasFocus()) {
        // The focus as buttons show it, just inside the frame.
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        p.setClipping(false);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void TQL_ImageLabel::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    if (mouseOverUnderLine_) {
        canvasFont_ = font();
        canvasFont_.setUnderline(true);
        canvasColor_ = mouseOverColor_;
        update();
    }
    QWidget::enterEvent(event);
}

void TQL_ImageLabel::leaveEvent(QEvent* event) {
    hovered_ = false;
    ResetCanvas();
    update();
    QWidget::leaveEvent(event);
}

void TQL_ImageLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QWidget::mousePressEvent(event);
}

void TQL_ImageLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void TQL_ImageLabel::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && !event->isAutoRepeat() &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TQL_ImageLabel::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TQL_ImageLabel::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void TQL_ImageLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        canvasFont_ = font();
        if (hovered_ && mouseOverUnderLine_) canvasFont_.setUnderline(true);
        update();
    }
    QWidget::changeEvent(event);
}
