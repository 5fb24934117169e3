// MD5 sidecar files: writing, reading other tools' files, and which file an analysis takes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/Sidecar.h"
#include "text/Cp932.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kEmptyMd5 = "d41d8cd98f00b204e9800998ecf8427e";

}  // namespace

TEST(Sidecar, WritesOneLineOnceAndNeverReplaces) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "");
    EXPECT_EQ(SidecarPath(file), file + ".MD5");

    const TSidecarWriteResult first = WriteSidecar(file, "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(first.Outcome, TSidecarWrite::Written);
    EXPECT_EQ(ReadBytes(file + ".MD5"), kEmptyMd5 + " a.txt\r\n");

    const TSidecarWriteResult second = WriteSidecar(file, "00000000000000000000000000000000");
    EXPECT_EQ(second.Outcome, TSidecarWrite::Exists);
    EXPECT_EQ(ReadBytes(file + ".MD5"), kEmptyMd5 + " a.txt\r\n");

    // A name outside ASCII is stored in code page 932 and read back.
    const std::string jp = dir.write("資料 一覧.txt", "");
    EXPECT_EQ(WriteSidecar(jp, kEmptyMd5).Outcome, TSidecarWrite::Written);
    EXPECT_EQ(ReadBytes(jp + ".MD5"), kEmptyMd5 + " " + cp932::FromUtf8("資料 一覧.txt") + "\r\n");
    EXPECT_EQ(ReadSidecar(jp), kEmptyMd5);
}

TEST(Sidecar, AWriteThatCannotHappenSaysWhy) {
    TempDir dir;
    const TSidecarWriteResult noFolder = WriteSidecar(dir.file("gone/a.txt"), kEmptyMd5);
    EXPECT_EQ(noFolder.Outcome, TSidecarWrite::Failed);
    EXPECT_EQ(noFolder.Reason, std::strerror(ENOENT));

    // A folder with the sidecar's name is no sidecar, but it is not replaced either.
    fs::create_directory(dir.path() / "b.txt.MD5");
    const TSidecarWriteResult taken = WriteSidecar(dir.file("b.txt"), kEmptyMd5);
    EXPECT_EQ(taken.Outcome, TSidecarWrite::Failed);
    EXPECT_FALSE(taken.Reason.empty());
    EXPECT_TRUE(fs::is_directory(dir.path() / "b.txt.MD5"));
    EXPECT_EQ(ReadSidecar(dir.file("b.txt")), std::nullopt);
}

TEST(Sidecar, ReadsTheFirstLineUpToItsFirstBlank) {
    TempDir dir;
    const std::string huge(1 << 20, 'f');
    const struct {
        std::string content;
        std::optional<std::string> value;
    } cases[] = {
        {kEmptyMd5 + " a.txt\r\n", kEmptyMd5},
        {kEmptyMd5 + "  a.txt\n", kEmptyMd5},                  // two blanks
        {kEmptyMd5 + " *a.txt\n", kEmptyMd5},                  // binary-mode mark
        {"D41D8CD98F00B204E9800998ECF8427E a.txt", "D41D8CD98F00B204E9800998ECF8427E"},
        {"abc x\r\nsecond line ignored\r\n", "abc"},
        {" leading blank\r\n", ""},                           // a value, empty
        {"no-blank-here\r\nnext line\r\n", std::nullopt},
        {"no-blank\rnext line\r\n", std::nullopt},            // a lone CR ends the line too
        {"", std::nullopt},
        {cp932::FromUtf8("ハッシュ値 名前") + "\r\n", "ハッシュ値"},
        {huge + " a.txt\r\n", std::nullopt},                  // the blank is far past the first line's limit
        {"abc " + huge, "abc"},
        {std::string("\x00\x01\xff", 3) + " x", std::string("\x00\x01", 2) + "?"},
        // As other tools write them: a byte-order mark, a tab, the digest alone.
        {"\xEF\xBB\xBF" + kEmptyMd5 + " a.txt\r\n", kEmptyMd5},
        {"\xEF\xBB\xBF" + kEmptyMd5 + "\r\n", kEmptyMd5},
        {kEmptyMd5 + "\ta.txt\n", kEmptyMd5},
        {kEmptyMd5 + "\t", kEmptyMd5},
        {kEmptyMd5, kEmptyMd5},
        {"D41D8CD98F00B204E9800998ECF8427E\r\nsecond\r\n", "D41D8CD98F00B204E9800998ECF8427E"},
        {"\tleading tab\n", ""},
        // Alone, only a whole digest is one: a shorter or longer run, or other letters, is not.
        {kEmptyMd5.substr(1), std::nullopt},
        {kEmptyMd5 + "0", std::nullopt},
        {"g" + kEmptyMd5.substr(1), std::nullopt},
        {"\xEF\xBB" + kEmptyMd5, std::nullopt},
        // md5sum's line for a name with a backslash: the digest follows the "\".
        {"\\" + kEmptyMd5 + "  a\\\\b.txt\n", kEmptyMd5},
        {"\\x y", "\\x"},                                 // no digest after it: read as it stands
    };
    for (const auto& c : cases) {
        const std::string file = dir.file("f.bin");
        dir.write("f.bin.MD5", c.content);
        EXPECT_EQ(ReadSidecar(file), c.value) << c.content.substr(0, 60);
    }
    EXPECT_EQ(ReadSidecar(dir.file("none.bin")), std::nullopt);
}

TEST(Sidecar, ReadsWhatMd5sumWrites) {
    TempDir dir;
    const std::string file = dir.write("data.bin", PatternBytes(5000));
    const std::string folder = dir.path().string();
    const std::string text = RunCommand("cd '" + folder + "' && md5sum data.bin | tee data.bin.MD5");
    ASSERT_EQ(text.size(), 32u + 2 + 8 + 1) << text;
    EXPECT_EQ(ReadSidecar(file), text.substr(0, 32));

    RunCommand("cd '" + folder + "' && md5sum -b data.bin > data.bin.MD5");
    EXPECT_EQ(ReadBytes(file + ".MD5").substr(32, 3), " *d");
    EXPECT_EQ(ReadSidecar(file), text.substr(0, 32));

    // A name with a backslash: md5sum escapes it and marks the line with a leading "\\".
    const std::string odd = dir.write("back\\slash.bin", "odd");
    const std::string escaped = RunCommand("cd '" + folder + "' && md5sum 'back\\slash.bin' | tee 'back\\slash.bin.MD5'");
    ASSERT_EQ(escaped.substr(0, 1), "\\") << escaped;
    EXPECT_EQ(ReadSidecar(odd), escaped.substr(1, 32));
    EXPECT_EQ(RunCommand("cd '" + folder + "' && md5sum -c 'back\\slash.bin.MD5'"), "back\\slash.bin: OK\n");

    // And md5sum accepts the file this program writes.
    fs::remove(file + ".MD5");
    ASSERT_EQ(WriteSidecar(file, text.substr(0, 32)).Outcome, TSidecarWrite::Written);
    EXPECT_EQ(RunCommand("cd '" + folder + "' && tr -d '\\r' < data.bin.MD5 | md5sum -c -"), "data.bin: OK\n");
}

TEST(Sidecar, RedirectsBetweenAFileAndItsSidecar) {
    std::set<std::string> files;
    const auto exists = [&](const std::string& p) { return files.count(p) > 0; };
    const struct {
        std::set<std::string> present;
        std::string path;
        bool useMD5File, notUseMD5File;
        TSidecarRedirect expected;
    } cases[] = {
        // A file with a sidecar becomes a comparison against it when sidecars are used.
        {{"/d/a.bin", "/d/a.bin.MD5"}, "/d/a.bin", true, false, {"/d/a.bin", true}},
        {{"/d/a.bin", "/d/a.bin.MD5"}, "/d/a.bin", false, false, {"/d/a.bin", false}},
        {{"/d/a.bin", "/d/a.bin.MD5"}, "/d/a.bin", true, true, {"/d/a.bin.MD5", false}},
        {{"/d/a.bin"}, "/d/a.bin", true, false, {"/d/a.bin", false}},
        // A sidecar opened directly.
        {{"/d/a.bin", "/d/a.bin.MD5"}, "/d/a.bin.MD5", false, false, {"/d/a.bin", true}},
        {{"/d/a.bin", "/d/a.bin.MD5"}, "/d/a.bin.MD5", true, true, {"/d/a.bin.MD5", false}},
        {{"/d/a.bin.MD5"}, "/d/a.bin.MD5", true, false, {"/d/a.bin.MD5", false}},
        // The search for ".MD5" is case-sensitive: a.md5 stays itself.
        {{"/d/a", "/d/a.md5"}, "/d/a.md5", true, false, {"/d/a.md5", true}},
        {{"/d/a", "/d/a.md5"}, "/d/a.md5", true, true, {"/d/a.md5", false}},
        // Only its first occurrence is removed, even inside a folder name.
        {{"/d/x.MD5s/a.bin.MD5", "/d/x.MD5s/a.bin"}, "/d/x.MD5s/a.bin.MD5", true, false,
         {"/d/x.MD5s/a.bin.MD5", false}},
        {{"/d/x.MD5s/a.bin.MD5", "/d/xs/a.bin.MD5"}, "/d/x.MD5s/a.bin.MD5", true, false,
         {"/d/xs/a.bin.MD5", true}},
    };
    for (const auto& c : cases) {
        files = c.present;
        const TSidecarRedirect r = RedirectForSidecar(c.path, c.useMD5File, c.notUseMD5File, exists);
        EXPECT_EQ(r.Path, c.expected.Path) << c.path << " " << c.useMD5File << c.notUseMD5File;
        EXPECT_EQ(r.ReadSidecar, c.expected.ReadSidecar) << c.path << " " << c.useMD5File << c.notUseMD5File;
    }
}
