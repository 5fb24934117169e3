// The list verification without a window: which names are lists, where listed names are
// looked for, one read per file, verdicts in list order, and the lines of written lists.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>

#include "engine/ChecksumVerify.h"
#include "support/TempDir.h"

namespace {

TEST(ChecksumVerify, ListNamesAreTheUsualNamesAndLowerCaseEndings) {
    const std::pair<const char*, bool> names[] = {
        {"SHA256SUMS", true},    {"SHA512SUMS", true}, {"SHA1SUMS", true},     {"MD5SUMS", true},
        {"CHECKSUMS", true},     {"a.sha256", true},   {"a.sha512", true},     {"a.sha1", true},
        {"a.md5", true},         {"a.sfv", true},      {"a.MD5", false},       {"a.SHA256", false},
        {"sha256sums", false},   {"SHA256SUMS.txt", false}, {".md5", false},   {"a.txt", false},
        {"MD5SUMS.bak", false},
    };
    for (const auto& [name, list] : names) EXPECT_EQ(IsChecksumListName(name), list) << name;
}

TEST(ChecksumVerify, ListedNamesResolveAgainstTheFolderGiven) {
    EXPECT_EQ(ListedPath("/data/v", "a.txt"), "/data/v/a.txt");
    EXPECT_EQ(ListedPath("/data/v/", "sub/a.txt"), "/data/v/sub/a.txt");
    EXPECT_EQ(ListedPath("/data/v", "/etc/hosts"), "/etc/hosts");
    EXPECT_EQ(ListedPath("", "a.txt"), "a.txt");   // the command line: the current folder
    EXPECT_EQ(ListedPath("/", "a.txt"), "/a.txt");
}

// A fake digest that records each read and answers by name.
struct TVerifyFakeDigests {
    std::map<std::string, std::string> Content;   // path -> hex of every kind
    std::mutex Mutex;
    std::vector<std::string> Reads;
    TFileDigest operator()(const std::string& path, const std::vector<const TDigestKindInfo*>& kinds) {
        {
            std::lock_guard lock(Mutex);
            Reads.push_back(path);
        }
        TFileDigest d;
        if (path.ends_with("unreadable")) {
            d.State = TFileDigest::TState::Failed;
            d.Reason = "cannot be read: Permission denied";
            return d;
        }
        const auto it = Content.find(path);
        if (it == Content.end()) {
            d.State = TFileDigest::TState::Missing;
            d.Reason = "no such file";
            return d;
        }
        d.State = TFileDigest::TState::Done;
        for (const TDigestKindInfo* k : kinds) d.Texts.push_back(it->second.substr(0, k->TextLength));
        return d;
    }
};

TEST(ChecksumVerify, EveryVerdictInListOrderWithOneReadPerFile) {
    const std::string hex(128, 'a');
    const TChecksumList list = ParseChecksumList(
        "MD5 (x) = " + std::string(32, 'A') + "\n" +          // upper case in the list: a match
        std::string(64, 'a') + "  x\n" +                      // the same file for another kind
        std::string(40, 'b') + "  y\n" +                      // y holds a...: a mismatch
        std::string(40, 'a') + "  gone\n" +
        std::string(40, 'a') + "  unreadable\n" +
        "\x93\xfa.txt 0badcafe\n");                           // Shift_JIS name, on disk in UTF-8
    ASSERT_EQ(list.Entries.size(), 6u);
    TVerifyFakeDigests fake;
    fake.Content = {{"/v/x", hex}, {"/v/y", hex}, {"/v/日.txt", "0badcafe"}};
    std::vector<std::pair<size_t, TListCheckResult>> got;
    VerifyListEntries(list.Entries, "/v", std::ref(fake),
                      [&](size_t i, const TListCheckResult& r) { got.emplace_back(i, r); });
    ASSERT_EQ(got.size(), 6u);
    const TListVerdict want[] = {TListVerdict::Match,   TListVerdict::Match,      TListVerdict::Mismatch,
                                 TListVerdict::Missing, TListVerdict::Unreadable, TListVerdict::Match};
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].first, i);
        EXPECT_EQ(got[i].second.Verdict, want[i]) << i;
    }
    EXPECT_EQ(got[2].second.Computed, std::string(40, 'a'));
    EXPECT_EQ(got[3].second.Reason, "no such file");
    EXPECT_EQ(got[4].second.Reason, "cannot be read: Permission denied");
    EXPECT_TRUE(got[5].second.ReadAsCp932);
    EXPECT_FALSE(got[0].second.ReadAsCp932);
    // x once for both kinds; the Shift_JIS name first as written, then in UTF-8.
    std::sort(fake.Reads.begin(), fake.Reads.end());
    EXPECT_EQ(fake.Reads, (std::vector<std::string>{"/v/gone", "/v/unreadable", "/v/x", "/v/y", "/v/\x93\xfa.txt",
                                                   "/v/日.txt"}));
}

// The real digest over real files: a canceled read leaves its entry Skipped.
TEST(ChecksumVerify, ACanceledReadLeavesTheEntrySkipped) {
    TempDir dir;
    dir.write("a.txt", "abc");
    dir.write("big.bin", std::string(8 << 20, 'x'));
    const TChecksumList list =
        ParseChecksumList("900150983cd24fb0d6963f7d28e17f72  a.txt\n" + std::string(32, '0') + "  big.bin\n");
    std::vector<TListVerdict> verdicts;
    std::atomic<int> watched{0};
    VerifyListEntries(
        list.Entries, dir.path().string(),
        [&](const std::string& path, const std::vector<const TDigestKindInfo*>& kinds) {
            // Reads of 1 KB: the big file reports progress, and is stopped at once.
            return DigestFile(path, kinds, 1, [&](int64_t, int64_t total) {
                if (total == 100) return true;   // the end of every run
                ++watched;
                return false;
            });
        },
        [&](size_t, const TListCheckResult& r) { verdicts.push_back(r.Verdict); });
    EXPECT_EQ(verdicts, (std::vector<TListVerdict>{TListVerdict::Match, TListVerdict::Skipped}));
    EXPECT_GE(watched.load(), 1);
}

TEST(ChecksumVerify, WrittenListsHoldRelativeNamesAndLeaveOutWhatSfvCannotHold) {
    EXPECT_EQ(RelativeListName("/d/out", "/d/tree/a.txt"), "../tree/a.txt");
    EXPECT_EQ(RelativeListName("/d", "/d/tree/./a.txt"), "tree/a.txt");
    EXPECT_EQ(RelativeListName("/d", "/d/a.txt"), "a.txt");
    const TDigestKindInfo& crc = DigestKindInfo(TDigestKind::CRC32);
    size_t leftOut = 9;
    EXPECT_EQ(ListFileBytes(TListFormat::Sfv, crc, {"a.txt", ";x", "b\nc", "sp ace"}, {"352441c2", "1", "2", "0badcafe"},
                            &leftOut),
              "a.txt 352441C2\nsp ace 0BADCAFE\n");
    EXPECT_EQ(leftOut, 2u);
    const TDigestKindInfo& sha = DigestKindInfo(TDigestKind::SHA256);
    EXPECT_EQ(ListFileBytes(TListFormat::Gnu, sha, {"a\\b"}, {std::string(64, 'f')}, &leftOut),
              "\\" + std::string(64, 'f') + "  a\\\\b\n");
    EXPECT_EQ(leftOut, 0u);
}

TEST(ChecksumVerify, ListFilesAreTakenOnlyWhenTheNameAndTheContentSaySo) {
    TempDir dir;
    dir.write("SHA256SUMS", std::string(64, 'a') + "  a.txt\n");
    dir.write("notes.sha256", "hello\n");
    dir.write("sums.txt", std::string(64, 'a') + "  a.txt\n");
    dir.write("x.sfv", "a.txt 352441C2\n#1.bin 0BADCAFE\n");   // SFV: "#" opens no comment
    TListFile read;
    EXPECT_TRUE(LooksLikeChecksumList((dir.path() / "SHA256SUMS").string(), &read));
    ASSERT_EQ(read.List.Entries.size(), 1u);
    EXPECT_EQ(read.List.Entries[0].Kind->Kind, TDigestKind::SHA256);
    EXPECT_FALSE(LooksLikeChecksumList((dir.path() / "notes.sha256").string()));
    EXPECT_FALSE(LooksLikeChecksumList((dir.path() / "sums.txt").string()));
    EXPECT_FALSE(LooksLikeChecksumList((dir.path() / "missing.md5").string()));
    EXPECT_EQ(ReadChecksumListFile((dir.path() / "sums.txt").string()).List.Entries.size(), 1u);
    EXPECT_EQ(ReadChecksumListFile((dir.path() / "notes.sha256").string()).Problem,
              "no properly formatted checksum lines found");
    const TListFile sfv = ReadChecksumListFile((dir.path() / "x.sfv").string());
    ASSERT_EQ(sfv.List.Entries.size(), 2u);
    EXPECT_EQ(sfv.List.Entries[1].Name, "#1.bin");
}

}  // namespace
