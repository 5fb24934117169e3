// A link-like label: an optional small picture, a line of text, a hand cursor and an
// underline in a highlight colour while the mouse is over it. Clicked like a button, also from
// the keyboard: it takes the focus with Tab, shows it, and acts on Space and Enter.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>

class TQL_ImageLabel : public QWidget {
    Q_OBJECT

public:
    explicit TQL_ImageLabel(QWidget* parent = nullptr);

    QString Text() const { return text_; }
    void SetText(const QString& text);
    QColor MouseOverColor() const { return mouseOverColor_; }
    void SetMouseOverColor(const QColor& color);
    bool ImgTransparent() const { return imgTransparent_; }
    void SetImgTransparent(bool on);
    // An invalid colour is "none": the parent shows through.
    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& color);
    uint8_t Space() const { return space_; }
    void SetSpace(uint8_t space);
    QPixmap BitmapImage() const { return bitmap_; }
    void SetBitmapImage(const QPixmap& picture);
    bool GLine() const { return gLine_; }
    void SetGLine(bool on);
    QColor GLineColor() const { return gLineColor_; }
    void SetGLineColor(const QColor& color);
    bool MouseOverUnderLine() const { return mouseOverUnderLine_; }
    void SetMouseOverUnderLine(bool on) { mouseOverUnderLine_ = on; }   // never repaints
    // The colour the text is written in when the mouse is elsewhere.
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& color);

    // What the next paint writes the text with, and where it starts.
    QFont CanvasFont() const { return canvasFont_; }
    QColor CanvasColor() const { return canvasColor_; }
    int TextLeft() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ResetCanvas();

    QString text_ = QStringLiteral("Static");
    QColor mouseOverColor_{0, 0, 255};
    bool imgTransparent_ = true;
    QColor backColor_;
    uint8_t space_ = 7;
    QPixmap bitmap_;
    bool gLine_ = false;
    QColor gLineColor_{Qt::black};
    bool mouseOverUnderLine_ = true;
    QColor fontColor_{0, 0, 255};
    QFont canvasFont_;
    QColor canvasColor_;
    bool hovered_ = false;
    bool pressed_ = false;
};
