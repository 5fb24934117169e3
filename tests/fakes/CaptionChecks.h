// Checks of the captions a window draws itself: buttons and link labels, whose texts grow with
// the language while their sizes stay fixed.
#pragma once

#include <QStringList>
#include <map>

class QWidget;

// The buttons, check boxes, radio buttons and link labels under `root` whose caption needs more
// width than they have: each as "name 'text' W < W".
QStringList CutCaptions(const QWidget& root);

// The texts of the link labels (TQL_ImageLabel) under `root`, keyed by their names; the window
// walk of WindowChecks.h does not see them.
std::map<QString, QString> LinkTexts(const QWidget& root);

// The widgets under `root` shown (with `root`) that reach out of their parent's area, where the
// parent cuts them off: each as "name x,y WxH in WxH".
QStringList OutsideParent(const QWidget& root);
