// tavrenne-cli same and digest-pass from the outside.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "support/CliRun.h"
#include "support/DeepTree.h"
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

// A changed password replaces the user's line, so the new one is the one that counts.
TEST(CliDigestPass, AddingAUserAgainChangesItsPassword) {
    TempDir d;
    const std::string file = d.file("pass.txt");
    ASSERT_EQ(Cli("digest-pass " + file + " realm bob", "old\n").status, 0);
    ASSERT_EQ(Cli("digest-pass --add --no-duplicates " + file + " realm amy", "x\n").status, 0);
    ASSERT_EQ(Cli("digest-pass --add --no-duplicates " + file + " realm bob", "new\n").status, 0);
    EXPECT_EQ(ReadBytes(file), "amy:realm:" + Ha1("amy:realm:x") + "\r\nbob:realm:" + Ha1("bob:realm:new") + "\r\n");
}

// Forty runs at once on one file: each adds its line.
TEST(CliDigestPass, RunsAtTheSameTimeLoseNoLine) {
    TempDir d;
    const std::string file = d.file("pass.txt");
    ASSERT_EQ(Cli("digest-pass " + file + " realm first", "p\n").status, 0);
    const std::string statuses = RunCommand(
        "for i in $(seq 40); do (printf 'p\\n' | " + kCli + " digest-pass --add " + Quote(file) +
        " realm u$i; echo $?) & done; wait");
    EXPECT_EQ(Lines(statuses), std::vector<std::string>(40, "0"));
    EXPECT_EQ(Lines(ReadBytes(file)).size(), 41u);
}

// A file of the reference's size and content deeper than the system's path calls reach.
TEST(CliSame, FindsAFileWhosePathIsLongerThanTheSystemTakes) {
    TempDir d;
    const std::string ref = d.write("ref", PatternBytes(4096));
    std::filesystem::create_directory(d.path() / "deep");
    const std::string far = MakeDeepFile(d.file("deep"), std::string(250, 's'), PATH_MAX + 300, "copy",
                                         PatternBytes(4096));
    ASSERT_FALSE(far.empty());
    const CliResult r = Cli("same " + ref + " " + d.path().string());
    RemoveDeepTree(d.file("deep"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), Lines(ref + "\n" + far + "\n"));
    EXPECT_EQ(r.err, "2個の同一内容のファイルが見つかりました！\n");
}

// A file of the reference's size that cannot be read may be a copy: it is named, and the run
// says so in its status.
TEST(CliSame, NamesAFileOfTheSizeItCannotRead) {
    TempDir d;
    const std::string ref = d.write("ref", PatternBytes(4096));
    const std::string locked = d.write("locked", PatternBytes(4096));
    chmod(locked.c_str(), 0);
    std::string prefix;
    if (geteuid() == 0) {
        // Root reads any file: the tool runs as nobody, which needs the folder open to others.
        chmod(d.path().c_str(), 0777);
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        if (RunCommand(prefix + kCli + " string x >/dev/null 2>&1; echo $?") != "0\n")
            GTEST_SKIP() << "running as root and cannot run tavrenne-cli as another user with setpriv";
    }
    const std::string out = RunCommand(prefix + kCli + " same " + Quote(ref) + " " + Quote(d.path().string()) +
                                       " 2>&1 >/dev/null; echo \"#$?\"");
    EXPECT_EQ(out, "tavrenne-cli: " + locked + ": " + std::strerror(EACCES) + "\n" +
                       "1個の同一内容のファイルが見つかりました！\n#1\n");
}
