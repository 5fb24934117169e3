// tavrenne-cli check against the real `md5sum -c`, `sha1sum -c` (and every other kind coreutils
// has a tool for) and `cksfv -f`: the same lists, the same verdicts, lines and exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "engine/ChecksumList.h"
#include "engine/DigestKinds.h"
#include "engine/Sidecar.h"
#include "support/CliRun.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Runs a program in `dir` with the C locale (the peers' messages in English).
ProcessResult RunIn(const TempDir& dir, const std::vector<std::string>& argv, const std::string& input = "",
                    int timeoutMs = 60000) {
    ProcessOptions o;
    o.WorkDir = dir.path().string();
    o.Set = {{"LC_ALL", "C"}};
    o.Input = input;
    o.TimeoutMs = timeoutMs;
    return RunProcess(argv, o);
}

std::vector<std::string> CheckArgs(const std::vector<std::string>& options, const std::vector<std::string>& lists) {
    std::vector<std::string> argv{kCli, "check"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), lists.begin(), lists.end());
    return argv;
}

// The summary and warning lines of standard error without the program's name; coreutils
// names the kind in a malformed line's warning, which a list of every kind cannot.
std::string Warnings(const std::string& err) {
    static const std::regex kind(" [A-Z0-9]+ checksum line");
    std::istringstream in(err);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        const size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        line = line.substr(colon + 2);
        if (line.find("WARNING: ") == 0 || line.find("improperly formatted") != std::string::npos ||
            line.find("no properly formatted") != std::string::npos || line.find("no file was verified") != std::string::npos)
            kept += std::regex_replace(line, kind, " checksum line") + "\n";
    }
    return kept;
}

// The kinds that coreutils has a "...sum" tool for, with that tool.
std::vector<std::pair<const TDigestKindInfo*, std::string>> CoreutilsPeers() {
    std::vector<std::pair<const TDigestKindInfo*, std::string>> peers;
    for (const TDigestKindInfo& k : DigestKinds()) {
        const std::string tool = std::string(k.CommandName) + "sum";
        if (RunProcess({"sh", "-c", "command -v " + tool}).Status == 0) peers.emplace_back(&k, tool);
    }
    return peers;
}

std::string PeerHex(const std::string& tool, const std::string& content) {
    ProcessOptions o;
    o.Input = content;
    const ProcessResult r = RunProcess({tool}, o);
    return r.Out.substr(0, r.Out.find(' '));
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class CliCheck : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.write("a", "abc");
        dir_.write("e", "");
        dir_.write("b c", "hello");
        dir_.write("x\\y", "abc");
        dir_.write("n\nl", "abc");
        dir_.write("changed", "no longer abc");
        fs::create_directory(dir_.path() / "dir");
    }

    // The list run through check and through the peer: standard output, exit status and the
    // warnings must be the same.
    void Compare(const std::string& tool, const std::string& list, const std::vector<std::string>& options = {},
                 const std::string& what = "") {
        dir_.write("list", list);
        std::vector<std::string> peer{tool, "-c"};
        peer.insert(peer.end(), options.begin(), options.end());
        peer.push_back("list");
        const ProcessResult theirs = RunIn(dir_, peer);
        const ProcessResult ours = RunIn(dir_, CheckArgs(options, {"list"}));
        std::string shown = what.empty() ? list : what;
        for (const std::string& o : options) shown += " " + o;
        ASSERT_GE(theirs.Status, 0) << tool << " did not run";
        EXPECT_EQ(ours.Out, theirs.Out) << tool << ": " << shown;
        EXPECT_EQ(ours.Status, theirs.Status) << tool << ": " << shown << "\n" << ours.Err;
        EXPECT_EQ(Warnings(ours.Err), Warnings(theirs.Err)) << tool << ": " << shown;
    }

    TempDir dir_;
};

TEST_F(CliCheck, EveryLineAndOptionGetsTheVerdictOfCoreutils) {
    const auto peers = CoreutilsPeers();
    std::set<std::string> tools;
    for (const auto& peer : peers) tools.insert(peer.second);
    for (const char* tool : {"md5sum", "sha1sum", "sha256sum", "sha512sum"})
        EXPECT_TRUE(tools.count(tool)) << tool << " is not compared";
    for (const auto& [kind, tool] : peers) {
        const std::string h = PeerHex(tool, "abc"), he = PeerHex(tool, ""), hb = PeerHex(tool, "hello");
        ASSERT_EQ(h.size(), kind->TextLength) << tool;
        const std::string t = kind->Name;
        const std::vector<std::string> lines = {
            h + "  a\n", h + " *a\n", h + " a\n", h + "  a\r\n", Upper(h) + "  a\n", "  " + h + "\ta\n",
            t + " (a) = " + h + "\n", t + "(b c)= " + hb + "\n", t + " (b c) =" + Upper(hb) + "\r\n",
            "\\" + h + "  x\\\\y\n", "\\" + h + "  n\\nl\n", "\\" + t + " (n\\nl) = " + h + "\n",
            t + " (x\\y) = " + h + "\n", "\\" + h + "  n\\ql\n", "\\" + h + "  x\\\n",
            h.substr(1) + "  a\n", h + "0  a\n", t + " (a) = " + h.substr(2) + "\n", t + " (a) = " + h + " \n",
            h + "  missing\n", h + "  changed\n", h + "  dir\n", he + "  e\n", h + "  e\n", hb + "  b c\n",
            "# comment\n\n" + h + "  a\n\n", h + "  a", h + " a\n" + h + "  a\n", h + "  a\n" + h + " a\n",
            h + "  a\n" + h + "  a\n" + t + " (a) = " + h + "\n", "garbage\n", "", "\n\n",
        };
        for (const std::string& list : lines) Compare(tool, list);

        const std::string mixed = h + "  a\ngarbage\n" + h + "  missing\n" + h + "  changed\n" + he + "  e\n";
        const std::vector<std::vector<std::string>> options = {
            {}, {"--quiet"}, {"--status"}, {"--strict"}, {"--warn"}, {"-w"}, {"--ignore-missing"},
            {"--status", "--warn"}, {"--warn", "--quiet"}, {"--ignore-missing", "--strict", "--quiet"}};
        for (const auto& o : options) Compare(tool, mixed, o);
        Compare(tool, h + "  missing\n", {"--ignore-missing"});
        Compare(tool, h + "  a\nx\n", {"--strict"});
        Compare(tool, h + "  a\nx\n", {"--status", "--strict"});
    }
}

TEST_F(CliCheck, ListsFromStandardInputAndSeveralListsAsCoreutilsReadsThem) {
    const std::string h = PeerHex("md5sum", "abc");
    dir_.write("good", h + "  a\n");
    dir_.write("bad", h + "  changed\n");
    for (const std::vector<std::string>& lists : {std::vector<std::string>{"good", "bad"}, {"bad", "good"},
                                                  {"good", "nolist"}, {"good", "dir"}}) {
        std::vector<std::string> peer{"md5sum", "-c"};
        peer.insert(peer.end(), lists.begin(), lists.end());
        const ProcessResult theirs = RunIn(dir_, peer), ours = RunIn(dir_, CheckArgs({}, lists));
        EXPECT_EQ(ours.Out, theirs.Out) << lists[1];
        EXPECT_EQ(ours.Status, theirs.Status) << lists[1];
        EXPECT_EQ(Warnings(ours.Err), Warnings(theirs.Err)) << lists[1];
    }
    // "-" is the list on standard input, and a list there cannot name standard input itself.
    for (const std::string& input : {h + "  a\n" + h + "  changed\n", h + "  -\n", h + "  a\n" + h + "  -\n"}) {
        const ProcessResult theirs = RunIn(dir_, {"md5sum", "-c", "-"}, input);
        const ProcessResult ours = RunIn(dir_, CheckArgs({}, {"-"}), input);
        EXPECT_EQ(ours.Out, theirs.Out) << input;
        EXPECT_EQ(ours.Status, theirs.Status) << input;
        EXPECT_EQ(Warnings(ours.Err), Warnings(theirs.Err)) << input;
    }
}

// One list that names standard input for every kind: read once, every kind gets the same bytes.
TEST_F(CliCheck, AFileListedForSeveralKindsIsReadOnce) {
    const std::map<std::string, std::string> abc = {
        {"CRC32", "352441c2"},
        {"MD5", "900150983cd24fb0d6963f7d28e17f72"},
        {"SHA1", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"SHA256", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"SHA512", "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd45"
                   "4d4423643ce80e2a9ac94fa54ca49f"},
    };
    std::string list, expected;
    for (const TDigestKindInfo& k : DigestKinds()) {
        ASSERT_TRUE(abc.count(k.Name)) << "no vector for " << k.Name;
        list += std::string(k.Name) + " (-) = " + abc.at(k.Name) + "\n";
        list += abc.at(k.Name) + (k.TextLength == 8 ? "  a\n" : " *a\n");   // and a file twice
        expected += "-: OK\na: OK\n";
    }
    dir_.write("list", list);
    const ProcessResult r = RunIn(dir_, CheckArgs({}, {"list"}), "abc");
    EXPECT_EQ(r.Out, expected);
    EXPECT_EQ(r.Status, 0) << r.Err;
}

TEST_F(CliCheck, SfvListsGetTheVerdictsOfCksfv) {
    if (RunProcess({"sh", "-c", "command -v cksfv"}).Status != 0) GTEST_SKIP() << "cksfv is not installed";
    // What cksfv writes, then lines as other SFV tools write them.
    const ProcessResult made = RunIn(dir_, {"cksfv", "a", "e", "b c"});
    ASSERT_EQ(made.Status, 0) << made.Err;
    const std::string cases[] = {
        made.Out,
        "a 352441c2\r\nb c 3610A686\r\n",
        "; comment\na 352441C2\nchanged 352441C2\n",
        "a 352441C2\nmissing 352441C2\ne 00000000\n",
        "e 00000001\n",
        "#1 352441C2\n",
    };
    for (const std::string& list : cases) {
        dir_.write("list.sfv", list);
        const ProcessResult theirs = RunIn(dir_, {"cksfv", "-q", "-f", "list.sfv"});
        const ProcessResult ours = RunIn(dir_, CheckArgs({}, {"list.sfv"}));
        EXPECT_EQ(ours.Status, theirs.Status) << list << ours.Err << theirs.Err;
        // cksfv -q names each file that fails on standard error; check says FAILED for it.
        std::set<std::string> failedTheirs, failedOurs;
        std::istringstream e(theirs.Err), o(ours.Out);
        for (std::string line; std::getline(e, line);)
            if (line.rfind("cksfv: ", 0) == 0) failedTheirs.insert(line.substr(7, line.rfind(": ") - 7));
        for (std::string line; std::getline(o, line);)
            if (line.find(": FAILED") != std::string::npos) failedOurs.insert(line.substr(0, line.find(": FAILED")));
        EXPECT_EQ(failedOurs, failedTheirs) << list;
    }
}

// Files of many sizes, some listed twice, some in BSD form, checked by several workers: the
// lines come out in list order, as md5sum gives them.
TEST_F(CliCheck, ManyFilesComeOutInListOrder) {
    std::mt19937 random(7);
    std::vector<std::string> names;
    fs::create_directory(dir_.path() / "many");
    for (int i = 0; i < 300; ++i) {
        const size_t size = i % 50 == 0 ? 6 * 1024 * 1024 + size_t(i) : i % 7 == 0 ? 0 : random() % 300000;
        names.push_back("many/f" + std::to_string(i));
        dir_.write(names.back(), PatternBytes(size, unsigned(i + 1)));
    }
    std::shuffle(names.begin(), names.end(), random);
    names.push_back(names[3]);
    std::vector<std::string> plain{"md5sum"}, tagged{"md5sum", "--tag"};
    for (size_t i = 0; i < names.size(); ++i) (i % 5 ? plain : tagged).push_back(names[i]);
    const std::string list =
        RunIn(dir_, plain).Out + PeerHex("md5sum", "abc") + "  many/absent\n" + RunIn(dir_, tagged).Out;
    dir_.write(names[10], "changed after listing");
    Compare("md5sum", list, {}, "300 files");
}

TEST_F(CliCheck, BadListsGetAClearMessageAndNeverBlock) {
    const std::string h = PeerHex("md5sum", "abc");
    struct TBadList {
        std::string name, bytes, message;
    };
    const TBadList lists[] = {
        {"image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "image.png: not a checksum list: it holds NUL bytes"},
        {"utf16.md5", std::string("\xFF\xFE", 2) + std::string("9\0000\0000\0 \0 \0a\0\n\0", 14), "utf16.md5: not a checksum list"},
        {"long.md5", std::string(8 << 20, 'x'), "long.md5: no properly formatted checksum lines found"},
        {"words.md5", "this is\nnot a list\n", "words.md5: no properly formatted checksum lines found"},
    };
    for (const TBadList& l : lists) {
        dir_.write(l.name, l.bytes);
        const ProcessResult r = RunIn(dir_, CheckArgs({}, {l.name}));
        EXPECT_EQ(r.Status, 1) << l.name;
        EXPECT_EQ(r.Out, "") << l.name;
        EXPECT_NE(r.Err.find("tavrenne-cli: " + l.message), std::string::npos) << l.name << ": " << r.Err;
    }
    const ProcessResult folder = RunIn(dir_, CheckArgs({}, {"dir"}));
    EXPECT_EQ(folder.Status, 1);
    EXPECT_EQ(folder.Err, "tavrenne-cli: dir: is a folder\n");
    EXPECT_EQ(RunIn(dir_, CheckArgs({}, {"nolist"})).Err, "tavrenne-cli: nolist: no such file\n");

    // A folder, a FIFO and devices in a list are unreadable, at once: nothing is opened that blocks.
    ASSERT_EQ(mkfifo(dir_.file("fifo").c_str(), 0600), 0);
    dir_.write("specials", h + "  dir\n" + h + "  fifo\n" + h + "  /dev/zero\n" + h + "  /dev/null\n" + h + "  a\n");
    const ProcessResult r = RunIn(dir_, CheckArgs({}, {"specials"}), "", 20000);
    EXPECT_EQ(r.Out, "dir: FAILED open or read\nfifo: FAILED open or read\n/dev/zero: FAILED open or read\n"
                     "/dev/null: FAILED open or read\na: OK\n");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("tavrenne-cli: fifo: not a regular file (a FIFO)\n"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("tavrenne-cli: WARNING: 4 listed files could not be read\n"), std::string::npos) << r.Err;
}

// A million lines go through as they would through md5sum, a block at a time.
TEST_F(CliCheck, AMillionLineListIsCheckedLikeAnyOther) {
    const std::string h = PeerHex("md5sum", "abc"), he = PeerHex("md5sum", "");
    std::string sparse, dense, expected;
    sparse.reserve(20u << 20);
    dense.reserve(50u << 20);
    for (int i = 0; i < 1000000; ++i) {
        sparse += i % 100 == 0 ? h + "  a\n" : i % 100 == 50 ? he + "  b c\n" : "not a line\n";
        dense += i % 2 ? h + "  a\n" : he + "  b c\n";
        expected += i % 2 ? "a: OK\n" : "b c: FAILED\n";
    }
    Compare("md5sum", sparse, {}, "a million lines, most of them malformed");
    // Every line an entry: md5sum would open a million files; the result is plain anyway.
    dir_.write("dense", dense);
    const ProcessResult r = RunIn(dir_, CheckArgs({}, {"dense"}));
    EXPECT_TRUE(r.Out == expected) << "not the million lines expected";
    EXPECT_EQ(r.Err, "tavrenne-cli: WARNING: 500000 computed checksums did NOT match\n");
    EXPECT_EQ(r.Status, 1);
}

// Names that would act on a terminal are shown escaped, as coreutils shows a name with a LF.
TEST_F(CliCheck, NamesWithControlCharactersAreShownEscaped) {
    const std::string h = PeerHex("md5sum", "abc");
    dir_.write("esc\x1b[31mred", "abc");
    dir_.write("bell\x07", "xyz");
    dir_.write("list", h + "  esc\x1b[31mred\n" + h + "  bell\x07\n" + "\\" + h + "  tab\\\\\t\x9b\n");
    const ProcessResult r = RunIn(dir_, CheckArgs({}, {"list"}));
    EXPECT_EQ(r.Out, "\\esc\\x1b[31mred: OK\n\\bell\\x07: FAILED\n\\tab\\\\\\x09\\x9b: FAILED open or read\n");
    EXPECT_EQ(r.Err.find('\x1b'), std::string::npos);
    EXPECT_NE(r.Err.find("tavrenne-cli: tab\\\\x09\\x9b: no such file\n"), std::string::npos) << r.Err;
}

// The .MD5 file that Tavrenne writes beside a file is a list as well, Shift_JIS name and all.
TEST_F(CliCheck, SidecarsWrittenByTheWindowAreLists) {
    const std::string md5 = PeerHex("md5sum", "abc");
    for (const std::string name : {"setup.exe", "日本語のファイル.txt"}) {
        const std::string path = dir_.write(name, "abc");
        ASSERT_EQ(WriteSidecar(path, md5).Outcome, TSidecarWrite::Written);
        const ProcessResult r = RunIn(dir_, CheckArgs({}, {name + ".MD5"}));
        EXPECT_EQ(r.Out, name + ": OK\n");
        EXPECT_EQ(r.Status, 0) << r.Err;
    }
    // md5sum reads the same line for a name in ASCII.
    EXPECT_EQ(RunIn(dir_, {"md5sum", "-c", "setup.exe.MD5"}).Out, "setup.exe: OK\n");
}

TEST_F(CliCheck, UsageErrors) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--bogus", "list"}, {"-c", "list"}, {"--"}})
        EXPECT_EQ(RunIn(dir_, CheckArgs(args, {})).Status, 2) << (args.empty() ? "" : args[0]);
}

}  // namespace
