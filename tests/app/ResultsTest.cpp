// Log file, result text, comparison controls and the format switch, checked byte for byte.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <sys/stat.h>

#include "fakes/AppFixture.h"
#include "text/Cp932.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray Sjis(const char* utf8) { return QByteArray::fromStdString(cp932::FromUtf8(utf8)); }

class Results : public AppFixture {};

TEST_F(Results, SaveLogWritesPrefixedLinesBetweenRulesInShiftJis) {
    w_->ListView1->clear();
    w_->AddLog(QStringLiteral("情報の行"), lkInformation);
    w_->AddLog(QStringLiteral("Error line"), lkError);
    w_->AddLog(QStringLiteral("警告"), lkWarning);
    w_->AddLog(QStringLiteral("odd"), 7);
    const QString target = QString::fromStdString(dir_->file("log.txt"));
    dialogs_.FileAnswers.push_back(target);
    w_->N1->trigger();

    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    const TFileDialogRequest& r = dialogs_.Calls[0].Request;
    EXPECT_EQ(dialogs_.Calls[0].Kind, QStringLiteral("save"));
    EXPECT_EQ(r.Filter, QStringLiteral("テキストファイル(*.txt)|*.txt"));
    EXPECT_TRUE(r.OverwritePrompt);
    EXPECT_EQ(r.FileName, platform_.Folder + QStringLiteral("/Tavrenne_Log.txt"));

    const QByteArray rule = QByteArray(79, '=') + "\r\n";
    const QByteArray expected = rule + Sjis("[I] 2026/01/02 3:04:05 情報の行\r\n") +
                                "[E] 2026/01/02 3:04:05 Error line\r\n" + Sjis("[W] 2026/01/02 3:04:05 警告\r\n") +
                                "[?] 2026/01/02 3:04:05 odd\r\n" + rule;
    EXPECT_EQ(ReadAll(target), expected);
}

TEST_F(Results, SaveLogOnEmptyListAsksNothingAndMenuFollowsTheList) {
    w_->PopupMenu1->popup(QPoint(0, 0));
    EXPECT_TRUE(w_->N1->isEnabled());
    EXPECT_TRUE(w_->N2->isEnabled());
    w_->PopupMenu1->hide();
    w_->N2->trigger();
    EXPECT_EQ(w_->ListView1->topLevelItemCount(), 0);
    w_->SaveLog();
    EXPECT_TRUE(dialogs_.Calls.empty());
    w_->PopupMenu1->popup(QPoint(0, 0));
    EXPECT_FALSE(w_->N1->isEnabled());
    EXPECT_FALSE(w_->N2->isEnabled());
    w_->PopupMenu1->hide();
}

TEST_F(Results, ResultTextOfAResetWindow) {
    const QString target = QString::fromStdString(dir_->file("r.txt"));
    ASSERT_TRUE(w_->WriteResults(TPath(target)));
    const QByteArray expected = QByteArray("\r\n") + "Tavrenne 2.46  [2026/01/02 3:04:05]\r\n" + "\r\n" + "\r\n" +
                                Sjis("ファイル名:\r\n") + Sjis("ファイルパス:\r\n") + Sjis("ファイルサイズ:\r\n") +
                                Sjis("ファイルバージョン:\r\n") + Sjis("更新日時:\r\n") + Sjis("著作権:\r\n") +
                                Sjis("読み取り専用 Ｘ 隠しファイル Ｘ \r\n") + "\r\n" + "CRC32:\r\n" + "MD5  :\r\n" +
                                "SHA-1:\r\n" + "\r\n";
    EXPECT_EQ(ReadAll(target), expected);
}

TEST_F(Results, ResultTextAfterAnAnalysisAndOnTheClipboard) {
    const QString path = MakeFile(QStringLiteral(".hidden.txt"), std::string("abc"));
    ASSERT_EQ(chmod(path.toLocal8Bit().constData(), 0444), 0);
    w_->CheckTheThree();
    w_->AnalyzeFile(TPath(path));
    w_->Action6->trigger();
    ASSERT_EQ(platform_.Clipboard.size(), 1);
    const QStringList lines = platform_.Clipboard[0].split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17);  // sixteen lines, each ended by CR LF
    EXPECT_EQ(lines[4], QStringLiteral("ファイル名: .hidden.txt"));
    EXPECT_EQ(lines[5], QStringLiteral("ファイルパス:") + path);
    EXPECT_EQ(lines[6], QStringLiteral("ファイルサイズ: 3 Bytes"));
    EXPECT_EQ(lines[10], QStringLiteral("読み取り専用 ○ 隠しファイル ○ "));
    EXPECT_EQ(lines[12], QStringLiteral("CRC32:352441c2"));
    EXPECT_EQ(lines[13], QStringLiteral("MD5  :900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(lines[14], QStringLiteral("SHA-1:a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_TRUE(lines[16].isEmpty());
    // The attribute boxes cannot be changed by the user.
    w_->CheckBox1->click();
    EXPECT_TRUE(w_->CheckBox1->isChecked());

    w_->Action21->trigger();
    w_->Action22->trigger();
    EXPECT_EQ(platform_.Clipboard.mid(1), (QStringList{QStringLiteral(".hidden.txt"), path}));
}

TEST_F(Results, SaveResultsForcesTheTxtExtension) {
    w_->AnalyzeFile(TPath(MakeFile(QStringLiteral("data.bin"), std::string("abc"))));
    struct Case {
        const char* typed;
        const char* written;
    } cases[] = {{"report.log", "report.txt"}, {"report", "report.txt"}, {"report.TXT", "report.TXT"}};
    for (const Case& c : cases) {
        dialogs_.Calls.clear();
        dialogs_.FileAnswers.push_back(QString::fromStdString(dir_->file(c.typed)));
        w_->Action7->trigger();
        ASSERT_EQ(dialogs_.Calls.size(), 1u);
        EXPECT_EQ(dialogs_.Calls[0].Request.FileName, QStringLiteral("data.txt"));
        EXPECT_TRUE(dialogs_.Calls[0].Request.OverwritePrompt);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(dir_->file(c.written)))) << c.typed;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir_->file("report.log"))));
}

TEST_F(Results, WriteFailureNamesTheFileAndTheReason) {
    w_->AddLog(QStringLiteral("x"), lkInformation);
    const QString bad = QString::fromStdString(dir_->file("no-such-folder/out.txt"));
    EXPECT_FALSE(w_->WriteResults(TPath(bad)));
    dialogs_.FileAnswers.push_back(bad);
    w_->SaveLog();
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    for (const auto& m : messages) {
        EXPECT_EQ(m.Icon, TMsgIcon::Error);
        EXPECT_EQ(m.Caption, QStringLiteral("Tavrenne 2.46"));
        EXPECT_TRUE(m.Text.contains(bad)) << m.Text.toStdString();
        EXPECT_TRUE(m.Text.contains(QStringLiteral("No such file or directory"))) << m.Text.toStdString();
    }
}

TEST_F(Results, ComparisonBoxEnablesAndEmptiesTheValue) {
    w_->Edit1->setEnabled(true);
    w_->Edit1->setText(QStringLiteral("stale"));
    w_->CheckBox3->setChecked(true);
    EXPECT_TRUE(w_->Edit1->isEnabled());
    EXPECT_TRUE(w_->ComboBox1->isEnabled());
    EXPECT_TRUE(w_->Edit1->text().isEmpty());
    EXPECT_EQ(w_->Edit1->palette().color(QPalette::Base), QApplication::palette(w_->Edit1).color(QPalette::Base));
    w_->CheckBox3->setChecked(false);
    EXPECT_FALSE(w_->Edit1->isEnabled());
    EXPECT_FALSE(w_->ComboBox1->isEnabled());
    EXPECT_EQ(w_->Edit1->palette().color(QPalette::Base), QApplication::palette(w_->Edit1).color(QPalette::Button));
}

TEST_F(Results, CompareDigestDropsOnlyTheFirstBlank) {
    w_->LabeledEdit2->setText(QStringLiteral("abcdef"));
    w_->Edit1->setText(QStringLiteral("ABC DEF"));
    w_->CompareDigest(TDigestKind::MD5);
    EXPECT_EQ(w_->Edit1->text(), QStringLiteral("ABCDEF"));
    w_->Edit1->setText(QStringLiteral("ab cd ef"));
    w_->CompareDigest(TDigestKind::MD5);
    EXPECT_EQ(w_->Edit1->text(), QStringLiteral("abcd ef"));
    const auto log = Log();
    EXPECT_EQ(log[log.size() - 2], (TLogLine{QStringLiteral("MD5を比較 ---> 一致"), lkInformation}));
    EXPECT_EQ(log.back(), (TLogLine{QStringLiteral("MD5を比較 ---> 不一致"), lkWarning}));
}

}  // namespace
