// Digest password lines against Apache's htdigest, and the file rewrites.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/DigestPassFile.h"
#include "support/RunAs.h"
#include "support/TempDir.h"
#include "text/Cp932.h"

namespace {

// Reads from the terminal until `what` has appeared; false at end of output.
bool WaitFor(int fd, const std::string& what, std::string& seen) {
    char buf[256];
    while (seen.find(what) == std::string::npos) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        seen.append(buf, size_t(n));
    }
    seen.clear();
    return true;
}

// htdigest reads the password from a terminal only, so it gets one. Creates the file, or
// with create off changes or adds the user's line in it.
void RunHtdigest(const std::string& file, const std::string& realm, const std::string& user,
                 const std::string& password, bool create) {
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        if (create) execlp("htdigest", "htdigest", "-c", file.c_str(), realm.c_str(), user.c_str(), nullptr);
        else execlp("htdigest", "htdigest", file.c_str(), realm.c_str(), user.c_str(), nullptr);
        _exit(127);
    }
    std::string seen;
    for (int i = 0; i < 2; ++i) {
        if (!WaitFor(master, "password:", seen)) break;
        const std::string typed = password + "\r";
        if (write(master, typed.data(), typed.size()) < 0) break;
    }
    char buf[256];
    while (read(master, buf, sizeof buf) > 0) {}
    close(master);
    int status = 0;
    waitpid(pid, &status, 0);
}

std::string HtdigestLine(const std::string& file, const std::string& realm, const std::string& user,
                         const std::string& password) {
    RunHtdigest(file, realm, user, password, true);
    const std::string bytes = ReadBytes(file);
    return bytes.substr(0, bytes.find('\n'));
}

bool HaveHtdigest() { return system("command -v htdigest >/dev/null 2>&1") == 0; }

std::vector<std::string> SortedLines(const std::string& bytes) {
    std::vector<std::string> lines = SplitDigestLines(bytes);
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace

TEST(DigestPassFile, LineIsWhatHtdigestWrites) {
    if (!HaveHtdigest()) GTEST_SKIP() << "htdigest (apache2-utils) not installed";
    TempDir dir;
    struct Case {
        std::string user, realm, password;
    };
    const std::vector<Case> cases = {
        {"alice", "Private Area", "s3cret"},
        {"Bob", "realm", "pass:with:colons"},
        {"user name", " spaced realm ", " leading and trailing "},
        {"田中", "社内", "パスワード"},   // Shift_JIS bytes on both sides
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string user = cp932::FromUtf8(c.user), realm = cp932::FromUtf8(c.realm),
                          password = cp932::FromUtf8(c.password);
        EXPECT_EQ(DigestEntryLine(c.user, c.realm, c.password),
                  HtdigestLine(dir.file("h" + std::to_string(++n)), realm, user, password))
            << c.user;
    }
}

TEST(DigestPassFile, LineHoldsNoPassword) {
    const std::string line = DigestEntryLine("u", "r", "hunter2");
    EXPECT_EQ(line.rfind("u:r:", 0), 0u);
    EXPECT_EQ(line.size(), 4u + 32u);
    EXPECT_EQ(line.find("hunter2"), std::string::npos);
}

TEST(DigestPassFile, FieldsThatWouldBreakTheLineAreRefused) {
    EXPECT_EQ(DigestEntryProblem("u", "r", "p:w"), "");
    EXPECT_EQ(DigestEntryProblem("日本", "r", "p"), "");
    for (const auto& [user, realm] : std::vector<std::pair<std::string, std::string>>{
             {"a:b", "r"}, {"u", "r:x"}, {"u\nv", "r"}, {"u", "r\r"}})
        EXPECT_NE(DigestEntryProblem(user, realm, "p"), "") << user << realm;
    EXPECT_NE(DigestEntryProblem("u", "r", "p\nq"), "");
    EXPECT_NE(DigestEntryProblem("u", "r", "😀"), "");     // no Shift_JIS for it
    EXPECT_NE(DigestEntryProblem("Ĉ", "r", "p"), "");
}

TEST(DigestPassFile, SortIgnoresAsciiCaseButNotDoubleByteTrails) {
    std::vector<std::string> lines = {"b:r:1", "A:r:2", "a:r:3", "C:r:4"};
    SortDigestLines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"A:r:2", "a:r:3", "b:r:1", "C:r:4"}));
    // ア is 83 41 and ヂ is 83 61: the trail bytes are not letters.
    EXPECT_NE(CompareDigestLines(cp932::FromUtf8("ア"), cp932::FromUtf8("ヂ")), 0);
    EXPECT_EQ(SplitDigestLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(DigestPassFile, AddSortsAndRefusesOnlyAnEqualLine) {
    TempDir dir;
    const std::string path = dir.write("p.txt", "zed:r:0\r\nAmy:r:1\r\n");
    const std::string line = DigestEntryLine("bob", "r", "x");
    EXPECT_EQ(AddDigestEntry(path, line, true).Result, TDigestWrite::Written);
    EXPECT_EQ(ReadBytes(path), "Amy:r:1\r\n" + line + "\r\nzed:r:0\r\n");
    EXPECT_EQ(AddDigestEntry(path, line, true).Result, TDigestWrite::AlreadyPresent);
    // Without the refusal the same line replaces itself: still one line for the user.
    EXPECT_EQ(AddDigestEntry(path, line, false).Result, TDigestWrite::Written);
    EXPECT_EQ(ReadBytes(path), "Amy:r:1\r\n" + line + "\r\nzed:r:0\r\n");
    EXPECT_EQ(AddDigestEntry(dir.file("none.txt"), line, true).Result, TDigestWrite::Missing);
}

// A new password for a user and realm takes the place of the old one, whatever the refusal
// says: the web server takes the first line of a user and realm, so an old line left beside
// the new one would keep the old password working and refuse the new one.
TEST(DigestPassFile, ANewPasswordReplacesEveryLineOfItsUserAndRealm) {
    std::vector<std::string> lines = {"bob:r:old1", "Bob:r:other-user", "bob:s:other-realm", "bob:r:old2",
                                      "no colon", "bob:r"};
    const std::string line = DigestEntryLine("bob", "r", "new");
    EXPECT_EQ(MergeDigestEntry(lines, line, true), TDigestMerge::Replaced);
    EXPECT_EQ(lines, (std::vector<std::string>{"bob:r", line, "Bob:r:other-user", "bob:s:other-realm", "no colon"}));
    EXPECT_EQ(MergeDigestEntry(lines, DigestEntryLine("amy", "r", "p"), false), TDigestMerge::Added);
    EXPECT_EQ(DigestLineUserRealm("u:r:h:extra"), "u:r");
    EXPECT_EQ(DigestLineUserRealm("u:r"), "");

    // The same as htdigest makes of the same file.
    if (!HaveHtdigest()) GTEST_SKIP() << "htdigest (apache2-utils) not installed";
    TempDir dir;
    const std::string ours = dir.file("ours.txt"), theirs = dir.file("theirs.txt");
    for (const char* user : {"amy", "bob", "zed"}) RunHtdigest(theirs, "r", user, "old", user == std::string("amy"));
    dir.write("ours.txt", ReadBytes(theirs));
    RunHtdigest(theirs, "r", "bob", "new", false);
    ASSERT_EQ(AddDigestEntry(ours, DigestEntryLine("bob", "r", "new"), true).Result, TDigestWrite::Written);
    EXPECT_EQ(SortedLines(ReadBytes(ours)), SortedLines(ReadBytes(theirs)));
    EXPECT_EQ(SplitDigestLines(ReadBytes(ours)).size(), 3u);
}

// Writers at the same time each add their line: the file is locked from reading to replacing.
TEST(DigestPassFile, WritersAtTheSameTimeLoseNoLine) {
    TempDir dir;
    const std::string path = dir.write("p.txt", "first:r:0\r\n");
    constexpr int kWriters = 40;
    std::vector<pid_t> children;
    for (int i = 0; i < kWriters; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            const TDigestWriteResult r = AddDigestEntry(path, DigestEntryLine("u" + std::to_string(i), "r", "p"), true);
            _exit(r.Result == TDigestWrite::Written ? 0 : 1);
        }
        children.push_back(pid);
    }
    int failed = 0;
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(SplitDigestLines(ReadBytes(path)).size(), size_t(kWriters + 1));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);   // no temporaries left
}

// A file the user may not write is refused with the system's reason, as any other write would
// be; that its folder would take a new file changes nothing.
TEST(DigestPassFile, AReadOnlyFileIsRefusedAndKeepsItsBytesAndMode) {
    TempDir dir;
    const std::string original = "keep:r:me\r\n";
    const std::string path = dir.write("p.txt", original);
    chmod(path.c_str(), 0444);
    const int status = AsOrdinaryUser(dir.path(), [&] {
        const TDigestWriteResult add = AddDigestEntry(path, DigestEntryLine("u", "r", "p"), false);
        const TDigestWriteResult create = CreateDigestFile(path, DigestEntryLine("u", "r", "p"));
        const std::string denied = std::strerror(EACCES);
        return (add.Result == TDigestWrite::Failed && add.Reason == denied ? 0 : 1) |
               (create.Result == TDigestWrite::Failed && create.Reason == denied ? 0 : 2);
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(path), original);
    struct stat st{};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST(DigestPassFile, ALinkIsWrittenThroughAndADanglingOneCreatesItsTarget) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.path() / "real");
    const std::string target = dir.write("real/p.txt", "a:r:1\r\n");
    fs::create_symlink("real/p.txt", dir.path() / "live.txt");
    const std::string line = DigestEntryLine("b", "r", "x");
    EXPECT_EQ(AddDigestEntry(dir.file("live.txt"), line, true).Result, TDigestWrite::Written);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "live.txt"));
    EXPECT_EQ(ReadBytes(target), "a:r:1\r\n" + line + "\r\n");

    fs::create_symlink("real/new.txt", dir.path() / "dangling.txt");
    EXPECT_EQ(AddDigestEntry(dir.file("dangling.txt"), line, true).Result, TDigestWrite::Missing);
    EXPECT_EQ(CreateDigestFile(dir.file("dangling.txt"), line).Result, TDigestWrite::Written);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.txt"));
    EXPECT_EQ(ReadBytes(dir.path() / "real/new.txt"), line + "\r\n");
}

TEST(DigestPassFile, FailedWriteLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.write("p.txt", "keep:r:me\r\n");
    chmod(path.c_str(), 0640);
    {
        FileSizeLimit limit(8);
        const TDigestWriteResult r = AddDigestEntry(path, DigestEntryLine("u", "r", "p"), false);
        EXPECT_EQ(r.Result, TDigestWrite::Failed);
        EXPECT_FALSE(r.Reason.empty());
    }
    EXPECT_EQ(ReadBytes(path), "keep:r:me\r\n");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);   // no temporary left behind

    EXPECT_EQ(CreateDigestFile(path, "u:r:x").Result, TDigestWrite::Written);
    EXPECT_EQ(ReadBytes(path), "u:r:x\r\n");
    struct stat st{};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
