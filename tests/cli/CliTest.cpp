// tavrenne-cli from the outside, against coreutils and Python's zlib.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>

#include "support/TempDir.h"

namespace {

const std::string kCli = TAV_BINARY_DIR "/bin/tavrenne-cli";

struct Result {
    int status;
    std::string out;
};

Result Cli(const std::string& args) {
    const std::string out = RunCommand(kCli + " " + args + " 2>/dev/null; echo \"#$?\"");
    const auto mark = out.rfind('#');
    return {std::stoi(out.substr(mark + 1)), out.substr(0, mark)};
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class CliTest : public ::testing::Test {
protected:
    TempDir dir_;
};

TEST_F(CliTest, DigestsAgreeWithIndependentToolsAcrossBlockAndBufferBoundaries) {
    const size_t sizes[] = {1, 3, 55, 56, 57, 63, 64, 65, 119, 120, 127, 128, 1023, 1024, 1025,
                            65535, 65536, 65537, 101 * 1024 - 1, 101 * 1024, 101 * 1024 + 1,
                            101 * 65536 - 1, 101 * 65536, 101 * 65536 + 1, 7 * 1000 * 1000 + 13};
    std::string files;
    for (size_t n : sizes)
        files += " " + Quote(dir_.write("f" + std::to_string(n) + " x.bin", PatternBytes(n, unsigned(n))));

    const std::string md5sum = RunCommand("md5sum" + files);
    const std::string sha1sum = RunCommand("sha1sum" + files);
    const std::string crc = RunCommand(
        "python3 -c \"import sys, zlib\nfor p in sys.argv[1:]: print('%08x  %s' % "
        "(zlib.crc32(open(p,'rb').read()), p))\"" + files);
    ASSERT_FALSE(md5sum.empty());
    ASSERT_FALSE(sha1sum.empty());
    ASSERT_FALSE(crc.empty());
    for (const std::string buffer : {"1", "64", "128"}) {
        EXPECT_EQ(Cli("hash md5 --buffer " + buffer + files).out, md5sum) << buffer;
        EXPECT_EQ(Cli("hash sha1 --buffer " + buffer + files).out, sha1sum) << buffer;
        EXPECT_EQ(Cli("hash crc32 --buffer " + buffer + files).out, crc) << buffer;
    }
}

TEST_F(CliTest, FilesWithoutDigestAreReportedAndFailTheRun) {
    const std::string good = dir_.write("good", "abc");
    const std::string empty = dir_.write("empty", "");
    const std::string args = Quote(good) + " " + Quote(empty) + " " + Quote(dir_.file("missing")) + " " +
                             Quote(dir_.path().string());
    const Result r = Cli("hash crc32 --upper " + args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "352441C2  " + good + "\n");
    const std::string err = RunCommand(kCli + " hash md5 " + args + " 2>&1 >/dev/null");
    EXPECT_NE(err.find(empty + ": empty file"), std::string::npos) << err;
    EXPECT_NE(err.find(dir_.file("missing") + ": no such file"), std::string::npos) << err;
    EXPECT_EQ(Cli("hash sha1 " + Quote(good)).status, 0);
}

TEST_F(CliTest, UsageErrors) {
    for (const std::string args : {"", "hash", "hash sha256 x", "hash md5", "hash md5 --buffer 0 x",
                                   "hash md5 --buffer 70000 x", "string", "info", "frobnicate"})
        EXPECT_EQ(Cli(args).status, 2) << args;
}

TEST_F(CliTest, StringHashesShiftJisBytes) {
    EXPECT_EQ(Cli("string abc").out, "900150983cd24fb0d6963f7d28e17f72\n");
    EXPECT_EQ(Cli("string --upper abc").out, "900150983CD24FB0D6963F7D28E17F72\n");
    EXPECT_EQ(Cli("string ''").out, "\n");
    // "日本" in Shift_JIS is 93 FA 96 7B.
    EXPECT_EQ(Cli("string 日本").out,
              RunCommand("printf '\\223\\372\\226\\173' | md5sum | cut -c1-32"));
}

TEST_F(CliTest, InfoPrintsTheRecord) {
    const std::string f = dir_.write("notes.txt", "hello");
    RunCommand("touch -d '2004-08-01 12:30:04' " + Quote(f));
    const Result r = Cli("info " + Quote(f));
    EXPECT_EQ(r.status, 0);
    std::istringstream lines(r.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 9u) << r.out;
    EXPECT_EQ(got[0], "Size: 5");
    EXPECT_EQ(got[1], "Attr: 00000020");
    EXPECT_EQ(got[2], "Age: 310163C2");
    EXPECT_EQ(got[3], "TimeText: 2004年8月1日 12時30分04秒");
    EXPECT_EQ(got[4].rfind("TimeTextDefault: ", 0), 0u);
    EXPECT_EQ(got[5], "TimeTextShort: 040801-1230");
    EXPECT_EQ(got[6], "FileVersion: ");   // no version block: the strings stay empty
    EXPECT_EQ(got[8], "FileDescription: ");

    EXPECT_EQ(Cli("info " + Quote(dir_.path().string())).status, 1);
    EXPECT_EQ(Cli("info " + Quote(dir_.file("missing"))).status, 1);
}

TEST_F(CliTest, InfoReadsTheProgramsOwnVersion) {
    const Result r = Cli("info " + kCli);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("FileVersion: 2.46\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("LegalCopyright: Copyright (C) 2026 Tavrenne developers\n"), std::string::npos) << r.out;
}

}  // namespace
