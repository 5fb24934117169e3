// tavrenne-cli batch: the window's adding, run and export from the command line.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "engine/BatchList.h"
#include "support/CliRun.h"
#include "support/DeepTree.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct TResult {
    std::string Out, Err;
    int Status = -1;
};

// `prefix` runs in the same shell first (limits, traps).
TResult Batch(const TempDir& dir, const std::string& args, const std::string& prefix = "") {
    const std::string err = dir.file("stderr");
    const std::string out = RunCommand("cd " + dir.path().string() + " && " + prefix + "env LC_ALL=C " + kCli +
                                       " batch " + args + " 2>" + err + "; echo \"#$?\"");
    TResult r;
    const auto mark = out.rfind('#');
    r.Out = out.substr(0, mark);
    r.Status = std::stoi(out.substr(mark + 1));
    r.Err = ReadBytes(err);
    return r;
}

// The export's lines after its three-line title, which carries the time of the run.
std::string Body(const std::string& text, const std::string& eol) {
    size_t at = 0;
    for (int i = 0; i < 3; ++i) at = text.find(eol, at) + eol.size();
    return text.substr(at);
}

TEST(CliBatch, AllThreeDigestsOverFilesAndAFolderAsTheExportWritesThem) {
    TempDir dir;
    dir.write("a.txt", "abc");
    fs::create_directories(dir.path() / "d/deep");
    dir.write("d/deep/b.txt", "abc");
    std::vector<TBatchRow> rows(2);
    for (TBatchRow& r : rows) {
        r.CRC32 = "352441c2";
        r.MD5 = "900150983cd24fb0d6963f7d28e17f72";
        r.SHA1 = "a9993e364706816aba3e25717850c26c9cd0d89d";
        r.Size = BatchSizeText(3, ",");
    }
    rows[0].Name = "a.txt";
    rows[0].Path = "a.txt";
    rows[1].Name = "b.txt";
    rows[1].Path = "d/deep/b.txt";
    for (TBatchRow& r : rows) {
        r.CurrentTime = MakeBatchRow(dir.file(r.Path), "")->CurrentTime;
    }

    const TResult file = Batch(dir, "all --recurse --export list.txt a.txt d");
    EXPECT_EQ(file.Status, 0) << file.Err;
    EXPECT_EQ(file.Out, "");
    EXPECT_EQ(Body(ReadBytes(dir.path() / "list.txt"), "\r\n"), Body(ExportBytes(ExportLines(rows, "")), "\r\n"));

    const TResult out = Batch(dir, "all --recurse a.txt d");
    EXPECT_EQ(out.Status, 0) << out.Err;
    std::string expected;
    for (const std::string& line : ExportLines(rows, "")) expected += line + "\n";
    EXPECT_EQ(Body(out.Out, "\n"), Body(expected, "\n"));
    EXPECT_EQ(out.Out.substr(0, 59), std::string(58, '*') + "\n");

    // Without --recurse a folder adds only the files directly in it: none here.
    const TResult flat = Batch(dir, "crc32 d");
    EXPECT_EQ(flat.Status, 0);
    EXPECT_EQ(Body(flat.Out, "\n"), "\n");
}

// The rows of "all" are digested by several workers at once: every row must still get its own
// file's digests, in list order, with the reasons in list order, as the three single runs give.
TEST(CliBatch, AllOverManyFilesMatchesTheThreeSingleRunsRowForRow) {
    TempDir dir;
    fs::create_directories(dir.path() / "many");
    for (int i = 0; i < 40; ++i) {
        const size_t size = i == 7 ? 0 : i == 23 ? 2 * 1024 * 1024 + 17 : size_t(i) * 997;
        dir.write("many/f" + std::to_string(i), PatternBytes(size, unsigned(i + 1)));
    }
    dir.write("many/abc", "abc");
    if (geteuid() != 0) chmod(dir.file("many/f31").c_str(), 0);

    const TResult all = Batch(dir, "all many");
    const TResult crc = Batch(dir, "crc32 many"), md5 = Batch(dir, "md5 many"), sha = Batch(dir, "sha1 many");
    EXPECT_EQ(all.Status, 1);
    EXPECT_NE(all.Err.find("many/f7: empty file\n"), std::string::npos) << all.Err;
    EXPECT_EQ(all.Err, md5.Err);
    EXPECT_NE(md5.Out.find("  MD5: 900150983cd24fb0d6963f7d28e17f72\n"), std::string::npos);

    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(Body(text, "\n"));
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    };
    const std::vector<std::string> got = lines(all.Out), c = lines(crc.Out), m = lines(md5.Out), h = lines(sha.Out);
    ASSERT_EQ(got.size(), 1 + 41u * 8);   // the empty line after the title, then 8 per row
    ASSERT_EQ(c.size(), got.size());
    ASSERT_EQ(m.size(), got.size());
    ASSERT_EQ(h.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const std::string& want = got[i].rfind("  MD5: ", 0) == 0 ? m[i] : got[i].rfind(" SHA1: ", 0) == 0 ? h[i] : c[i];
        EXPECT_EQ(got[i], want) << "line " << i;
    }
}

// --format writes what the matching tool checks: coreutils for GNU and BSD lines, cksfv for
// SFV; the names as they were given, an empty file with the digest of empty input.
TEST(CliBatch, FormatWritesAListTheMatchingToolChecks) {
    TempDir dir;
    dir.write("a.txt", "abc");
    dir.write("empty", "");
    dir.write("sp ace", "hello");
    fs::create_directories(dir.path() / "d/deep");
    dir.write("d/deep/b.txt", "abc");
    const std::string paths = "./a.txt empty 'sp ace' d";
    struct TFormatCase {
        std::string args, checker, firstLine;
    };
    const TFormatCase cases[] = {
        {"md5 --format gnu", "md5sum -c --strict", "900150983cd24fb0d6963f7d28e17f72  ./a.txt"},
        {"sha1 --format bsd", "sha1sum -c --strict", "SHA1 (./a.txt) = a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"crc32 --format sfv", "cksfv -q -f", "./a.txt 352441C2"},
        {"sha256 --format gnu", "sha256sum -c --strict",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  ./a.txt"},
        {"sha512 --format bsd", "sha512sum -c --strict",
         "SHA512 (./a.txt) = ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3"
         "feebbd454d4423643ce80e2a9ac94fa54ca49f"},
    };
    for (const TFormatCase& c : cases) {
        if (RunCommand("command -v " + c.checker.substr(0, c.checker.find(' '))) == "") continue;
        const TResult r = Batch(dir, c.args + " --recurse " + paths);
        EXPECT_EQ(r.Status, 0) << c.args << ": " << r.Err;
        EXPECT_EQ(r.Out.substr(0, r.Out.find('\n')), c.firstLine) << c.args;
        EXPECT_NE(r.Out.find("d/deep/b.txt"), std::string::npos) << r.Out;
        const TResult exported = Batch(dir, c.args + " --recurse --export list " + paths);
        EXPECT_EQ(ReadBytes(dir.path() / "list"), r.Out) << c.args;
        EXPECT_EQ(RunCommand("cd " + dir.path().string() + " && " + c.checker + " list >/dev/null 2>&1; echo $?"), "0\n")
            << c.args << "\n" << r.Out;
        const std::string ours = RunCommand("cd " + dir.path().string() + " && " + kCli + " check list; echo $?");
        EXPECT_EQ(ours, "./a.txt: OK\nempty: OK\nsp ace: OK\nd/deep/b.txt: OK\n0\n") << c.args;
    }

    dir.write("semi;colon", "x");
    const TResult sfv = Batch(dir, "crc32 --format sfv ./a.txt 'semi;colon'");
    EXPECT_EQ(sfv.Status, 0) << sfv.Err;
    const TResult cannot = Batch(dir, "crc32 --format sfv ';semi' a.txt");
    dir.write(";semi", "x");
    const TResult refused = Batch(dir, "crc32 --format sfv ';semi' a.txt");
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Out, "a.txt 352441C2\n");
    EXPECT_EQ(refused.Err, "tavrenne-cli: ;semi: this name cannot be written in an SFV list\n");
    EXPECT_EQ(cannot.Status, 1);   // not there at all

    // The window's export has no line for SHA-256 or SHA-512: those need a list format.
    for (const std::string args : {"all --format gnu a.txt", "md5 --format sfv a.txt", "md5 --format xml a.txt",
                                   "md5 a.txt --format", "sha256 a.txt", "sha512 --format sfv a.txt"})
        EXPECT_EQ(Batch(dir, args).Status, 2) << args;
}

TEST(CliBatch, AFileWithoutADigestExitsOneWithItsReason) {
    TempDir dir;
    dir.write("empty", "");
    dir.write("abc", "abc");
    const TResult r = Batch(dir, "md5 empty abc missing");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("empty: empty file"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("missing: no such file"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("  MD5: 900150983cd24fb0d6963f7d28e17f72\n"), std::string::npos);

    EXPECT_EQ(Batch(dir, "sha256 abc").Status, 2);
    EXPECT_EQ(Batch(dir, "md5").Status, 2);
    EXPECT_EQ(Batch(dir, "md5 --export").Status, 2);
}

// A file deeper than the system's path calls reach is listed and digested like the others.
TEST(CliBatch, RecursionTakesPathsOfAnyLength) {
    TempDir dir;
    fs::create_directories(dir.path() / "d/deep");
    for (int i = 0; i < 7; ++i) dir.write("d/f" + std::to_string(i), "abc");
    const std::string far = MakeDeepFile(dir.file("d/deep"), std::string(250, 'n'), PATH_MAX + 300, "far", "abc");
    ASSERT_FALSE(far.empty());
    const TResult r = Batch(dir, "md5 --recurse d");
    RemoveDeepTree(dir.file("d/deep"));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    size_t digests = 0;
    for (size_t at = 0; (at = r.Out.find("  MD5: 900150983cd24fb0d6963f7d28e17f72\n", at)) != std::string::npos; ++at)
        ++digests;
    EXPECT_EQ(digests, 8u);
    const std::string folder = far.substr(dir.path().string().size() + 1, far.size() - dir.path().string().size() - 5);
    EXPECT_NE(r.Out.find("ファイルパス: " + folder + "\n"), std::string::npos);
}

// An export that cannot be written whole is reported and leaves the old export as it was.
TEST(CliBatch, AnExportThatDoesNotFitLeavesTheOldOneAndSaysWhy) {
    TempDir dir;
    fs::create_directories(dir.path() / "many");
    for (int i = 0; i < 40; ++i) dir.write("many/f" + std::to_string(i), "abc");
    const std::string old = "the export of yesterday\r\n";
    dir.write("list.txt", old);
    // A file may grow to 2 KB (4 blocks of 512 bytes): the export is several times that.
    const TResult r = Batch(dir, "all --export list.txt many", "trap '' XFSZ; ulimit -f 4; ");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tavrenne-cli: list.txt: " + std::string(std::strerror(EFBIG)) + "\n");
    EXPECT_EQ(ReadBytes(dir.path() / "list.txt"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);   // many, list.txt, stderr

    const TResult fits = Batch(dir, "all --export list.txt many");
    EXPECT_EQ(fits.Status, 0) << fits.Err;
    EXPECT_GT(ReadBytes(dir.path() / "list.txt").size(), 40u * 100);
}

}  // namespace
