// The duplicate search's walk over a small tree made by the test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/DuplicateSearch.h"
#include "engine/MountTable.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Walk {
    std::vector<std::string> Found, Folders;
};

Walk Search(const std::string& reference, const std::vector<std::string>& roots,
            std::function<bool(const Walk&)> stop = nullptr) {
    Walk w;
    TDuplicateSearch s(ReadDuplicateReference(reference));
    s.OnFound = [&](const std::string& p) { w.Found.push_back(p); };
    s.OnFolder = [&](const std::string& f) { w.Folders.push_back(f); };
    if (stop) s.Stopped = [&] { return stop(w); };
    for (const std::string& r : roots) s.SearchRoot(r);
    EXPECT_EQ(s.Found(), int64_t(w.Found.size()));
    return w;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Two texts of one length and one CRC32 but different bytes (a known CRC32 collision).
const std::string kCollideA = "plumless";
const std::string kCollideB = "buckeroo";

class DuplicateSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"a/b", "c", "locked", "x"}) fs::create_directories(dir_.file(f));
        root_ = dir_.path().string();
        ref_ = dir_.write("ref.bin", PatternBytes(5000));
        dir_.write("a/same.bin", PatternBytes(5000));
        dir_.write("a/b/other.bin", PatternBytes(5000, 2));   // same size, other content
        dir_.write("a/b/longer.bin", PatternBytes(5001));
        dir_.write("c/same2.bin", PatternBytes(5000));
        fs::create_hard_link(dir_.file("a/same.bin"), dir_.file("c/hard.bin"));
        fs::create_symlink(dir_.path(), dir_.file("a/b/loop"));                // back to the top
        fs::create_symlink(dir_.file("ref.bin"), dir_.file("c/link.bin"));      // a link to a match
        dir_.write("locked/inside.bin", PatternBytes(5000));
        chmod(dir_.file("locked").c_str(), 0);
    }
    void TearDown() override { chmod(dir_.file("locked").c_str(), 0755); }

    TempDir dir_;
    std::string root_, ref_;
};

TEST_F(DuplicateSearchTest, FindsSameSizeAndCrcOnceEachWithoutFollowingLinks) {
    const Walk w = Search(ref_, {root_});
    std::vector<std::string> expected = {ref_, dir_.file("a/same.bin"), dir_.file("c/same2.bin")};
    // The hard link is the same file as a/same.bin (or found first, whichever the walk meets first).
    const bool hardFirst = std::find(w.Found.begin(), w.Found.end(), dir_.file("c/hard.bin")) != w.Found.end();
    if (hardFirst) expected[1] = dir_.file("c/hard.bin");
    // A locked folder is passed over; only root can read it anyway.
    if (access(dir_.file("locked").c_str(), R_OK | X_OK) == 0) expected.push_back(dir_.file("locked/inside.bin"));
    EXPECT_EQ(Sorted(w.Found), Sorted(expected));
    // Depth first: a folder's subfolders come before its next sibling.
    const auto at = [&](const std::string& f) {
        return std::find(w.Folders.begin(), w.Folders.end(), dir_.file(f)) - w.Folders.begin();
    };
    EXPECT_EQ(at("a/b"), at("a") + 1);
    EXPECT_EQ(std::count(w.Folders.begin(), w.Folders.end(), dir_.file("a/b/loop")), 0);
    EXPECT_EQ(w.Folders.front(), root_);
}

TEST_F(DuplicateSearchTest, EqualSizeAndCrcButOtherBytesAreBothReported) {
    const std::string a = dir_.write("x/a.txt", kCollideA);
    const std::string b = dir_.write("x/b.txt", kCollideB);
    ASSERT_EQ(ReadDuplicateReference(a).Crc32, ReadDuplicateReference(b).Crc32);
    EXPECT_EQ(Sorted(Search(a, {dir_.file("x")}).Found), Sorted({a, b}));
}

TEST_F(DuplicateSearchTest, AFileReachedThroughTwoRootsIsReportedOnce) {
    const Walk w = Search(ref_, {dir_.file("c"), root_, dir_.file("a")});
    EXPECT_EQ(std::count(w.Found.begin(), w.Found.end(), dir_.file("c/same2.bin")), 1);
    EXPECT_EQ(std::count(w.Folders.begin(), w.Folders.end(), dir_.file("a")), 1);
}

TEST_F(DuplicateSearchTest, EmptyOrMissingReferenceSearchesNothing) {
    const std::string empty = dir_.write("empty.bin", "");
    EXPECT_TRUE(ReadDuplicateReference(empty).Crc32.empty());
    EXPECT_TRUE(ReadDuplicateReference(dir_.file("nothing")).Crc32.empty());
    EXPECT_TRUE(Search(empty, {root_}).Folders.empty());
}

TEST_F(DuplicateSearchTest, StopEndsEveryLevelAfterItsEntry) {
    // Stop once the first folder below the top is entered: it is empty or its first entry is a
    // file, so nothing else is listed, and the second root is not walked.
    fs::remove_all(dir_.file("a/b"));
    const Walk w = Search(ref_, {root_, dir_.file("a")}, [](const Walk& w) { return w.Folders.size() >= 2; });
    EXPECT_EQ(w.Folders.size(), 2u);
}

TEST(DuplicateSearchLarge, SparseReferenceOver2GiBFindsItselfAndItsCopy) {
    TempDir dir;
    const int64_t size = (int64_t(1) << 31) + 3;
    for (const char* name : {"big1", "big2"}) {
        const int fd = open(dir.file(name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }
    EXPECT_EQ(ReadDuplicateReference(dir.file("big1")).Size, size);
    EXPECT_EQ(Sorted(Search(dir.file("big1"), {dir.path().string()}).Found),
              Sorted({dir.file("big1"), dir.file("big2")}));
}

TEST(MountTable, KeepsLocalFileSystemsOnceSorted) {
    const std::string info =
        "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
        "25 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "26 25 8:3 / /home rw,relatime shared:2 - xfs /dev/sda3 rw\n"
        "27 25 0:5 / /dev rw - devtmpfs udev rw\n"
        "28 25 0:30 / /tmp rw - tmpfs tmpfs rw\n"
        "29 25 0:31 / /mnt/nas rw - nfs4 srv:/x rw\n"
        "30 25 8:17 / /media/USB\\040Stick rw - vfat /dev/sdb1 rw\n"
        "31 25 8:2 /srv /mnt/bound rw - ext4 /dev/sda2 rw\n"
        "32 25 0:40 / /mnt/remote rw - fuse.sshfs me@host: rw\n"
        "33 26 8:3 / /home rw,relatime - xfs /dev/sda3 rw\n";
    EXPECT_EQ(LocalMountPoints(info),
              (std::vector<std::string>{"/", "/home", "/media/USB Stick", "/mnt/bound"}));
}

}  // namespace
