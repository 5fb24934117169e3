// tavrenne-cli same and digest-pass from the outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/CliRun.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    std::sort(out.begin(), out.end());
    return out;
}

std::string Ha1(const std::string& text) {
    return RunCommand("printf '%s' '" + text + "' | md5sum").substr(0, 32);
}

}  // namespace

TEST(CliSame, PrintsEachMatchOnceAndCountsOnStderr) {
    TempDir d;
    std::filesystem::create_directories(d.path() / "a");
    const std::string ref = d.write("ref", PatternBytes(4096));
    const std::string copy = d.write("a/copy", PatternBytes(4096));
    d.write("a/other", PatternBytes(4096, 3));
    std::filesystem::create_symlink(d.path(), d.path() / "a/loop");
    const CliResult r = Cli("same " + ref + " " + d.path().string() + " " + (d.path() / "a").string());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Lines(r.out), Lines(ref + "\n" + copy + "\n"));
    EXPECT_EQ(r.err, "2個の同一内容のファイルが見つかりました！\n");

    const CliResult empty = Cli("same " + d.write("empty", "") + " " + d.path().string());
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(Cli("same").status, 2);
}

TEST(CliDigestPass, CreatesAddsAndRefuses) {
    TempDir d;
    const std::string file = d.file("pass.txt");
    ASSERT_EQ(Cli("digest-pass " + file + " realm zed", "p:w\n").status, 0);
    const std::string zed = "zed:realm:" + Ha1("zed:realm:p:w");
    EXPECT_EQ(ReadBytes(file), zed + "\r\n");
    ASSERT_EQ(Cli("digest-pass --add --no-duplicates " + file + " realm amy", "x\n").status, 0);
    ASSERT_EQ(Cli("digest-pass --add --no-duplicates " + file + " realm amy", "x\n").status, 0);
    const std::string amy = "amy:realm:" + Ha1("amy:realm:x");
    EXPECT_EQ(ReadBytes(file), amy + "\r\n" + zed + "\r\n");

    const CliResult colon = Cli("digest-pass --add " + file + " realm a:b", "x\n");
    EXPECT_EQ(colon.status, 1);
    EXPECT_NE(colon.err.find("「:」"), std::string::npos);
    EXPECT_EQ(Cli("digest-pass --add " + d.file("none.txt") + " realm u", "x\n").status, 1);
    EXPECT_EQ(Cli("digest-pass " + file + " realm u", "").status, 1);   // no password given
    EXPECT_EQ(ReadBytes(file), amy + "\r\n" + zed + "\r\n");
    EXPECT_EQ(Cli("digest-pass " + file + " realm").status, 2);
}
