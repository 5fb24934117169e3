// The Qt stand-ins: file-dialog filters, CP932 text files, icon handles.
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>

#include "fakes/AppFixture.h"
#include "platform/IconLookup.h"
#include "platform/TextFile.h"

namespace {

TEST(QtNameFilters, WindowsFilterBecomesQtFilters) {
    EXPECT_EQ(QtNameFilters(QStringLiteral("すべてのファイル(*.*)|*.*|MD5ファイル(*.MD5)|*.md5|書庫ファイル|*.zip;*.tar")),
              (QStringList{QStringLiteral("すべてのファイル(*.*) (*)"), QStringLiteral("MD5ファイル(*.MD5) (*.md5 *.MD5)"),
                           QStringLiteral("書庫ファイル (*.zip *.ZIP *.tar *.TAR)")}));
    EXPECT_TRUE(QtNameFilters(QString()).isEmpty());
}

TEST(TextFile, LinesInShiftJisWithCrLfAndFailuresWithReason) {
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("t.txt"));
    QString error;
    ASSERT_TRUE(WriteTextFileCp932(path, {QStringLiteral("表"), QString(), QStringLiteral("a\u00e9")}, &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // 表 is 0x95 0x5C in code page 932; é has no code there and becomes '?'.
    EXPECT_EQ(f.readAll(), QByteArray("\x95\x5C\r\n\r\na?\r\n"));
    // Replacing works; a folder in the way fails with the system's reason.
    ASSERT_TRUE(WriteTextFileCp932(path, {QStringLiteral("x")}, &error));
    EXPECT_FALSE(WriteTextFileCp932(QString::fromStdString(dir.path().string()), {QStringLiteral("x")}, &error));
    EXPECT_FALSE(error.isEmpty());
}

// The real priority stand-in, in a child process so the tests keep their own priority.
TEST(Priority, IdleIsAlwaysPermittedAndUnknownClassesChangeNothing) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetPlatform(nullptr);
        TPlatform& p = Platform();
        int fails = 0;
        const uint32_t before = p.PriorityClass();
        p.SetPriorityClass(0x1234);
        if (p.PriorityClass() != before) fails |= 1;
        p.SetPriorityClass(pcIdle);
        if (p.PriorityClass() != pcIdle) fails |= 2;
        // Leaving idle for a higher class needs the right to raise priorities: either the
        // change is made or nothing changes.
        p.SetPriorityClass(pcHigh);
        const uint32_t after = p.PriorityClass();
        if (after != pcHigh && after != pcIdle) fails |= 4;
        _exit(fails);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

class Icons : public AppFixture {};

TEST_F(Icons, TheWindowKeepsOnlyTheIconItShows) {
    InstallIconLookup();
    const size_t before = IconHandleCount();
    w_->Button4->click();
    const QString a = MakeFile(QStringLiteral("a.txt"), std::string("abc"));
    for (int i = 0; i < 5; ++i) w_->AnalyzeFile(a);
    EXPECT_LE(IconHandleCount(), before + 1);
    SetIconLookup(nullptr);
}

}  // namespace
