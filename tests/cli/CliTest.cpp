// tavrenne-cli from the outside, against coreutils and Python's zlib.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

#include "engine/DigestKinds.h"
#include "engine/version/VersionResource.h"
#include "support/CliRun.h"
#include "support/RunAs.h"
#include "support/PeBuilder.h"
#include "support/TempDir.h"

namespace {

// Both streams and the status; the C locale keeps the system's reasons in English, as
// std::strerror gives them here.
CliResult CliFull(const TempDir& dir, const std::string& args, const std::string& prefix = "") {
    const std::string errFile = dir.file(".stderr");
    const std::string out =
        RunCommand(prefix + "env LC_ALL=C " + kCli + " " + args + " 2>" + Quote(errFile) + "; echo \"#$?\"");
    const auto mark = out.rfind('#');
    return {std::stoi(out.substr(mark + 1)), out.substr(0, mark), ReadBytes(errFile)};
}

void SetModified(const std::string& path, time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path << ": " << std::strerror(errno);
}

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
    const CliResult r = Cli("hash crc32 --upper " + args);
    EXPECT_EQ(r.status, 1);
    // An empty file has the digest of empty input, as in every other tool.
    EXPECT_EQ(r.out, "352441C2  " + good + "\n00000000  " + empty + "\n");
    const std::string err = RunCommand(kCli + " hash md5 " + args + " 2>&1 >/dev/null");
    EXPECT_EQ(err, "tavrenne-cli: " + dir_.file("missing") + ": no such file\ntavrenne-cli: " + dir_.path().string() +
                       ": is a folder\n");
    EXPECT_EQ(Cli("hash sha1 " + Quote(good)).status, 0);
}

TEST_F(CliTest, UsageErrors) {
    for (const std::string args : {"", "hash", "hash sha3 x", "hash sha384 x", "hash MD5 x", "hash md5", "hash md5 --buffer 0 x",
                                   "hash md5 --buffer 70000 x", "string", "info", "frobnicate",
                                   // A word that starts with "-" is an option until "--".
                                   "hash md5 -x", "hash md5 x --buffer", "hash md5 --", "string -x",
                                   "string -- a b", "info -x", "info --", "info -- a b"})
        EXPECT_EQ(Cli(args).status, 2) << args;
}

// A list written to a full disk is no list: the run fails and says why.
TEST_F(CliTest, WriteErrorsFailTheRun) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string file = Quote(dir_.write("file", "abc"));
    const std::string list = Quote(dir_.write("list", "900150983cd24fb0d6963f7d28e17f72  " + dir_.file("file") + "\n"));
    for (const std::string& args : {"hash md5 " + file, "check " + list}) {
        const std::string out = RunCommand("LC_ALL=C " + kCli + " " + args + " 2>&1 >/dev/full; echo \"#$?\"");
        EXPECT_EQ(out, "tavrenne-cli: write error: No space left on device\n#1\n") << args;
    }
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
    const CliResult r = Cli("info " + Quote(f));
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
    const CliResult r = Cli("info " + kCli);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("FileVersion: 2.46\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("LegalCopyright: Copyright (C) 2026 Tavrenne developers\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, NamesWithNewlineOrBackslashAreWrittenAsMd5sumWritesThem) {
    std::string files;
    for (const std::string name : {"plain", "new\nline", "back\\slash", "carriage\rreturn", "all\\\n\r\\"})
        files += " " + Quote(dir_.write(name, "abc"));
    for (const std::string kind : {"md5", "sha1"}) {
        const std::string reference = RunCommand(kind + "sum" + files);
        ASSERT_NE(reference.find("\\"), std::string::npos) << "no escaped line to compare with";
        EXPECT_EQ(Cli("hash " + kind + files).out, reference) << kind;
    }
    // And md5sum reads our lines back to the same files.
    const std::string list = dir_.write("list.md5", Cli("hash md5" + files).out);
    EXPECT_EQ(RunCommand("md5sum --check --status " + Quote(list) + "; echo $?"), "0\n");
}

// Every kind that coreutils has a "...sum" tool for prints what that tool prints, plain and
// with --tag, whatever the name; the tool checks those lines back, and so does check.
TEST_F(CliTest, HashLinesAreByteForByteWhatCoreutilsPrints) {
    std::string files;
    for (const std::string name : {"plain", "empty", "new\nline", "back\\slash", "carriage\rreturn",
                                   "all\\\n\r\\", "esc\x1b[0m", "paren) = x", " lead", "日本語"})
        files += " " + Quote(dir_.write(name, name == "empty" ? "" : "abc " + name));
    int peers = 0;
    for (const TDigestKindInfo& k : DigestKinds()) {
        const std::string tool = std::string(k.CommandName) + "sum";
        if (RunCommand("command -v " + tool) == "") continue;
        ++peers;
        for (const std::string tag : {"", " --tag"}) {
            const std::string reference = RunCommand(tool + tag + files);
            ASSERT_NE(reference.find("\\"), std::string::npos) << "no escaped line to compare with";
            const CliResult ours = Cli("hash " + std::string(k.CommandName) + tag + files);
            EXPECT_EQ(ours.out, reference) << tool << tag;
            EXPECT_EQ(ours.status, 0) << ours.err;
            const std::string list = dir_.write("list", ours.out);
            EXPECT_EQ(RunCommand(tool + " --check --status " + Quote(list) + "; echo $?"), "0\n") << tool << tag;
            EXPECT_EQ(Cli("check --status " + Quote(list)).status, 0) << tool << tag;
        }
        // "-" is standard input, as for the tool.
        EXPECT_EQ(Cli("hash " + std::string(k.CommandName) + " -", "abc").out, RunCommand("printf abc | " + tool));
    }
    EXPECT_GE(peers, 4) << "md5sum, sha1sum, sha256sum and sha512sum";
}

// --recurse: every regular file below a folder, sorted within each folder, a subfolder's files
// at its place, no symbolic link followed and nothing special opened.
TEST_F(CliTest, RecurseWalksFoldersSortedWithoutFollowingLinks) {
    const auto mk = [&](const std::string& name) { std::filesystem::create_directories(dir_.path() / name); };
    mk("t/b/inner");
    mk("t/a");
    mk("t/B");
    mk("outside");
    for (const std::string name : {"t/z.txt", "t/b/inner/deep", "t/b/1", "t/a/x", "t/B/y", "t/A.txt", "t/_u",
                                   "t/b/inner/.hidden", "outside/o"})
        dir_.write(name, name);
    std::filesystem::create_symlink(dir_.file("outside"), dir_.file("t/b/linkdir"));
    std::filesystem::create_symlink(dir_.file("outside/o"), dir_.file("t/b/linkfile"));
    ASSERT_EQ(mkfifo(dir_.file("t/b/fifo").c_str(), 0600), 0);
    const std::string in = "cd " + Quote(dir_.path().string()) + " && ";

    const CliResult r = CliFull(dir_, "hash crc32 --recurse t/ outside/o", in);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) names += line.substr(10) + "\n";
    EXPECT_EQ(names, "t/A.txt\nt/B/y\nt/_u\nt/a/x\nt/b/1\nt/b/inner/.hidden\nt/b/inner/deep\nt/z.txt\noutside/o\n");
    // The same digests as one file at a time.
    EXPECT_EQ(r.out.substr(0, 18), CliFull(dir_, "hash crc32 t/A.txt", in).out.substr(0, 18));

    // A folder is a file to hash only with --recurse.
    const CliResult flat = CliFull(dir_, "hash crc32 t", in);
    EXPECT_EQ(flat.status, 1);
    EXPECT_EQ(flat.err, "tavrenne-cli: t: is a folder\n");
}

// A folder whose names can be listed but not reached: each file is named and fails the run,
// none is silently left out.
TEST_F(CliTest, RecurseSaysWhatItCannotReach) {
    std::filesystem::create_directories(dir_.path() / "r/shut");
    dir_.write("r/open.txt", "abc");
    dir_.write("r/shut/inside.txt", "abc");
    std::filesystem::permissions(dir_.file("r"), std::filesystem::perms::all);
    std::filesystem::permissions(dir_.file("r/shut"), std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    const std::string in = "cd " + Quote(dir_.path().string()) + " && ";
    const int child = AsOrdinaryUser(dir_.path(), [&] {
        const CliResult r = CliFull(dir_, "hash crc32 --recurse r", in);
        const bool said = r.status == 1 && r.out == "352441c2  r/open.txt\n" &&
                          r.err == "tavrenne-cli: r/shut/inside.txt: cannot be read: Permission denied\n";
        if (!said) std::fprintf(stderr, "status %d\n%s%s", r.status, r.out.c_str(), r.err.c_str());
        return said ? 0 : 1;
    });
    std::filesystem::permissions(dir_.file("r/shut"), std::filesystem::perms::owner_all);
    EXPECT_EQ(child, 0);
}

TEST_F(CliTest, EachFailureGetsItsOwnReasonFromHashAndInfo) {
    const std::string folder = dir_.file("folder");
    std::filesystem::create_directory(folder);
    const std::string fifo = dir_.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(dir_.file("nowhere"), dir_.file("dangling"));
    std::filesystem::create_symlink(dir_.file("loop"), dir_.file("loop"));
    const std::string plain = dir_.write("plain", "abc");
    std::string deep = dir_.path().string();
    while (deep.size() <= PATH_MAX) deep += "/sub";

    struct Dated {
        const char* name;
        time_t when;
        const char* text;
    };
    const Dated dated[] = {
        {"1970", LocalTime(1970, 6, 15, 12, 0, 0), "1970-06-15 12:00:00"},
        {"1979", LocalTime(1979, 12, 31, 23, 59, 59), "1979-12-31 23:59:59"},
        {"2108", LocalTime(2108, 1, 1, 0, 0, 0), "2108-01-01 00:00:00"},
        {"2200", LocalTime(2200, 6, 15, 12, 0, 0), "2200-06-15 12:00:00"},
    };
    struct Case {
        std::string path, shown, reason;
    };
    std::vector<Case> cases = {
        {dir_.file("missing"), dir_.file("missing"), "no such file"},
        {dir_.file("gone\n\x1b\xff"), dir_.file("gone\\x0a\\x1b\\xff"), "no such file"},
        {dir_.file("dangling"), dir_.file("dangling"), "no such file"},
        {folder, folder, "is a folder"},
        {fifo, fifo, "not a regular file (a FIFO)"},
        {"/dev/null", "/dev/null", "not a regular file (a character device)"},
        {dir_.file("loop"), dir_.file("loop"), std::strerror(ELOOP)},
        {plain + "/x", plain + "/x", std::strerror(ENOTDIR)},
        {dir_.file(std::string(NAME_MAX + 1, 'n')), dir_.file(std::string(NAME_MAX + 1, 'n')), std::strerror(ENAMETOOLONG)},
        {deep, deep, std::strerror(ENAMETOOLONG)},
    };
    for (const Case& c : cases) {
        const std::string expected = "tavrenne-cli: " + c.shown + ": " + c.reason + "\n";
        for (const std::string command : {"hash crc32", "hash md5", "hash sha1", "info"}) {
            const CliResult r = CliFull(dir_, command + " -- " + Quote(c.path));
            EXPECT_EQ(r.status, 1) << command << " " << c.shown;
            EXPECT_EQ(r.out, "") << command << " " << c.shown;
            EXPECT_EQ(r.err, expected) << command;
        }
    }

    // A file dated where a DOS date-time cannot hold it has no record, but has its digests.
    for (const Dated& d : dated) {
        const std::string path = dir_.write(d.name, "abc");
        SetModified(path, d.when);
        const CliResult info = CliFull(dir_, "info -- " + Quote(path));
        EXPECT_EQ(info.status, 1) << d.text;
        EXPECT_EQ(info.err, "tavrenne-cli: " + path + ": modified time " + d.text + " is outside 1980 to 2107\n");
        EXPECT_EQ(CliFull(dir_, "hash md5 " + Quote(path)).out, "900150983cd24fb0d6963f7d28e17f72  " + path + "\n");
    }
    // The first and last times a DOS date-time holds pass both.
    for (const time_t when : {LocalTime(1980, 1, 1, 0, 0, 0), LocalTime(2107, 12, 31, 23, 59, 59)}) {
        SetModified(plain, when);
        EXPECT_EQ(CliFull(dir_, "hash md5 " + Quote(plain)).out, "900150983cd24fb0d6963f7d28e17f72  " + plain + "\n");
        EXPECT_EQ(CliFull(dir_, "info " + Quote(plain)).status, 0);
    }
}

TEST_F(CliTest, UnreadableFileGivesTheSystemsReasonForEveryDigest) {
    const std::string locked = dir_.write("locked", "abc");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    std::string prefix;
    if (geteuid() == 0) {
        // Root reads any file: run the tool as nobody, which needs the folder open to others.
        ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
        prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        if (RunCommand(prefix + kCli + " string x >/dev/null 2>&1; echo $?") != "0\n")
            GTEST_SKIP() << "running as root and cannot run tavrenne-cli as another user with setpriv";
    }
    const std::string expected = "tavrenne-cli: " + locked + ": cannot be opened: " + std::strerror(EACCES) + "\n";
    for (const std::string kind : {"crc32", "md5", "sha1"}) {
        const CliResult r = CliFull(dir_, "hash " + kind + " " + Quote(locked), prefix);
        EXPECT_EQ(r.status, 1) << kind;
        EXPECT_EQ(r.err, expected) << kind;
    }
}

TEST_F(CliTest, DoubleDashEndsTheOptionsOfEverySubcommand) {
    dir_.write("-dash.txt", "hello");
    dir_.write("--upper", "abc");
    const std::string in = "cd " + Quote(dir_.path().string()) + " && ";
    EXPECT_EQ(CliFull(dir_, "hash md5 -- -dash.txt", in).out, RunCommand(in + "md5sum -- -dash.txt"));
    EXPECT_EQ(CliFull(dir_, "hash md5 --upper -- --upper -dash.txt", in).out,
              "900150983CD24FB0D6963F7D28E17F72  --upper\n5D41402ABC4B2A76B9719D911017C592  -dash.txt\n");
    EXPECT_EQ(Cli("string -- --upper").out, RunCommand("printf %s --upper | md5sum | cut -c1-32"));
    EXPECT_EQ(Cli("string --upper -- -x").out,
              RunCommand("printf %s -x | md5sum | cut -c1-32 | tr a-f A-F"));
    const CliResult info = CliFull(dir_, "info -- -dash.txt", in);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.rfind("Size: 5\n", 0), 0u) << info.out;
}

TEST_F(CliTest, InfoShowsControlCharactersFromVersionStringsEscaped) {
    version::VersionData data;
    data.strings = {{"FileVersion", "1.0\x1b[2J\x1b]0;owned\x07"},
                    {"LegalCopyright", "line1\nline2\r\tend\x7f"},
                    {"FileDescription", "サンプル \xc2\x9b" "31m \\ ok"}};   // U+009B, the one-byte CSI
    pebuild::PeOptions o;
    o.resources = {{{16, {}}, {1, {}}, 0x0411, version::BuildVersionResource(data)}};
    const auto pe = pebuild::BuildPe(o);
    const std::string f = dir_.write("hostile.exe", std::string(pe.bytes.begin(), pe.bytes.end()));

    const CliResult r = Cli("info " + Quote(f));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nFileVersion: 1.0\\x1b[2J\\x1b]0;owned\\x07\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nLegalCopyright: line1\\x0aline2\\x0d\\x09end\\x7f\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nFileDescription: サンプル \\xc2\\x9b31m \\ ok\n"), std::string::npos) << r.out;
    for (char c : r.out)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << "raw control " << int(c);
}

TEST(ElfVersion, OurOwnProgramCarriesItsVersion) {
    using namespace version;
    const std::string program = TAV_BINARY_DIR "/bin/tavrenne-cli";
    const auto block = LoadVersionResource(program);
    ASSERT_FALSE(block.empty()) << "no version block in " << program;
    ASSERT_EQ(QueryTranslation(block), 0x04B00411u);
    EXPECT_EQ(QueryString(block, "041104B0", "FileVersion"), "2.46");
    EXPECT_EQ(QueryString(block, "041104B0", "ProductVersion"), "2.46");
    EXPECT_EQ(QueryString(block, "041104B0", "ProductName"), "Tavrenne");
    EXPECT_EQ(QueryString(block, "041104B0", "LegalCopyright"), "Copyright (C) 2026 Tavrenne developers");
    EXPECT_EQ(QueryString(block, "041104B0", "FileDescription"), "Tavrenne ファイル情報・ハッシュ値表示");
    EXPECT_EQ(pebuild::Le32(block, 48), 0x0002002Eu);  // 2.46.0.0 in the fixed information
    EXPECT_EQ(pebuild::Le32(block, 52), 0u);
}

}  // namespace
