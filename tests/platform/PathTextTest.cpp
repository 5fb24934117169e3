// File names are bytes: a path survives the trip through the window's text unchanged, and only
// what is shown replaces bytes that are not text.
#include <gtest/gtest.h>

#include "platform/PathText.h"

TEST(PathText, EveryByteSurvivesAndOnlyTheDisplayReplacesWhatIsNotText) {
    struct Case {
        std::string bytes;
        const char* shown;   // UTF-8
    };
    const Case cases[] = {
        {"", ""},
        {"/tmp/abc.txt", "/tmp/abc.txt"},
        {"/tmp/日本語.txt", "/tmp/日本語.txt"},
        {"/tmp/\xF0\x9F\x98\x80.bin", "/tmp/\xF0\x9F\x98\x80.bin"},   // outside the BMP
        {"/tmp/bad\xFF.txt", "/tmp/bad\xEF\xBF\xBD.txt"},
        {"/tmp/\x83\x65\x83\x58\x83\x67.txt", "/tmp/\xEF\xBF\xBD\x65\xEF\xBF\xBD\x58\xEF\xBF\xBD\x67.txt"},  // Shift_JIS
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},        // overlong "/"
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // an encoded surrogate
        {"\xE6\x97", "\xEF\xBF\xBD\xEF\xBF\xBD"},        // cut short
    };
    for (const Case& c : cases) {
        const QString inside = PathToQString(c.bytes);
        EXPECT_EQ(PathFromQString(inside), c.bytes) << c.shown;
        EXPECT_EQ(PathForDisplay(inside).toStdString(), c.shown);
    }
    // Text typed by the user (no escaped bytes) is its UTF-8.
    EXPECT_EQ(PathFromQString(QStringLiteral("/tmp/ä b")), "/tmp/\xC3\xA4 b");
}
