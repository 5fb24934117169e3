// How the program's windows present themselves to the window manager, and labels that fit
// the text they show.
#pragma once

#include <QSize>

class QLabel;
class QWidget;

// A dialog of one size: a title bar with the system menu and a close box, no minimize or
// maximize box, and the same minimum and maximum size (window managers offer no resizing or
// maximizing then). Callable again to change the size.
void SetFixedDialog(QWidget& window, const QSize& size);

// Grows `label` to what its text needs as it is drawn (fallback fonts for characters its own
// font lacks included): wider to the right, taller around its middle so the text stays on the
// line of its design. A word-wrapping label only grows taller. Never shrinks.
void FitLabel(QLabel& label);
