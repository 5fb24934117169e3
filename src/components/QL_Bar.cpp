#include "components/QL_Bar.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <QStylePainter>

TQL_Bar::TQL_Bar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 100);
    setValue(0);
}

void TQL_Bar::resizeEvent(QResizeEvent* event) {
    const bool channel = barStyle_ == ebNormal;
    if (channel != channel_) {
        channel_ = channel;
        update();
    }
    QSlider::resizeEvent(event);
}

void TQL_Bar::paintEvent(QPaintEvent* event) {
    if (!channel_) {
        QSlider::paintEvent(event);
        return;
    }
    // The channel: a sunken white well along the groove, the handle over it.
    QStylePainter p(this);
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect well(groove.left(), groove.center().y() - 4, groove.width(), 8);
    p.fillRect(well, Qt::white);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = well;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = 1;
    p.drawPrimitive(QStyle::PE_Frame, frame);
    opt.subControls = QStyle::SC_SliderHandle;
    p.drawComplexControl(QStyle::CC_Slider, opt);
}
