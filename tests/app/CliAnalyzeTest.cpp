// tavrenne-cli analyze: the window's analysis from a script, without a display.
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/AppFixture.h"
#include "support/TempDir.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    QStringList out;
    QByteArray raw;
    QString err;
};

CliRun Cli(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(program, QStringList{QStringLiteral("analyze")} + args);
    if (!p.waitForFinished(60000)) return {-1, {}, {}, QStringLiteral("timeout")};
    const QByteArray raw = p.readAllStandardOutput();
    QStringList out = QString::fromUtf8(raw).split(QLatin1Char('\n'));
    if (!out.isEmpty() && out.back().isEmpty()) out.pop_back();
    return {p.exitCode(), out, raw, QString::fromUtf8(p.readAllStandardError())};
}

QString LogText(const QString& line) {  // "[I] <time> text" -> "[I] text"
    const int timeEnd = line.indexOf(QLatin1Char(' '), line.indexOf(QLatin1Char(' '), 4) + 1);
    return line.left(4) + line.mid(timeEnd + 1);
}

// Each test runs its own copy of the tool: its folder holds the settings file and the cache,
// so what a developer's own runs left beside the built tool cannot change the outcome.
class CliAnalyze : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path built = TAV_BINARY_DIR "/bin/tavrenne-cli";
        const fs::path copy = fs::path(prog_.path().toStdString()) / "tavrenne-cli";
        std::error_code ec;
        fs::create_hard_link(built, copy, ec);
        if (ec) fs::copy_file(built, copy);
        program_ = QString::fromStdString(copy.string());
    }
    CliRun Cli(const QStringList& args) const { return ::Cli(program_, args); }
    QString File(const char* name, const std::string& bytes) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        std::ofstream(path.toStdString(), std::ios::binary) << bytes;
        return path;
    }
    fs::path ProgramFolder() const { return fs::path(prog_.path().toStdString()); }

    QTemporaryDir dir_;
    QTemporaryDir prog_;
    QString program_;
};

TEST_F(CliAnalyze, AllDigestsResultTextThenLog) {
    const QString path = File("abc.txt", "abc");
    const CliRun r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    ASSERT_GE(r.out.size(), 16 + 2 + 9);
    EXPECT_TRUE(r.out[1].startsWith(QStringLiteral("Tavrenne 2.46  [")));
    EXPECT_EQ(r.out[4], QStringLiteral("ファイル名: abc.txt"));
    EXPECT_EQ(r.out[5], QStringLiteral("ファイルパス:") + path);
    EXPECT_EQ(r.out[12], QStringLiteral("CRC32:352441c2"));
    EXPECT_EQ(r.out[13], QStringLiteral("MD5  :900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(r.out[14], QStringLiteral("SHA-1:a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_EQ(r.out[16], QString(79, QLatin1Char('=')));
    EXPECT_EQ(r.out.back(), QString(79, QLatin1Char('=')));
    QStringList log;
    for (int i = 17; i < r.out.size() - 1; ++i) log << LogText(r.out[i]);
    EXPECT_EQ(log.mid(2), (QStringList{
                              "[I] abc.txtのファイル情報を取得中です..しばらくお待ち下さい",
                              "[I] abc.txtのCRC32取得を開始", "[I] abc.txtのCRC32取得完了",
                              "[I] abc.txtのSHA1取得を開始", "[I] abc.txtのSHA1取得完了",
                              "[I] abc.txtのMD5取得を開始", "[I] abc.txtのMD5取得完了",
                              "[I] 経過時間:  0時間 0分 0秒"}));
}

TEST_F(CliAnalyze, OneDigestUpperCaseAndComparison) {
    const QString path = File("abc.txt", "abc");
    CliRun r = Cli({QStringLiteral("-c"), QStringLiteral("--upper"), QStringLiteral("--compare"), QStringLiteral("crc32"),
                 QStringLiteral("352441C2"), path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out[12], QStringLiteral("CRC32:352441C2"));
    EXPECT_EQ(r.out[13], QStringLiteral("MD5  :"));
    EXPECT_TRUE(r.out.join(QLatin1Char('\n')).contains(QStringLiteral("CRC32を比較 ---> 一致")));

    // A mismatch fails the command, so a script cannot take it for a match.
    r = Cli({QStringLiteral("-m"), QStringLiteral("--compare"), QStringLiteral("md5"), QStringLiteral("0123"), path});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.join(QLatin1Char('\n')).contains(QStringLiteral("MD5を比較 ---> 不一致")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("does not match"))) << r.err.toStdString();

    // A comparison with a digest that is not computed is a usage error, not a silent success.
    r = Cli({QStringLiteral("-m"), QStringLiteral("--compare"), QStringLiteral("sha1"), QStringLiteral("00"), path});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--compare sha1"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliAnalyze, Cp932OutputIsTheFileFormat) {
    const QString path = File("日本.txt", "abc");
    const CliRun r = Cli({QStringLiteral("--cp932"), QStringLiteral("-h"), path});
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.raw.contains(QByteArray::fromStdString(cp932::FromUtf8("ファイル名: 日本.txt\r\n"))));
    EXPECT_TRUE(r.raw.endsWith(QByteArray(79, '=') + "\r\n"));
}

TEST_F(CliAnalyze, FailuresExitWithOne) {
    CliRun r = Cli({dir_.filePath(QStringLiteral("missing"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("ファイルが見当たりません"))) << r.err.toStdString();

    r = Cli({File("empty", "")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("File size of zero or run")));
    EXPECT_TRUE(r.out.join(QLatin1Char('\n')).contains(QStringLiteral("[E] ")));

    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("-c"), QStringLiteral("-m"), File("x", "x")}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("--compare"), QStringLiteral("sha256"), QStringLiteral("00"), File("y", "y")}).status, 2);
}

// The window's settings file beside the tool: sidecars and cache as in the window, and the
// file itself never written.
TEST_F(CliAnalyze, UsesTheWindowsSettingsSidecarsAndCacheAndNeverWritesTheSettings) {
    const std::string ini = "[Tavrix_2]\r\n#Version=2.46\r\n#auto create MD5=1\r\n#Use FileCache=1\r\n"
                            "#Use MD5File=0\r\n";
    std::ofstream(ProgramFolder() / "tavr2.ini", std::ios::binary) << ini;
    const QString path = File("abc.txt", "abc");

    CliRun r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(ReadBytes(path.toStdString() + ".MD5"), "900150983cd24fb0d6963f7d28e17f72 abc.txt\r\n");
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(ProgramFolder() / "Cache")) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1u);

    // The second run takes both digests from the cache.
    r = Cli({path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.join(QLatin1Char('\n')).count(QStringLiteral("キャッシュを読み込み/使用")), 2);

    // Opening the sidecar compares the file with it.
    r = Cli({path + QStringLiteral(".MD5")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString all = r.out.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("MD5ファイルからハッシュを読み込みました")));
    EXPECT_TRUE(all.contains(QStringLiteral("MD5を比較 ---> 一致")));
    EXPECT_EQ(ReadBytes(ProgramFolder() / "tavr2.ini"), ini);
}

TEST_F(CliAnalyze, WithoutASettingsFileNoneIsMade) {
    const CliRun r = Cli({File("abc.txt", "abc")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(fs::exists(ProgramFolder() / "tavr2.ini"));
}

// Names are bytes: "--" ends the options, any byte but "/" and NUL may be in a name, and what
// is printed stays one line per line with nothing a terminal would act on.
TEST_F(CliAnalyze, AnyNameIsAnalysedAndPrintedSafely) {
    const QString dash = File("-dash.txt", "abc");
    CliRun r = Cli({QStringLiteral("-m"), QStringLiteral("--"), QStringLiteral("-dash.txt")});
    EXPECT_EQ(r.status, 1);   // relative to the tool's folder: not there
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.start(program_, {QStringLiteral("analyze"), QStringLiteral("-m"), QStringLiteral("--"), QStringLiteral("-dash.txt")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().contains("MD5  :900150983cd24fb0d6963f7d28e17f72"));

    // Bytes that are not UTF-8 and a newline in the name: the file is found and each shown
    // line stays one line.
    const std::string odd = dir_.path().toStdString() + "/odd\xFF\nname\x1b[31m.txt";
    std::ofstream(odd, std::ios::binary) << "abc";
    // Through a shell: a QString argument could not carry the byte 0xFF.
    const std::string printed = RunCommand("'" + program_.toStdString() + "' analyze -m \"$(printf '" +
                                           dir_.path().toStdString() + "/odd\\377\\nname\\033[31m.txt')\"; echo status=$?");
    const QByteArray out = QByteArray::fromStdString(printed);
    EXPECT_TRUE(out.endsWith("status=0\n")) << printed;
    EXPECT_TRUE(out.contains("MD5  :900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_TRUE(out.contains("ファイル名: odd\\xff\\x0aname\\x1b[31m.txt\n")) << printed;
    EXPECT_FALSE(out.contains('\x1b'));
}

}  // namespace
