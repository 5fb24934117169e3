// A slider with two looks: with the selection-range channel (ebNormal) or without (ebWin32).
#pragma once

#include <QSlider>

enum TBarStyle { ebNormal, ebWin32 };

class TQL_Bar : public QSlider {
    Q_OBJECT

public:
    explicit TQL_Bar(QWidget* parent = nullptr);

    TBarStyle BarStyle() const { return barStyle_; }
    // Stored only: the look follows at the next resize.
    void SetBarStyle(TBarStyle style) { barStyle_ = style; }
    int Max() const { return maximum(); }
    void SetMax(int value) { setMaximum(value); }
    int Min() const { return minimum(); }
    void SetMin(int value) { setMinimum(value); }
    int Position() const { return value(); }
    void SetPosition(int value) { setValue(value); }

    // The look in force: whether the selection-range channel is drawn.
    bool SelectionChannelShown() const { return channel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TBarStyle barStyle_ = ebWin32;
    bool channel_ = false;
};
