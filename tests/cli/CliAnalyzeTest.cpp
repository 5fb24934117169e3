// tavrenne-cli analyze: the window's analysis from a script, without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/CacheFixtures.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::vector<std::string> out;
    std::string raw;
    std::string err;
    std::string Joined() const {
        std::string all;
        for (const std::string& line : out) all += line + "\n";
        return all;
    }
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string LogText(const std::string& line) {  // "[I] <time> text" -> "[I] text"
    const size_t timeEnd = line.find(' ', line.find(' ', 4) + 1);
    return line.substr(0, 4) + line.substr(timeEnd + 1);
}

// Each test runs its own copy of the tool: its folder holds the settings file and the cache,
// so what a developer's own runs left beside the built tool cannot change the outcome.
class CliAnalyze : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path built = TAV_BINARY_DIR "/bin/tavrenne-cli";
        const fs::path copy = prog_.path() / "tavrenne-cli";
        std::error_code ec;
        fs::create_hard_link(built, copy, ec);
        if (ec) fs::copy_file(built, copy);
        program_ = copy.string();
    }
    CliRun Cli(const std::vector<std::string>& args, const std::string& workDir = {},
               const std::vector<std::pair<std::string, std::string>>& environment = {}) const {
        std::vector<std::string> argv{program_, "analyze"};
        argv.insert(argv.end(), args.begin(), args.end());
        ProcessOptions options;
        options.Unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        options.Set = environment;
        options.WorkDir = workDir;
        const ProcessResult p = RunProcess(argv, options);
        CliRun r{p.Status, {}, p.Out, p.Err};
        std::istringstream lines(p.Out);
        for (std::string line; std::getline(lines, line);) r.out.push_back(line);
        return r;
    }
    std::string File(const char* name, const std::string& bytes) { return dir_.write(name, bytes); }
    fs::path ProgramFolder() const { return prog_.path(); }

    TempDir dir_;
    TempDir prog_;
    std::string program_;
};

TEST_F(CliAnalyze, AllDigestsResultTextThenLog) {
    const std::string path = File("abc.txt", "abc");
    const CliRun r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_GE(r.out.size(), 16u + 2 + 9);
    EXPECT_EQ(r.out[1].rfind("Tavrenne 2.46  [", 0), 0u) << r.out[1];
    EXPECT_EQ(r.out[4], "ファイル名: abc.txt");
    EXPECT_EQ(r.out[5], "ファイルパス:" + path);
    EXPECT_EQ(r.out[12], "CRC32:352441c2");
    EXPECT_EQ(r.out[13], "MD5  :900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(r.out[14], "SHA-1:a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(r.out[16], std::string(79, '='));
    EXPECT_EQ(r.out.back(), std::string(79, '='));
    std::vector<std::string> log;
    for (size_t i = 19; i + 1 < r.out.size(); ++i) log.push_back(LogText(r.out[i]));
    EXPECT_EQ(log, (std::vector<std::string>{
                       "[I] abc.txtのファイル情報を取得中です..しばらくお待ち下さい",
                       "[I] abc.txtのCRC32取得を開始", "[I] abc.txtのCRC32取得完了",
                       "[I] abc.txtのSHA1取得を開始", "[I] abc.txtのSHA1取得完了",
                       "[I] abc.txtのMD5取得を開始", "[I] abc.txtのMD5取得完了",
                       "[I] 経過時間:  0時間 0分 0秒"}));
}

TEST_F(CliAnalyze, OneDigestUpperCaseAndComparison) {
    const std::string path = File("abc.txt", "abc");
    CliRun r = Cli({"-c", "--upper", "--compare", "crc32", "352441C2", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out[12], "CRC32:352441C2");
    EXPECT_EQ(r.out[13], "MD5  :");
    EXPECT_TRUE(Contains(r.Joined(), "CRC32を比較 ---> 一致"));

    // A mismatch fails the command, so a script cannot take it for a match.
    r = Cli({"-m", "--compare", "md5", "0123", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.Joined(), "MD5を比較 ---> 不一致"));
    EXPECT_TRUE(Contains(r.err, "does not match")) << r.err;

    // A comparison with a digest that is not computed is a usage error, not a silent success.
    r = Cli({"-m", "--compare", "sha1", "00", path});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Contains(r.err, "--compare sha1")) << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(CliAnalyze, Cp932OutputIsTheFileFormat) {
    const std::string path = File("日本.txt", "abc");
    const CliRun r = Cli({"--cp932", "-h", path});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(Contains(r.raw, cp932::FromUtf8("ファイル名: 日本.txt\r\n")));
    std::string end(79, '=');
    end += "\r\n";
    EXPECT_TRUE(r.raw.size() >= end.size() && r.raw.compare(r.raw.size() - end.size(), end.size(), end) == 0);
}

TEST_F(CliAnalyze, FailuresExitWithOne) {
    CliRun r = Cli({dir_.file("missing")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "ファイルが見当たりません")) << r.err;

    r = Cli({File("empty", "")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, "File size of zero or run"));
    EXPECT_TRUE(Contains(r.Joined(), "[E] "));

    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"-c", "-m", File("x", "x")}).status, 2);
    EXPECT_EQ(Cli({"--compare", "sha384", "00", File("y", "y")}).status, 2);
}

// "auto" takes the kind from the value's length and computes it even where the switch did
// not ask for it; sha256 and sha512 are asked for by naming them. "abc" has published values.
TEST_F(CliAnalyze, TheComparedKindFollowsTheValueOrItsName) {
    const std::string path = File("abc.txt", "abc");
    const std::string sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const std::string sha512 =
        "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd"
        "454d4423643ce80e2a9ac94fa54ca49f";
    const struct {
        std::vector<std::string> args;
        std::string verdict, resultLine;
    } cases[] = {
        {{"-c", "--compare", "auto", " 900150983CD24FB0D6963F7D28E17F72\t"}, "MD5を比較 ---> 一致",
         "MD5  :900150983cd24fb0d6963f7d28e17f72"},
        {{"-m", "--compare", "auto", "352441c2"}, "CRC32を比較 ---> 一致", "CRC32:352441c2"},
        {{"-c", "--compare", "auto", "a9993e364706816aba3e25717850c26c9cd0d89d"}, "SHA-1を比較 ---> 一致",
         "SHA-1:a9993e364706816aba3e25717850c26c9cd0d89d"},
        {{"-c", "--compare", "auto", sha256}, "SHA-256を比較 ---> 一致", "SHA-256:" + sha256},
        {{"--compare", "sha512", sha512}, "SHA-512を比較 ---> 一致", "SHA-512:" + sha512},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back(path);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, 0) << args[2] << " " << r.err;
        EXPECT_TRUE(Contains(r.Joined(), c.verdict)) << r.Joined();
        EXPECT_TRUE(Contains(r.Joined(), c.resultLine + "\n")) << r.Joined();
    }
    // The window's result text: SHA-256 and SHA-512 follow SHA-1.
    const CliRun both = Cli({"-c", "--compare", "sha512", sha512, path});
    ASSERT_GE(both.out.size(), 16u);
    EXPECT_EQ(both.out[14], "SHA-1:");
    EXPECT_EQ(both.out[15], "SHA-512:" + sha512);
    EXPECT_EQ(both.out[16], "");
    // A value of another length names no kind; a wrong SHA-256 is a mismatch like any other.
    CliRun r = Cli({"--compare", "auto", "0123456789", path});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Contains(r.err, "10 characters")) << r.err;
    r = Cli({"-c", "--compare", "sha256", std::string(64, '0'), path});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.Joined(), "SHA-256を比較 ---> 不一致"));
}

// The window's settings file beside the tool: sidecars and cache as in the window, and the
// file itself never written.
TEST_F(CliAnalyze, UsesTheWindowsSettingsSidecarsAndCacheAndNeverWritesTheSettings) {
    const std::string ini = "[Tavrix_2]\r\n#Version=2.46\r\n#auto create MD5=1\r\n#Use FileCache=1\r\n"
                            "#Use MD5File=0\r\n";
    std::ofstream(ProgramFolder() / "tavr2.ini", std::ios::binary) << ini;
    const std::string path = File("abc.txt", "abc");

    CliRun r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(path + ".MD5"), "900150983cd24fb0d6963f7d28e17f72 abc.txt\r\n");
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(ProgramFolder() / "Cache")) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1u);

    // The second run takes both digests from the cache.
    r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string all = r.Joined();
    const std::string hit = "キャッシュを読み込み/使用";
    const size_t first = all.find(hit);
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(all.find(hit, first + 1), std::string::npos);
    EXPECT_EQ(all.find(hit, all.find(hit, first + 1) + 1), std::string::npos);

    // Opening the sidecar compares the file with it.
    r = Cli({path + ".MD5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.Joined(), "MD5ファイルからハッシュを読み込みました"));
    EXPECT_TRUE(Contains(r.Joined(), "MD5を比較 ---> 一致"));
    EXPECT_EQ(ReadBytes(ProgramFolder() / "tavr2.ini"), ini);
}

// Checksum lists beside the file are compared as in the window, and a mismatch fails the run.
TEST_F(CliAnalyze, ListsBesideTheFileAreCompared) {
    const std::string path = File("abc.txt", "abc");
    const std::string sha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    File("SHA256SUMS", sha256 + "  abc.txt\n");
    CliRun r = Cli({"-c", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.Joined(), "SHA256SUMS: SHA-256を比較 ---> 一致")) << r.Joined();
    File("SHA256SUMS", std::string(64, '0') + "  abc.txt\n");
    r = Cli({"-c", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.Joined(), "SHA256SUMS: SHA-256を比較 ---> 不一致")) << r.Joined();
}

// An expected value that is empty or blank (a script's unset variable) would compare
// nothing and pass: it is a usage error.
TEST_F(CliAnalyze, AnEmptyOrBlankExpectedValueIsAUsageError) {
    const std::string path = File("abc.txt", "abc");
    for (const std::string value : {"", " ", "  \t"}) {
        const CliRun r = Cli({"-m", "--compare", "md5", value, path});
        EXPECT_EQ(r.status, 2) << "'" << value << "'";
        EXPECT_TRUE(Contains(r.err, "--compare needs a value")) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    // One blank beside the digest is still taken out, as in the window.
    EXPECT_EQ(Cli({"-m", "--compare", "md5", "900150983cd24fb0d6963f7d28e17f72 ", path}).status, 0);
}

class CliAnalyzeCache : public CliAnalyze {
protected:
    void SetUp() override {
        CliAnalyze::SetUp();
        std::ofstream(ProgramFolder() / "tavr2.ini", std::ios::binary)
            << "[Tavrix_2]\r\n#Version=2.46\r\n#Use FileCache=1\r\n";
    }
    std::vector<fs::path> Records() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(ProgramFolder() / "Cache")) out.push_back(e.path());
        return out;
    }
    static std::string Md5Sum(const std::string& path) { return RunCommand("md5sum '" + path + "'").substr(0, 32); }
    static constexpr const char* kHit = "キャッシュを読み込み/使用";
};

// A record whose digest text was damaged is neither shown nor compared: it is deleted, the
// digest is computed, and a sound record takes its place.
TEST_F(CliAnalyzeCache, ADamagedRecordIsNeverHandedOut) {
    const std::string path = File("abc.txt", "abc");
    ASSERT_EQ(Cli({path}).status, 0);
    ASSERT_EQ(Records().size(), 1u);
    const fs::path record = Records()[0];
    const std::string sound = ReadBytes(record);
    const std::string zs(32, 'z');
    const struct { const char* what; size_t offset; std::string bytes; } damages[] = {
        {"MD5 text", 27, zs},
        {"MD5 length byte", 26, "\xFF"},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        for (const fs::path& r : Records()) fs::remove(r);
        std::ofstream(record, std::ios::binary) << std::string(sound).replace(d.offset, d.bytes.size(), d.bytes);
        const CliRun r = Cli({"--compare", "md5", zs, path});
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.out[13], "MD5  :900150983cd24fb0d6963f7d28e17f72");
        EXPECT_TRUE(Contains(r.Joined(), "MD5を比較 ---> 不一致"));
        EXPECT_FALSE(Contains(r.Joined(), kHit));
        EXPECT_FALSE(Contains(r.raw, "zzzz"));
        EXPECT_FALSE(fs::exists(record));
        ASSERT_EQ(Records().size(), 1u);
        EXPECT_EQ(ReadBytes(Records()[0]), sound);
    }
}

// A file forged to another file's CRC32 and size, its times copied with `touch -r`, is shown
// with its own digests, not the genuine file's.
TEST_F(CliAnalyzeCache, ACrc32TwinWithCopiedTimesGetsItsOwnDigests) {
    const std::string genuineBytes = "the genuine file and its bytes";
    const std::string genuine = File("genuine.bin", genuineBytes);
    const std::string twin = File("twin.bin", Crc32Twin(genuineBytes));
    ASSERT_EQ(RunCommand("touch -r '" + genuine + "' '" + twin + "' && echo ok"), "ok\n");
    ASSERT_NE(Md5Sum(twin), Md5Sum(genuine));

    CliRun r = Cli({genuine});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({genuine});
    EXPECT_TRUE(Contains(r.Joined(), kHit));   // the genuine file itself is found
    const std::string genuineCrc = r.out[12];

    r = Cli({twin});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out[12], genuineCrc);
    EXPECT_EQ(r.out[13], "MD5  :" + Md5Sum(twin));
    EXPECT_FALSE(Contains(r.Joined(), kHit));
}

TEST_F(CliAnalyze, WithoutASettingsFileNoneIsMade) {
    const CliRun r = Cli({File("abc.txt", "abc")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(ProgramFolder() / "tavr2.ini"));
}

// Names are bytes: "--" ends the options, any byte but "/" and NUL may be in a name, and what
// is printed stays one line per line with nothing a terminal would act on.
TEST_F(CliAnalyze, AnyNameIsAnalysedAndPrintedSafely) {
    File("-dash.txt", "abc");
    CliRun r = Cli({"-m", "--", "-dash.txt"}, prog_.path().string());
    EXPECT_EQ(r.status, 1);   // relative to the tool's folder: not there
    r = Cli({"-m", "--", "-dash.txt"}, dir_.path().string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.raw, "MD5  :900150983cd24fb0d6963f7d28e17f72"));

    // Bytes that are not UTF-8 and a newline in the name: the file is found and each shown
    // line stays one line.
    const std::string odd = File("odd\xFF\nname\x1b[31m.txt", "abc");
    r = Cli({"-m", odd});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Contains(r.raw, "MD5  :900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_TRUE(Contains(r.raw, "ファイル名: odd\\xff\\x0aname\\x1b[31m.txt\n")) << r.raw;
    EXPECT_FALSE(Contains(r.raw, "\x1b"));
}

}  // namespace

// "--lang en" prints the window's English result and log; Japanese stays the default whatever
// the desktop's language, so scripts that read the lines keep working.
TEST_F(CliAnalyze, TheLanguageOfTheLinesIsChosenBySwitch) {
    const std::string path = File("abc.txt", "abc");
    File("SHA256SUMS", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  abc.txt\n");
    const CliRun english = Cli({"--lang", "en", "--compare", "md5", "900150983cd24fb0d6963f7d28e17f72", path});
    ASSERT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.out[4], "Name: abc.txt");
    EXPECT_EQ(english.out[5], "Path:" + path);
    EXPECT_EQ(english.out[6], "Size: 3 Bytes");
    EXPECT_EQ(english.out[12], "CRC32:352441c2");
    for (const char* line : {"[I] File information tool --- Tavrenne 2.46 ---",
                             "[I] Reading the file information of abc.txt... please wait",
                             "[I] Computed the MD5 of abc.txt", "[I] Compared MD5 ---> Match",
                             "[I] SHA256SUMS: Compared SHA-256 ---> Match", "[I] Elapsed time:  0 h  0 min  0 s"}) {
        bool found = false;
        for (const std::string& l : english.out) found = found || (l.size() > 4 && LogText(l) == line);
        EXPECT_TRUE(found) << line << "\n" << english.Joined();
    }
    for (const std::string& l : english.out)
        for (unsigned char c : l) ASSERT_LT(c, 0x80) << l;  // plain ASCII in English

    // Unset and asked for, under an English desktop: the lines of today. "auto" follows it.
    const std::vector<std::pair<std::string, std::string>> desktop = {{"LANGUAGE", "en"}, {"LANG", "en_US.UTF-8"}};
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{path}, std::vector<std::string>{"--lang=ja", path}}) {
        const CliRun r = Cli(args, {}, desktop);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out[4], "ファイル名: abc.txt");
    }
    EXPECT_EQ(Cli({"--lang", "auto", path}, {}, desktop).out.at(4), "Name: abc.txt");
    EXPECT_EQ(Cli({"--lang", "auto", path}, {}, {{"LANGUAGE", "ja"}}).out.at(4), "ファイル名: abc.txt");
    const CliRun bad = Cli({"--lang", "de", path});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(Contains(bad.err, "--lang takes ja, en or auto")) << bad.err;
}
