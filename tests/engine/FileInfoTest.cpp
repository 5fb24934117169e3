// The file-information record and the file utilities.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <filesystem>

#include "engine/FileCRC32Info.h"
#include "engine/FileUtils.h"
#include "engine/NormalFileInfo.h"
#include "text/DateTimeFormat.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class FileInfo : public ::testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_TIME, "C"); }
    TempDir dir_;
};

TEST_F(FileInfo, ExistenceTestAcceptsOnlyRegularFilesWithADosTime) {
    const std::string file = dir_.write("file.txt", "x");
    const std::string old = dir_.write("old", "x");
    SetLocalTime(old, 1979, 12, 31, 12, 0, 0);
    const std::string late = dir_.write("late", "x");
    SetLocalTime(late, 2108, 1, 2, 0, 0, 0);
    fs::create_directory(dir_.path() / "folder");
    fs::create_symlink(file, dir_.path() / "link-to-file");
    fs::create_directory_symlink(dir_.path() / "folder", dir_.path() / "link-to-folder");
    ASSERT_EQ(mkfifo(dir_.file("fifo").c_str(), 0600), 0);

    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {file, true},
        {dir_.file("link-to-file"), true},
        {dir_.file("missing"), false},
        {dir_.file("folder"), false},
        {dir_.file("link-to-folder"), false},
        {dir_.file("fifo"), false},
        {"/dev/null", false},
        {old, false},
        {late, false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(FileExistsByAge(c.path), c.exists) << c.path;
}

TEST_F(FileInfo, TimeTextsFromTheDosTime) {
    const std::string f = dir_.write("f.txt", "x");
    SetLocalTime(f, 2004, 8, 1, 12, 30, 5);   // odd second: DOS time keeps 2-second steps
    TNormalFileInfo info;
    info.SetFileName(f);
    EXPECT_EQ(info.Info().FileName, f);
    EXPECT_EQ(info.Info().Age, uint32_t((2004 - 1980) << 25 | 8 << 21 | 1 << 16 | 12 << 11 | 30 << 5 | 2));
    EXPECT_EQ(info.Info().TimeText, "2004年8月1日 12時30分04秒");
    EXPECT_EQ(info.Info().TimeTextShort, "040801-1230");
    EXPECT_EQ(info.Info().TimeTextDefault, "08/01/04 12:30:04");

    SetLocalTime(f, 2004, 12, 31, 0, 0, 0);
    info.SetFileName(f);
    EXPECT_EQ(info.Info().TimeTextDefault, "12/31/04");
    EXPECT_EQ(info.Info().TimeText, "2004年12月31日 00時00分00秒");
}

TEST_F(FileInfo, SetFileNameOnAMissingPathLeavesNoFileSelected) {
    TNormalFileInfo info;
    info.SetFileName(dir_.write("f", "abc"));
    info.ReadSize();
    ASSERT_EQ(info.Info().Size, 3);
    info.LargeIcon = 7;
    info.SetFileName(dir_.file("missing"));
    TFileInfo r;
    info.GetFileInfo(r);
    EXPECT_EQ(r.FileName, "");
    EXPECT_EQ(r.Size, 0);
    EXPECT_EQ(r.TimeText, "");
    EXPECT_EQ(info.LargeIcon, 7u) << "icon handles keep their values";
}

TEST_F(FileInfo, ReadSizeFillsSizeAndAttributes) {
    const std::string plain = dir_.write("plain.bin", "12345");
    const std::string hidden = dir_.write(".hidden", "1");
    const std::string readOnly = dir_.write("ro.txt", "1");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);

    TNormalFileInfo info;
    info.SetFileName(plain);
    info.ReadSize();
    EXPECT_EQ(info.Info().Size, 5);
    EXPECT_EQ(info.Info().Attr, faArchive);
    info.SetFileName(hidden);
    info.ReadSize();
    EXPECT_EQ(info.Info().Attr, faArchive | faHidden);
    info.SetFileName(readOnly);
    info.ReadSize();
    EXPECT_EQ(info.Info().Attr, faArchive | faReadOnly);

    // The file vanished after it was selected: size 0, attributes kept.
    fs::remove(readOnly);
    info.ReadSize();
    EXPECT_EQ(info.Info().Size, 0);
    EXPECT_EQ(info.Info().Attr, faArchive | faReadOnly);

    EXPECT_EQ(GetFileSize64(plain), 5);
    EXPECT_EQ(GetFileSize64(dir_.file("missing")), -1);
}

TEST_F(FileInfo, FilesOver4GiBHaveTheir64BitSizeAndDigest) {
    // Sparse: 4 GiB of zeros and "tail".
    const std::string f = dir_.file("big.bin");
    const int64_t size = (int64_t(1) << 32) + 4;
    {
        FILE* out = fopen(f.c_str(), "wb");
        ASSERT_TRUE(out);
        ASSERT_EQ(fseeko(out, size - 4, SEEK_SET), 0);
        fputs("tail", out);
        fclose(out);
    }
    EXPECT_EQ(GetFileSize64(f), size);
    TFileCRC32Info crc;
    crc.SetFileName(f);
    crc.ReadSize();
    EXPECT_EQ(crc.Info().Size, size);
    const std::string want = RunCommand(
        "python3 -c \"import zlib\nc=0\nz=bytes(1<<22)\nfor i in range(1024): c=zlib.crc32(z,c)\n"
        "print('%08X' % zlib.crc32(b'tail',c), end='')\"");
    EXPECT_EQ(crc.GetHashText(true), want);
}

TEST_F(FileInfo, ListFilesWithAndWithoutRecursion) {
    dir_.write("a.txt", "1");
    dir_.write("b.bin", "2");
    fs::create_directories(dir_.path() / "sub" / "deeper");
    dir_.write("sub/c.txt", "3");
    dir_.write("sub/deeper/d.txt", "4");
    fs::create_directory_symlink(dir_.path(), dir_.path() / "sub" / "loop");   // a cycle, never walked
    const std::string root = dir_.path().string();

    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    std::vector<std::string> flat;
    ListFiles(root, false, flat, "*.*");
    EXPECT_EQ(sorted(flat), (std::vector<std::string>{root + "/a.txt", root + "/b.bin", root + "/sub"}));

    std::vector<std::string> deep;
    ListFiles(root, true, deep, "*.*");
    EXPECT_EQ(sorted(deep), (std::vector<std::string>{root + "/a.txt", root + "/b.bin", root + "/sub/c.txt",
                                                      root + "/sub/deeper/d.txt"}));

    std::vector<std::string> masked = {"kept"};
    ListFiles(root, false, masked, "*.TXT");
    EXPECT_EQ(sorted(masked), (std::vector<std::string>{root + "/a.txt", "kept"}));

    std::vector<std::string> none;
    ListFiles(root + "/a.txt", true, none, "*.*");
    ListFiles(root + "/missing", true, none, "*.*");
    EXPECT_TRUE(none.empty());
}

TEST(FileUtils, PathTexts) {
    const struct {
        std::string in, shortcut;
    } shortcuts[] = {
        {"/home/u/Tavrenne", "/home/u/Tavrenne.lnk"},
        {"/home/u/tavrenne.exe", "/home/u/tavrenne.lnk"},
        {"/home/u.d/readme", "/home/u.d/readme.lnk"},
        {"", ""},
    };
    for (const auto& c : shortcuts) EXPECT_EQ(ShortcutFileName(c.in), c.shortcut) << c.in;

    EXPECT_EQ(GetLongPath("/tmp/"), "/tmp");
    EXPECT_EQ(GetLongPath("/tmp"), "/tmp");
    EXPECT_EQ(GetLongPath("/"), "/");
    EXPECT_EQ(GetLongPath(""), "");

    EXPECT_TRUE(MatchesMask("Report.TXT", "*.txt"));
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
    EXPECT_TRUE(MatchesMask("a1.bin", "a?.*"));
    EXPECT_FALSE(MatchesMask("a12.bin", "a?.*"));
    EXPECT_FALSE(MatchesMask("b.txt", "a*"));
}

}  // namespace
