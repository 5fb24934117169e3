// tavrenne-cli analyze: the window's analysis from a script, without a display.
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "fakes/AppFixture.h"
#include "platform/Cp932.h"

namespace {

struct CliRun {
    int status;
    QStringList out;
    QByteArray raw;
    QString err;
};

CliRun Cli(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TAV_BINARY_DIR "/bin/tavrenne-cli"), QStringList{QStringLiteral("analyze")} + args);
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

class CliAnalyze : public ::testing::Test {
protected:
    QString File(const char* name, const std::string& bytes) {
        const QString path = dir_.filePath(QString::fromUtf8(name));
        std::ofstream(path.toStdString(), std::ios::binary) << bytes;
        return path;
    }
    QTemporaryDir dir_;
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

    // A mismatch is a verdict, not an error.
    r = Cli({QStringLiteral("-m"), QStringLiteral("--compare"), QStringLiteral("md5"), QStringLiteral("0123"), path});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.join(QLatin1Char('\n')).contains(QStringLiteral("MD5を比較 ---> 不一致")));
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

}  // namespace
