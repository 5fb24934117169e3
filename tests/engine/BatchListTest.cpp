// The batch list without a window: rows, folders, the size text and the export bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstring>
#include <filesystem>

#include "engine/BatchList.h"
#include "support/DeepTree.h"
#include "support/RunAs.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TEST(BatchList, RowsTakeOnlyFilesWithADosTime) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "x");
    SetLocalTime(file, 2004, 8, 1, 12, 30, 5);
    const auto row = MakeBatchRow(file, "new");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Name, "a.txt");
    EXPECT_EQ(row->CurrentTime, "2004年8月1日 12時30分04秒");
    EXPECT_EQ(row->NewTime, "new");
    EXPECT_EQ(row->CRC32, "---");
    EXPECT_EQ(row->MD5, "---");
    EXPECT_EQ(row->Size, "---");
    EXPECT_EQ(row->SHA1, "---");
    EXPECT_EQ(row->Path, file);

    const std::string old = dir.write("old.txt", "x");
    SetLocalTime(old, 1979, 12, 31, 23, 0, 0);
    EXPECT_FALSE(MakeBatchRow(old, "new"));
    EXPECT_FALSE(MakeBatchRow(dir.path().string(), "new"));
    EXPECT_FALSE(MakeBatchRow(dir.file("missing"), "new"));
}

TEST(BatchList, FolderWalkListsSubfoldersOnlyWithoutRecursionAndNeverLoops) {
    TempDir dir;
    dir.write("top.txt", "1");
    fs::create_directories(dir.path() / "sub");
    dir.write("sub/deep.txt", "2");
    fs::create_directory_symlink(dir.path(), dir.path() / "sub" / "loop");

    auto names = [&](bool recursive) {
        std::vector<std::string> out;
        for (const std::string& p : CollectFolder(dir.path().string(), recursive))
            out.push_back(fs::relative(p, dir.path()).string());
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(names(false), (std::vector<std::string>{"sub", "top.txt"}));
    EXPECT_EQ(names(true), (std::vector<std::string>{"sub/deep.txt", "top.txt"}));
}

// A path longer than the system's path calls take (PATH_MAX) is still walked to and added.
TEST(BatchList, AFolderWalkReachesAndAddsPathsOfAnyLength) {
    TempDir dir;
    for (int i = 0; i < 7; ++i) dir.write("f" + std::to_string(i), "x");
    fs::create_directory(dir.path() / "deep");
    const std::string far = MakeDeepFile(dir.file("deep"), std::string(200, 'd'), PATH_MAX + 100, "far.txt", "abc");
    ASSERT_GT(far.size(), size_t(PATH_MAX));
    std::vector<TSkippedPath> skipped;
    const std::vector<std::string> list = CollectFolder(dir.path().string(), true, &skipped);
    EXPECT_EQ(list.size(), 8u);
    EXPECT_NE(std::find(list.begin(), list.end(), far), list.end());
    EXPECT_TRUE(skipped.empty());
    const auto row = MakeBatchRow(far, "new");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Name, "far.txt");
    EXPECT_EQ(row->Path, far);
    const TPathAccess access(far);
    EXPECT_LT(access.Path().size(), size_t(PATH_MAX));
    EXPECT_EQ(ReadBytes(access.Path()), "abc");
    RemoveDeepTree(dir.file("deep"));
}

// A folder the walk cannot open is passed over and named with the system's reason.
TEST(BatchList, AFolderWalkNamesWhatItCannotOpen) {
    TempDir dir;
    dir.write("a.txt", "x");
    fs::create_directory(dir.path() / "locked");
    dir.write("locked/b.txt", "x");
    std::vector<TSkippedPath> skipped;
    const std::vector<std::string> missing = CollectFolder(dir.file("none"), true, &skipped);
    EXPECT_TRUE(missing.empty());
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].Path, dir.file("none"));
    EXPECT_EQ(skipped[0].Reason, std::strerror(ENOENT));
    chmod(dir.file("locked").c_str(), 0);
    const int status = AsOrdinaryUser(dir.path(), [&] {
        skipped.clear();
        const bool listed = CollectFolder(dir.path().string(), true, &skipped) == std::vector<std::string>{dir.file("a.txt")};
        const bool named = skipped.size() == 1 && skipped[0].Path == dir.file("locked") &&
                           skipped[0].Reason == std::strerror(EACCES);
        return (listed ? 0 : 1) | (named ? 0 : 2);
    });
    chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(status, 0);
}

TEST(BatchList, SizeTextIsGroupedAndRightAlignedInTwentyCharacters) {
    struct Case {
        int64_t size;
        const char* separator;
        std::string text;
    };
    const Case cases[] = {
        {0, ",", std::string(19, ' ') + "0 バイト"},
        {999, ",", std::string(17, ' ') + "999 バイト"},
        {1000, ",", std::string(15, ' ') + "1,000 バイト"},
        {1234567, ",", std::string(11, ' ') + "1,234,567 バイト"},
        {1234567, ".", std::string(11, ' ') + "1.234.567 バイト"},
        // A separator of several bytes is still one character of the twenty.
        {1234567, "\u202f", std::string(11, ' ') + "1\u202f234\u202f567 バイト"},
        {INT64_MAX, ",", "9,223,372,036,854,775,807 バイト"},
    };
    for (const Case& c : cases) EXPECT_EQ(BatchSizeText(c.size, c.separator), c.text) << c.size;
}

TEST(BatchList, LocalesThatGroupNothingGetAComma) {
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(ThousandsSeparator(), ",");
}

TEST(BatchList, ExportNameAndFolder) {
    const std::pair<const char*, const char*> names[] = {
        {"/d/list.log", "/d/list.txt"}, {"/d/list", "/d/list.txt"},   {"/d/LIST.TXT", "/d/LIST.TXT"},
        {"/d.x/list", "/d.x/list.txt"}, {"/d/a.b.log", "/d/a.b.txt"},
    };
    for (const auto& [chosen, written] : names) EXPECT_EQ(ExportFileName(chosen), written) << chosen;
    EXPECT_EQ(ExportFolder("/home/u/a.txt"), "/home/u");
    EXPECT_EQ(ExportFolder("/a.txt"), "/");
    EXPECT_EQ(ExportFolder("a.txt"), "");
}

TEST(BatchList, ExportBytesAreShiftJisWithCrLfAndQuestionMarksForUnreadableCells) {
    TBatchRow a;
    a.Name = "表.txt";
    a.CurrentTime = "2004年8月1日 12時30分04秒";
    a.CRC32 = "352441c2";
    a.Size = std::string(19, ' ') + "3 バイト";
    a.Path = "/data/表.txt";
    TBatchRow b;   // cells that cannot be read
    b.CurrentTime = "t";
    const std::string bytes = ExportBytes(ExportLines({a, b}, "2026/01/02 3:04:05"));
    const std::string stars(58, '*');
    const std::string expected =
        stars + "\r\n" + std::string(12, ' ') + "Tavrenne [2026/01/02 3:04:05]\r\n" + stars + "\r\n\r\n" +
        "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC: \x95\x5C.txt\r\n" +
        "\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x70\x83\x58: /data\r\n" +
        "FileSize: " + std::string(19, ' ') + "3 \x83\x6F\x83\x43\x83\x67\r\n" +
        "\x8C\xBB\x8D\xDD\x82\xCC\x83\x5E\x83\x43\x83\x80\x83\x58\x83\x5E\x83\x93\x83\x76 "
        "2004\x94\x4E" "8\x8C\x8E" "1\x93\xFA 12\x8E\x9E" "30\x95\xAA" "04\x95\x62\r\n" +
        "CRC32: 352441c2\r\n" + "  MD5: ---\r\n" + " SHA1: ---\r\n\r\n" +
        "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC: ???\r\n" +
        "\x83\x74\x83\x40\x83\x43\x83\x8B\x83\x70\x83\x58: ???\r\n" +
        "FileSize: ---\r\n" +
        "\x8C\xBB\x8D\xDD\x82\xCC\x83\x5E\x83\x43\x83\x80\x83\x58\x83\x5E\x83\x93\x83\x76 t\r\n" +
        "CRC32: ---\r\n  MD5: ---\r\n SHA1: ---\r\n\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST(BatchList, ExportWriteReplacesAFileAndNamesWhyItCannot) {
    TempDir dir;
    const std::string file = dir.write("out.txt", "old content that is longer");
    EXPECT_EQ(WriteExport(file, "new"), "");
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(WriteExport(dir.file("no/such/folder.txt"), "x"), std::strerror(ENOENT));

    // A full disk: the old export stays byte for byte, and nothing is left beside it.
    {
        FileSizeLimit limit(100);
        EXPECT_EQ(WriteExport(file, std::string(1000, 'x')), std::strerror(EFBIG));
    }
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);

    // A file the user may not write is refused, though its folder would take a new one.
    chmod(file.c_str(), 0444);
    EXPECT_EQ(AsOrdinaryUser(dir.path(), [&] { return WriteExport(file, "other") == std::strerror(EACCES) ? 0 : 1; }), 0);
    EXPECT_EQ(ReadBytes(file), "new");
}

}  // namespace
