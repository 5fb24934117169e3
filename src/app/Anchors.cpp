#include "app/Anchors.h"

#include <QWidget>

void TAnchors::Add(QWidget* widget, Qt::Edges edges, QSize parentSize) {
    entries_[widget] = Entry{edges, widget->geometry(), parentSize, true};
}

void TAnchors::SetEnabled(QWidget* widget, bool enabled, QSize parentSize) {
    auto it = entries_.find(widget);
    if (it == entries_.end()) return;
    it->second.enabled = enabled;
    if (enabled) {
        it->second.rect = widget->geometry();
        it->second.parent = parentSize;
    }
}

void TAnchors::Apply(QSize parentSize) {
    for (auto& [widget, e] : entries_) {
        if (!e.enabled) continue;
        QRect r = e.rect;
        const int dw = parentSize.width() - e.parent.width();
        const int dh = parentSize.height() - e.parent.height();
        if (e.edges & Qt::RightEdge) {
            if (e.edges & Qt::LeftEdge) r.setWidth(qMax(0, e.rect.width() + dw));
            else r.moveLeft(e.rect.left() + dw);
        }
        if (e.edges & Qt::BottomEdge) {
            if (e.edges & Qt::TopEdge) r.setHeight(qMax(0, e.rect.height() + dh));
            else r.moveTop(e.rect.top() + dh);
        }
        widget->setGeometry(r);
    }
}
