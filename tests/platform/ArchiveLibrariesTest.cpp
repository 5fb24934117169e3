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
    // Runs `entry` with `before` "archive" "dest/" `after`, as the window builds it.
    int Call(TArchiveEntry entry, const std::string& before, const fs::path& archive, const fs::path& dest,
             const std::string& after) {
        fs::create_directories(dest);
        const std::string line = before + "\"" + archive.string() + "\" \"" + dest.string() + "/\"" + after;
        char output[513] = {};
        return entry(nullptr, line.c_str(), output, 512);
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
    EXPECT_EQ(Call(Unlha, "e -x -u0 -jyc ", Path("t.lzh"), Path("l"), " *.*"), 0);
    ExpectTree(Path("l"), kTree);

    ASSERT_TRUE(MakeCab(Path("t.cab"), Path("stage"), kTree));
    EXPECT_EQ(Call(Cab, "-x ", Path("t.cab"), Path("c"), " *.*"), 0);
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
    EXPECT_NE(Call(Cab, "-x ", Path("t.zip"), Path("d4"), " *.*"), 0);
    // No reader for GCA at all.
    std::ofstream(Path("t.gca"), std::ios::binary) << "GCA0";
    EXPECT_NE(Call(UnGCA, "e -sx1 ", Path("t.gca"), Path("d5"), ""), 0);
    EXPECT_EQ(UnGCAGetRunning(), 0);
    char output[16];
    EXPECT_EQ(UnZip(nullptr, "\"only-one\"", output, sizeof output), kArchiveErrorCommandLine);
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

TEST(ArchiveCommandLine, QuotedWordsKeepTheirBlanks) {
    EXPECT_EQ(SplitArchiveCommandLine("e -x \"/a b/x.lzh\" \"/a b/x/\" *.*"),
              (std::vector<std::string>{"e", "-x", "/a b/x.lzh", "/a b/x/", "*.*"}));
    EXPECT_EQ(SplitArchiveCommandLine("  \"\"  a"), (std::vector<std::string>{"", "a"}));
}

}  // namespace
