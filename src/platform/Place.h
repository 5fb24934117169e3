// Windows lay out their controls at the positions of their design: a child of `parent`, named
// for the tests and the settings, at x, y with width w and height h.
#pragma once

#include <QString>
#include <QWidget>

template <class T>
T* Place(QWidget* parent, const char* name, int x, int y, int w, int h) {
    T* t = new T(parent);
    t->setObjectName(QLatin1String(name));
    t->setGeometry(x, y, w, h);
    return t;
}
