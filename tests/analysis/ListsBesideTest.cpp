// Which checksum lists beside a file speak of it, and what they expect: facts in, findings out.
#include <gtest/gtest.h>

#include <map>

#include "analysis/ListsBeside.h"

namespace {

const std::string kSha256Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(ListsBeside, CandidatesInTheirOrderWithoutTheSidecarOrTheFileItself) {
    const std::vector<std::string> folder = {"b.sfv",  "CHECKSUMS", "a.iso.MD5", "a.iso.md5",  "SHA256SUMS",
                                             "A.SFV",  "a.iso",     "a.iso.sha256", "notes.txt", "sha256sums",
                                             "a.iso.sha512", "MD5SUMS"};
    EXPECT_EQ(ListNamesBeside("a.iso", folder),
              (std::vector<std::string>{"a.iso.sha256", "a.iso.sha512", "a.iso.md5", "SHA256SUMS", "MD5SUMS",
                                        "CHECKSUMS", "A.SFV", "b.sfv"}));
    // A list analysed itself is not its own list.
    EXPECT_EQ(ListNamesBeside("SHA256SUMS", {"SHA256SUMS"}), std::vector<std::string>{});
}

struct ListCase {
    const char* what;
    std::string listName;
    TListBytes bytes;
    std::vector<std::pair<std::string, std::string>> expects;   // label, hex
    TListBeside::TWhat skipped = TListBeside::TWhat::Expects;     // Expects: none skipped
};

TEST(ListsBeside, EachFormatNamesTheFileOrNot) {
    using S = TListBytes::TStatus;
    const ListCase cases[] = {
        {"gnu", "SHA256SUMS", {S::Read, "0123  other\n" + kSha256Abc + " *a.iso\r\n", ""}, {{"SHA-256", kSha256Abc}}},
        {"gnu ./", "SHA256SUMS", {S::Read, kSha256Abc + "  ./a.iso\n", ""}, {{"SHA-256", kSha256Abc}}},
        {"bsd, two kinds", "CHECKSUMS",
         {S::Read, "MD5 (a.iso) = 900150983cd24fb0d6963f7d28e17f72\nSHA1 (a.iso) = a9993e364706816aba3e25717850c26c9cd0d89d\n", ""},
         {{"MD5", "900150983cd24fb0d6963f7d28e17f72"}, {"SHA-1", "a9993e364706816aba3e25717850c26c9cd0d89d"}}},
        {"sfv", "x.sfv", {S::Read, "; comment\na.iso 352441C2\n", ""}, {{"CRC32", "352441C2"}}},
        {"other files only", "SHA256SUMS", {S::Read, kSha256Abc + "  b.iso\n", ""}, {}},
        {"in a subfolder", "SHA256SUMS", {S::Read, kSha256Abc + "  sub/a.iso\n", ""}, {}},
        {"prose", "MD5SUMS", {S::Read, "Download the image and check it.\n", ""}, {}, TListBeside::TWhat::NotAList},
        {"binary", "MD5SUMS", {S::Read, std::string("\0\0\0", 3), ""}, {}, TListBeside::TWhat::NotAList},
        {"huge", "SHA512SUMS", {S::TooLarge, "", ""}, {}, TListBeside::TWhat::TooLarge},
        {"unreadable", "SHA1SUMS", {S::Unreadable, "", "Permission denied"}, {}, TListBeside::TWhat::Unreadable},
    };
    for (const ListCase& c : cases) {
        int reads = 0;
        const auto found = ListsBesideFile("a.iso", {"a.iso", c.listName}, [&](const std::string& name) {
            ++reads;
            EXPECT_EQ(name, c.listName);
            return c.bytes;
        });
        EXPECT_EQ(reads, 1) << c.what;
        std::vector<std::pair<std::string, std::string>> expects;
        for (const TListBeside& f : found) {
            EXPECT_EQ(f.ListName, c.listName) << c.what;
            if (f.What == TListBeside::TWhat::Expects) expects.emplace_back(f.Kind->Label, f.Expected);
            else EXPECT_EQ(f.What, c.skipped) << c.what;
        }
        EXPECT_EQ(expects, c.expects) << c.what;
        EXPECT_EQ(found.size(), c.expects.size() + (c.skipped != TListBeside::TWhat::Expects ? 1u : 0u)) << c.what;
    }
}

TEST(ListsBeside, KindsNeededAndTheLinesTheyGive) {
    const std::map<std::string, std::string> lists = {
        {"a.iso.sha256", kSha256Abc + "  a.iso\n"},
        {"files.sfv", "a.iso 00000000\n"},
        {"MD5SUMS", "no list here\n"},
    };
    const auto found = ListsBesideFile("a.iso", {"a.iso", "a.iso.sha256", "files.sfv", "MD5SUMS"},
                                       [&](const std::string& name) { return TListBytes{TListBytes::TStatus::Read, lists.at(name), ""}; });
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(KindsListed(found), (TDigestSet{TDigestKind::SHA256, TDigestKind::CRC32}));
    // Digests compare without regard to case; a missing digest gives no line.
    EXPECT_EQ(ListBesideLogLine(found[0], "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"),
              (std::pair<std::string, int>("a.iso.sha256: SHA-256を比較 ---> 一致", 0)));
    EXPECT_EQ(ListBesideLogLine(found[0], ""), std::nullopt);
    EXPECT_EQ(ListBesideLogLine(found[2], "352441c2"),
              (std::pair<std::string, int>("files.sfv: CRC32を比較 ---> 不一致", 2)));
    EXPECT_EQ(ListBesideLogLine(found[1], "")->first, "MD5SUMS: チェックサムリストではないため読み飛ばしました");
    TListBeside unreadable{"SHA1SUMS", TListBeside::TWhat::Unreadable, nullptr, "", "Permission denied"};
    EXPECT_EQ(ListBesideLogLine(unreadable, "")->first, "SHA1SUMS: 読み込めないため読み飛ばしました (Permission denied)");
}

}  // namespace
