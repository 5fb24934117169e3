// Checks of how a window presents itself: its kind for the window manager and labels that
// show their whole text.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <map>

class QWidget;

// A dialog of one size: dialog type, a close box but no minimize or maximize box, and the
// same minimum, maximum and current size.
::testing::AssertionResult IsFixedDialog(const QWidget& window);

// The labels under `root` (itself included when it is one) that are smaller than their text
// needs as drawn, fallback fonts included: each as "name 'text' WxH < WxH".
QStringList CutLabels(const QWidget& root);

// Every text a window can show, keyed by where it is ("objectName/Class.what"): captions, tool
// tips, menus (also of widgets hidden now), list headers and choices. A list's rows are left out.
std::map<QString, QString> WindowTexts(QWidget& window);

// Whether a text has kana, kanji or full-width forms.
bool HasJapanese(const QString& text);

// The window's texts that are still Japanese, each as "where: text" (none in English).
QStringList JapaneseTexts(QWidget& window);
