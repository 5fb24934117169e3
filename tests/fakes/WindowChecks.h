// Checks of how a window presents itself: its kind for the window manager and labels that
// show their whole text.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>

class QWidget;

// A dialog of one size: dialog type, a close box but no minimize or maximize box, and the
// same minimum, maximum and current size.
::testing::AssertionResult IsFixedDialog(const QWidget& window);

// The labels under `root` (itself included when it is one) that are smaller than their text
// needs as drawn, fallback fonts included: each as "name 'text' WxH < WxH".
QStringList CutLabels(const QWidget& root);
