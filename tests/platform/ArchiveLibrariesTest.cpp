#include "platform/ArchiveLibraries.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/ArchiveFixtures.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Text only: the ZIP maker takes its contents on a command line.
std::string Lines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "line " + std::to_string(i * 7919 % 100003) + "\n";
    return s;
}

const std::vector<TArchiveItem> kTree = {
    {"a.txt", "alpha\r\n"},
    {"sub/b.txt", Lines(6000)},
};

class ArchiveLibraries : public ::testing::Test {
protected:
    fs::path Path(const std::string& name) const { return dir_.path() / name; }
    // Runs `entry` with `before`, the archive, "dest/" and the pattern `after` (if any), as
    // the window asks.
    int Call(TArchiveEntry entry, const std::string& before, const fs::path& archive, const fs::path& dest,
             const std::string& after) {
        fs::create_directories(dest);
        TArchiveCommand command{before, archive.string(), dest.string() + "/", {}};
        if (!after.empty()) command.Patterns = {after};
        char output[513] = {};
        return entry(nullptr, command, output, 512);
    }
    void ExpectTree(const fs::path& dest, const std::vector<TArchiveItem>& items) {
        for (const TArchiveItem& i : items) EXPECT_EQ(ReadBytes(dest / i.Name), i.Data) << i.Name;
    }
    TempDir dir_;
};

TEST_F(ArchiveLibraries, ZipLhaAndCabAreExtractedWithTheirFolders) {
    ASSERT_TRUE(MakeZip(Path("t.zip"), kTree));
    EXPECT_EQ(Call(UnZip, "", Path("t.zip"), Path("z"), ""), 0);
    ExpectTree(Path("z"), kTree);

    MakeLzh(Path("t.lzh"), {{"a.txt", kTree[0].Data}, {"sub\\b.txt", kTree[1].Data}});
    EXPECT_EQ(Call(Unlha, "e -x -u0 -jyc ", Path("t.lzh"), Path("l"), "*.*"), 0);
    ExpectTree(Path("l"), kTree);

    ASSERT_TRUE(MakeCab(Path("t.cab"), Path("stage"), kTree));
    EXPECT_EQ(Call(Cab, "-x ", Path("t.cab"), Path("c"), "*.*"), 0);
    ExpectTree(Path("c"), kTree);

    EXPECT_EQ(UnlhaGetRunning(), 0);
}

TEST_F(ArchiveLibraries, FailuresAreNonZero) {
    ASSERT_TRUE(MakeZip(Path("t.zip"), kTree));
    std::string zip = ReadBytes(Path("t.zip"));
    std::ofstream(Path("cut.zip"), std::ios::binary) << zip.substr(0, zip.size() / 2);
    std::ofstream(Path("text.zip"), std::ios::binary) << "not an archive";
    EXPECT_NE(Call(UnZip, "", Path("cut.zip"), Path("d1"), ""), 0);
    EXPECT_NE(Call(UnZip, "", Path("text.zip"), Path("d2"), ""), 0);
    EXPECT_NE(Call(UnZip, "", Path("missing.zip"), Path("d3"), ""), 0);
    // Each library reads its own format only.
    EXPECT_NE(Call(Cab, "-x ", Path("t.zip"), Path("d4"), "*.*"), 0);
    // No reader for GCA at all.
    std::ofstream(Path("t.gca"), std::ios::binary) << "GCA0";
    EXPECT_NE(Call(UnGCA, "e -sx1 ", Path("t.gca"), Path("d5"), ""), 0);
    EXPECT_EQ(UnGCAGetRunning(), 0);
    char output[16];
    EXPECT_EQ(UnZip(nullptr, TArchiveCommand{"", "only-one", "", {}}, output, sizeof output), kArchiveErrorCommandLine);
}

TEST_F(ArchiveLibraries, EntriesThatReachOutsideFailAndWriteNothingThere) {
    const fs::path outside = Path("outside.txt");
    std::ofstream(outside) << "keep";
    const std::string abs = Path("abs.txt").string();
    const struct {
        const char* what;
        std::vector<TArchiveItem> items;
    } cases[] = {
        {"dot-dot", {{"../outside.txt", "evil"}, {"../new.txt", "evil"}}},
        {"deep dot-dot", {{"sub/../../new.txt", "evil"}}},
        {"absolute", {{abs, "evil"}}},
        {"link out", {{"link", "../outside.txt", true}}},
        {"absolute link", {{"link", outside.string(), true}}},
        {"link then write through it", {{"d", "..", true}, {"d/new.txt", "evil"}}},
    };
    for (const auto& c : cases) {
        const fs::path zip = Path("evil.zip");
        ASSERT_TRUE(MakeZip(zip, c.items)) << c.what;
        EXPECT_NE(Call(UnZip, "", zip, Path("dest"), ""), 0) << c.what;
        EXPECT_EQ(ReadBytes(outside), "keep") << c.what;
        EXPECT_FALSE(fs::exists(Path("new.txt"))) << c.what;
        EXPECT_FALSE(fs::exists(abs)) << c.what;
        fs::remove_all(Path("dest"));
    }
}

TEST_F(ArchiveLibraries, LinksAlreadyInTheDestinationAreNotFollowed) {
    const fs::path outside = Path("outside.txt");
    std::ofstream(outside) << "keep";
    fs::create_directories(Path("outdir"));
    fs::create_directories(Path("dest"));
    fs::create_symlink(outside, Path("dest/f"));
    fs::create_directory_symlink(Path("outdir"), Path("dest/d"));
    ASSERT_TRUE(MakeZip(Path("t.zip"), {{"f", "new"}}));
    EXPECT_EQ(Call(UnZip, "", Path("t.zip"), Path("dest"), ""), 0);
    EXPECT_EQ(ReadBytes(Path("dest/f")), "new");
    EXPECT_EQ(ReadBytes(outside), "keep");
    ASSERT_TRUE(MakeZip(Path("t.zip"), {{"d/x", "evil"}}));
    EXPECT_NE(Call(UnZip, "", Path("t.zip"), Path("dest"), ""), 0);
    EXPECT_FALSE(fs::exists(Path("outdir/x")));
}

// An entry named "." would replace the destination folder itself, here by a link to outside.
TEST_F(ArchiveLibraries, AnEntryNamedLikeTheDestinationIsRefused) {
    ASSERT_TRUE(MakeZip(Path("t.zip"), {{".", "../outside", true}, {"f", "x"}}));
    EXPECT_EQ(Call(UnZip, "", Path("t.zip"), Path("dest"), ""), kArchiveErrorUnsafe);
    EXPECT_TRUE(fs::is_directory(fs::symlink_status(Path("dest"))));
}

TEST(ArchiveEntryRules, WhatStaysInside) {
    const struct {
        const char* path;
        const char* symlink;
        const char* hardlink;
        bool inside;
    } cases[] = {
        {"a.txt", "", "", true},
        {"sub/./b", "", "", true},
        {"../a", "", "", false},
        {"sub/../../a", "", "", false},
        {"sub/../a", "", "", false},   // no ".." at all, even one that stays inside
        {"/etc/a", "", "", false},
        {"l", "a.txt", "", true},
        {"sub/l", "../a.txt", "", true},
        {"sub/l", "../../a.txt", "", false},
        {"./l", "../a", "", false},
        {"l", "/etc/passwd", "", false},
        {"h", "", "a.txt", true},
        {"h", "", "../a.txt", false},
        {"h", "", "/etc/passwd", false},
        // The destination itself is no entry's name.
        {".", "", "", false},
        {"./", "", "", false},
        {".", "sub", "", false},
        {"h", "", ".", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArchiveEntryStaysInside(c.path, c.symlink, c.hardlink), c.inside)
            << c.path << " " << c.symlink << " " << c.hardlink;
}

// A path is a value of its own: quotation marks and blanks in it never make another archive,
// destination or pattern. The folder below would have made a re-split command line read the
// archive "a" into /tmp/TARGET.
TEST_F(ArchiveLibraries, QuotationMarksInPathsAreOnlyCharacters) {
    const fs::path folder = Path("a\" \"" + Path("TARGET").string() + "\" \"*\" \"");
    fs::create_directories(folder);
    ASSERT_TRUE(MakeZip(folder / "good.zip", kTree));
    ASSERT_TRUE(MakeZip(Path("a"), {{"wrong.txt", "wrong"}}));
    EXPECT_EQ(Call(UnZip, "", folder / "good.zip", folder / "good", ""), 0);
    ExpectTree(folder / "good", kTree);
    EXPECT_FALSE(fs::exists(Path("TARGET")));
    MakeLzh(folder / "q\"uote.lzh", {{"a.txt", kTree[0].Data}});
    EXPECT_EQ(Call(Unlha, "e -x -u0 -jyc ", folder / "q\"uote.lzh", folder / "q\"uote", "*.*"), 0);
    EXPECT_EQ(ReadBytes(folder / "q\"uote/a.txt"), kTree[0].Data);
}

// The command line of the Windows libraries, for the record: only ever built, never split.
TEST(ArchiveCommandLineText, SwitchesQuotedPathsAndPatterns) {
    EXPECT_EQ(ArchiveCommandLine({"e -x -u0 -jyc ", "/dl/x.lzh", "/dl/x/", {"*.*"}}),
              "e -x -u0 -jyc \"/dl/x.lzh\" \"/dl/x/\" *.*");
    EXPECT_EQ(ArchiveCommandLine({"", "/a b/x.zip", "/a b/x/", {}}), "\"/a b/x.zip\" \"/a b/x/\"");
}

TEST(ArchiveWriteLimits, HundredTimesTheArchiveWithinTheFreeSpace) {
    constexpr uint64_t MiB = uint64_t(1) << 20;
    const struct {
        uint64_t archive, free, limit;
    } cases[] = {
        {1 * MiB, 10000 * MiB, 100 * MiB},     // 100 times the archive
        {1000, 10000 * MiB, 16 * MiB},         // a small archive may still unpack 16 MiB
        {1 * MiB, 100 * MiB, 36 * MiB},        // the free space less 64 MiB
        {1 * MiB, 60 * MiB, 0},                // a nearly full disk takes nothing
        {UINT64_MAX / 50, UINT64_MAX, UINT64_MAX - 64 * MiB},
    };
    for (const auto& c : cases) EXPECT_EQ(ArchiveWriteLimit(c.archive, c.free), c.limit) << c.archive << " " << c.free;
}

// An archive that unpacks to far more than the limit fails before it fills the disk, and the
// entry it cut is not left behind as if it were whole.
TEST_F(ArchiveLibraries, AZipBombStopsAtTheLimit) {
    const fs::path bomb = Path("bomb.zip");
    ASSERT_EQ(RunCommand("python3 -c \"import zipfile\n"
                         "with zipfile.ZipFile('" + bomb.string() + "', 'w', zipfile.ZIP_DEFLATED) as z:\n"
                         "    z.writestr('small.txt', 'ok')\n"
                         "    z.writestr('zeros.bin', bytes(40 << 20))\n"
                         "print('ok')\" 2>&1"),
              "ok\n");
    ASSERT_LT(fs::file_size(bomb), 100u * 1024);
    EXPECT_EQ(Call(UnZip, "", bomb, Path("out"), ""), kArchiveErrorTooLarge);
    EXPECT_EQ(ReadBytes(Path("out/small.txt")), "ok");
    EXPECT_FALSE(fs::exists(Path("out/zeros.bin")));
}

// Old Japanese archives name their entries in code page 932, without saying so: the names
// on disk are UTF-8.
TEST_F(ArchiveLibraries, ShiftJisNamesBecomeUtf8) {
    const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea.txt";   // 日本語.txt
    MakeLzh(Path("old.lzh"), {{sjis, "nihongo"}});
    EXPECT_EQ(Call(Unlha, "e -x -u0 -jyc ", Path("old.lzh"), Path("l"), "*.*"), 0);
    EXPECT_EQ(ReadBytes(Path("l/日本語.txt")), "nihongo");
    ASSERT_EQ(RunCommand("python3 -c \"import zipfile\n"
                         "class Info(zipfile.ZipInfo):\n"
                         "    def _encodeFilenameFlags(self): return self.filename.encode('cp932'), self.flag_bits\n"
                         "with zipfile.ZipFile('" + Path("old.zip").string() + "', 'w') as z:\n"
                         "    z.writestr(Info('フォルダ/日本語.txt'), 'zip')\n"
                         "print('ok')\" 2>&1"),
              "ok\n");
    EXPECT_EQ(Call(UnZip, "", Path("old.zip"), Path("z"), ""), 0);
    EXPECT_EQ(ReadBytes(Path("z/フォルダ/日本語.txt")), "zip");
    // Names that are UTF-8 already stay as they are.
    EXPECT_EQ(ArchiveEntryName("日本語.txt"), "日本語.txt");
    EXPECT_EQ(ArchiveEntryName(sjis), "日本語.txt");
}

}  // namespace
