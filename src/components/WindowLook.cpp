#include "components/WindowLook.h"

#include <QLabel>
#include <QWidget>

void SetFixedDialog(QWidget& window, const QSize& size) {
    const Qt::WindowFlags kind = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    // Only the kind: a stay-on-top hint the window carries stays.
    const Qt::WindowFlags kept = window.windowFlags() & Qt::WindowStaysOnTopHint;
    if (window.windowFlags() != (kind | kept)) window.setWindowFlags(kind | kept);
    window.setFixedSize(size);
}

void FitLabel(QLabel& label) {
    QRect g = label.geometry();
    const QSize need = label.wordWrap() ? QSize(g.width(), label.heightForWidth(g.width())) : label.sizeHint();
    if (need.width() > g.width()) g.setWidth(need.width());
    if (need.height() > g.height()) {
        g.moveTop(g.top() - (need.height() - g.height()) / 2);
        g.setHeight(need.height());
    }
    label.setGeometry(g);
}
