// Digest password lines against Apache's htdigest, and the file rewrites.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/DigestPassFile.h"
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

// htdigest reads the password from a terminal only, so it gets one.
std::string HtdigestLine(const std::string& file, const std::string& realm, const std::string& user,
                         const std::string& password) {
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        execlp("htdigest", "htdigest", "-c", file.c_str(), realm.c_str(), user.c_str(), nullptr);
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
    const std::string bytes = ReadBytes(file);
    return bytes.substr(0, bytes.find('\n'));
}

}  // namespace

TEST(DigestPassFile, LineIsWhatHtdigestWrites) {
    if (system("command -v htdigest >/dev/null 2>&1") != 0) GTEST_SKIP() << "htdigest (apache2-utils) not installed";
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

TEST(DigestPassFile, AddSortsRefusesDuplicatesAndKeepsOtherPasswords) {
    TempDir dir;
    const std::string path = dir.write("p.txt", "zed:r:0\r\nAmy:r:1\r\n");
    const std::string line = DigestEntryLine("bob", "r", "x");
    EXPECT_EQ(AddDigestEntry(path, line, true).Result, TDigestWrite::Written);
    EXPECT_EQ(ReadBytes(path), "Amy:r:1\r\n" + line + "\r\nzed:r:0\r\n");
    EXPECT_EQ(AddDigestEntry(path, line, true).Result, TDigestWrite::AlreadyPresent);
    EXPECT_EQ(AddDigestEntry(path, line, false).Result, TDigestWrite::Written);
    EXPECT_EQ(ReadBytes(path), "Amy:r:1\r\n" + line + "\r\n" + line + "\r\nzed:r:0\r\n");
    const std::string other = DigestEntryLine("bob", "r", "y");
    EXPECT_EQ(AddDigestEntry(path, other, true).Result, TDigestWrite::Written);
    EXPECT_NE(ReadBytes(path).find(other), std::string::npos);
    EXPECT_EQ(AddDigestEntry(dir.file("none.txt"), line, true).Result, TDigestWrite::Missing);
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
