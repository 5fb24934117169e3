// File names are bytes: a path survives the trip through the window's text unchanged, and only
// what is shown replaces bytes that are not text.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "platform/Path.h"
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

// A path is made only on purpose: neither a text to show nor plain bytes become one unnoticed,
// and it becomes neither unless asked by name.
static_assert(!std::is_convertible_v<QString, TPath>);
static_assert(!std::is_convertible_v<std::string, TPath>);
static_assert(!std::is_convertible_v<const char*, TPath>);
static_assert(!std::is_convertible_v<TPath, QString>);
static_assert(!std::is_convertible_v<TPath, std::string>);

TEST(Path, BytesSurviveTheQtTextAndOnlyTheDisplayReplacesWhatIsNotText) {
    const std::string bytes = "/tmp/d\xFE/bad\xFF.txt";
    const TPath path(bytes);
    EXPECT_EQ(path.Bytes(), bytes);
    // Out to a dialog or Qt's file calls and back in, as a dialog's answer or a drop.
    EXPECT_EQ(TPath(path.ToQString()), path);
    EXPECT_EQ(path.Display().toStdString(), "/tmp/d\xEF\xBF\xBD/bad\xEF\xBF\xBD.txt");
    EXPECT_EQ(path.Display(), PathForDisplay(path.ToQString()));
    EXPECT_EQ(path.FileName().Bytes(), "bad\xFF.txt");
    EXPECT_EQ(path.Folder().Bytes(), "/tmp/d\xFE");
    // Text typed by the user is its UTF-8.
    EXPECT_EQ(TPath(QStringLiteral("/tmp/ä b")).Bytes(), "/tmp/\xC3\xA4 b");
}

TEST(Path, NameFolderAndJoin) {
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    for (const Case& c : {Case{"/a/b.txt", "b.txt", "/a"}, Case{"/b.txt", "b.txt", "/"}, Case{"b.txt", "b.txt", ""},
                          Case{"", "", ""}}) {
        EXPECT_EQ(TPath(c.path).FileName().Bytes(), c.name) << c.path;
        EXPECT_EQ(TPath(c.path).Folder().Bytes(), c.folder) << c.path;
    }
    EXPECT_EQ(TPath("/a").Join("x").Bytes(), "/a/x");
    EXPECT_EQ(TPath("/a/").Join("x").Bytes(), "/a/x");
    EXPECT_EQ(TPath().Join("x").Bytes(), "x");
}
