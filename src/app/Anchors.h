// Keeps child widgets at their distances to the edges they are anchored to when the parent
// is resized: left/top fixed, right/bottom followed, both stretched.
#pragma once

#include <QRect>
#include <QSize>
#include <map>

class QWidget;

class TAnchors {
public:
    // Remembers the widget's distances to the parent's current edges.
    void Add(QWidget* widget, Qt::Edges edges, QSize parentSize);
    // Switched off, a widget keeps its geometry; switched on, its distances are taken anew.
    void SetEnabled(QWidget* widget, bool enabled, QSize parentSize);
    void Apply(QSize parentSize);

private:
    struct Entry {
        Qt::Edges edges;
        QRect rect;       // geometry when captured
        QSize parent;     // parent size when captured
        bool enabled = true;
    };
    std::map<QWidget*, Entry> entries_;
};
