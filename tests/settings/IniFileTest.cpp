// Settings files: reading rules, in-place updates and atomic writes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/Cp932.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

size_t EntryCount(const fs::path& folder) {
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(IniFile, ReadsValuesByTheProfileRules) {
    TempDir dir;
    const std::string path = dir.write("t.ini",
        "; comment=not a key\r\n"
        "[Other]\r\n"
        "#Key=other section\r\n"
        "[tavrix_2]\r\n"
        "  #Mixed Case  =  padded value  \r\n"
        "#Quoted=\"  kept blanks  \"\r\n"
        "#Empty=\r\n"
        "#Eq=a=b\n"
        "#Dup=first\r\n"
        "#Dup=second\r\n"
        "#Dec=-42\r\n"
        "#Hex=0x1F\r\n"
        "#HEXU=0XfF\r\n"
        "#HexAll=0xFFFFFFFF\r\n"
        "#HexBare=0x\r\n"
        "#HexLong=0x100000000\r\n"
        "#Bad=12abc\r\n"
        "#Space=1 2\r\n"
        "#Big=2147483648\r\n"
        "#Min=-2147483648\r\n"
        "#Sjis=" + cp932::FromUtf8("C:\\サウンド\\表示.wav") + "\r\n"
        "[Tavrix_2]\r\n"
        "#Later=the first section of a name is the one that counts\r\n");
    const TIniFile ini(path);
    const std::string S = "Tavrix_2";

    EXPECT_EQ(ini.ReadString(S, "#mixed case", "d"), "padded value");
    EXPECT_EQ(ini.ReadString(S, "#quoted", "d"), "  kept blanks  ");
    EXPECT_EQ(ini.ReadString(S, "#Empty", "d"), "");
    EXPECT_TRUE(ini.ValueExists(S, "#Empty"));
    EXPECT_EQ(ini.ReadString(S, "#Eq", "d"), "a=b");
    EXPECT_EQ(ini.ReadString(S, "#Dup", "d"), "first");
    EXPECT_EQ(ini.ReadString(S, "#Key", "d"), "d");
    EXPECT_EQ(ini.ReadString("Other", "#KEY", "d"), "other section");
    EXPECT_EQ(ini.ReadString(S, "; comment", "d"), "d");
    EXPECT_EQ(ini.ReadString(S, "#Later", "d"), "d");
    EXPECT_EQ(ini.ReadString("Missing", "#Dec", "d"), "d");
    EXPECT_EQ(ini.ReadString(S, "#Sjis", ""), "C:\\サウンド\\表示.wav");

    const struct { const char* key; int expected; } ints[] = {
        {"#Dec", -42}, {"#Hex", 31}, {"#HEXU", 255}, {"#HexAll", -1}, {"#HexBare", 7},
        {"#HexLong", 7}, {"#Bad", 7}, {"#Space", 7}, {"#Big", 7}, {"#Min", INT32_MIN},
        {"#Empty", 7}, {"#Missing", 7},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger(S, c.key, 7), c.expected) << c.key;

    EXPECT_TRUE(ini.ReadBool(S, "#Dec", false));
    EXPECT_TRUE(ini.ReadBool(S, "#Bad", true));     // malformed: the default
    EXPECT_FALSE(ini.ReadBool(S, "#Bad", false));
    EXPECT_FALSE(ini.ReadBool(S, "#HexBare", false));
}

TEST(IniFile, MissingFileReadsDefaultsAndWritesCreateItInFirstWriteOrder) {
    TempDir dir;
    TIniFile ini(dir.file("new.ini"));
    EXPECT_EQ(ini.ReadString("S", "#A", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("S", "#A", 5), 5);

    ini.WriteString("S", "#B", "second letter first");
    ini.WriteBool("S", "#A", true);
    ini.WriteInteger("S", "#C", -3);
    ini.WriteBool("S", "#a", false);    // the same key, any case: updated in place
    ini.WriteString("S", "#Path", "D:\\音\\終了.wav");
    EXPECT_EQ(ReadBytes(ini.FileName()),
              "[S]\r\n#B=second letter first\r\n#A=0\r\n#C=-3\r\n#Path=" +
                  cp932::FromUtf8("D:\\音\\終了.wav") + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "#path", ""), "D:\\音\\終了.wav");
}

TEST(IniFile, UpdatesInPlaceAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string original =
        "; settings of several programs\r\n"
        "[Before]\r\n"
        "#Check CRC=1\r\n"
        "\r\n"
        "[Tavrix_2]\r\n"
        "  #Check CRC =  0   \r\n"
        "#unknown key=keep me\n"           // LF alone stays LF
        "#Digest_Pass_Text=" + cp932::FromUtf8("C:\\パス.txt") + "\r\n"
        "\r\n"
        "; trailing comment of the section\r\n"
        "[After]\r\n"
        "x=1";                             // no line end at the end of the file
    const std::string path = dir.write("t.ini", original);
    TIniFile ini(path);
    ini.WriteBool("Tavrix_2", "#CHECK crc", true);
    ini.WriteString("Tavrix_2", "#New", "appended after the last key");
    ini.WriteString("After", "y", "2");
    ini.WriteString("Fresh", "z", "3");
    EXPECT_EQ(ReadBytes(path),
              "; settings of several programs\r\n"
              "[Before]\r\n"
              "#Check CRC=1\r\n"
              "\r\n"
              "[Tavrix_2]\r\n"
              "  #Check CRC =  1\r\n"
              "#unknown key=keep me\n"
              "#Digest_Pass_Text=" + cp932::FromUtf8("C:\\パス.txt") + "\r\n"
              "#New=appended after the last key\r\n"
              "\r\n"
              "; trailing comment of the section\r\n"
              "[After]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "[Fresh]\r\n"
              "z=3\r\n");
}

TEST(IniFile, FailedWritesLeaveTheOldFileAndReportThePath) {
    TempDir dir;
    // No folder to write into.
    TIniFile nowhere(dir.file("missing/tavr2.ini"));
    try {
        nowhere.WriteBool("S", "#A", true);
        ADD_FAILURE() << "write into a missing folder succeeded";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(e.Path(), dir.file("missing/tavr2.ini"));
        EXPECT_EQ(std::string(e.what()), dir.file("missing/tavr2.ini") + " に書き込めません");
        EXPECT_FALSE(e.Reason().empty());
    }

    // The settings name is taken by a folder.
    fs::create_directory(dir.path() / "taken.ini");
    fs::create_directory(dir.path() / "taken.ini" / "inside");
    TIniFile taken(dir.file("taken.ini"));
    EXPECT_THROW(taken.WriteString("S", "#A", "x"), EIniWriteError);
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken.ini" / "inside"));

    // The disk fills up in the middle of the new file: the old one is untouched.
    const std::string old = "[S]\r\n#A=" + std::string(300, 'a') + "\r\n#B=1\r\n";
    const std::string path = dir.write("full.ini", old);
    TIniFile full(path);
    const size_t before = EntryCount(dir.path());
    {
        FileSizeLimit limit(100);
        EXPECT_THROW(full.WriteString("S", "#B", "0"), EIniWriteError);
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(EntryCount(dir.path()), before);   // no temporary file left behind
    full.WriteString("S", "#B", "0");
    EXPECT_EQ(full.ReadBool("S", "#B", true), false);
}

TEST(IniFile, ReplacingKeepsTheFilePermissions) {
    TempDir dir;
    const std::string path = dir.write("p.ini", "[S]\r\n#A=1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TIniFile(path).WriteBool("S", "#A", false);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
