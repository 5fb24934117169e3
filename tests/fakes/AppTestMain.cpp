// GoogleTest main for the window tests: one QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The texts the tests assert are the Japanese ones, whatever the desktop's language: the
    // programs a test starts follow LANGUAGE. LC_MESSAGES=C keeps the system's own messages
    // (strerror) as they were, since the C library reads LANGUAGE only outside "C".
    setenv("LANGUAGE", "ja", 1);
    setenv("LC_MESSAGES", "C", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
