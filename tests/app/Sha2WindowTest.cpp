// SHA-256 and SHA-512 in the main window, a pasted value of any kind, and the checksum lists
// lying beside the analysed file.
#include <QTest>
#include <algorithm>
#include <cstring>

#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"

namespace {

constexpr const char* kSha256Abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kSha512Abc =
    "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd"
    "454d4423643ce80e2a9ac94fa54ca49f";

class Sha2Window : public AppFixture {
protected:
    QString Abc() { return MakeFile(QStringLiteral("abc.txt"), std::string("abc")); }
    QStringList LogTexts(int from = 0) const {
        QStringList out;
        for (const TLogLine& l : Log(from)) out << l.Text;
        return out;
    }
};

TEST_F(Sha2Window, ChoicesJoinTheGroupAndTheirRowsGrowTheWindowOnlyWhileShown) {
    w_->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w_->CheckBox8->text(), QStringLiteral("SHA-256を取得"));
    EXPECT_EQ(w_->CheckBox9->text(), QStringLiteral("SHA-512を取得"));
    EXPECT_FALSE(w_->CheckBox8->isChecked());
    EXPECT_FALSE(w_->CheckBox9->isChecked());
    EXPECT_EQ(w_->CheckBox8->parentWidget(), w_->GroupBox1);
    EXPECT_TRUE(w_->LabeledEdit4->isHidden());
    EXPECT_TRUE(w_->LabeledEdit5->isHidden());
    // Every choice and both buttons inside the group, none over another.
    const QRect inside = w_->GroupBox1->contentsRect();
    QList<QWidget*> parts{w_->CheckBox4, w_->CheckBox5, w_->CheckBox6, w_->CheckBox8, w_->CheckBox9, w_->Button4};
    for (int i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(inside.contains(parts[i]->geometry())) << i;
        for (int j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(parts[i]->geometry().intersects(parts[j]->geometry()));
    }
    for (QCheckBox* box : {w_->CheckBox4, w_->CheckBox5, w_->CheckBox6, w_->CheckBox8, w_->CheckBox9})
        EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
    EXPECT_LE(w_->GroupBox1->geometry().bottom(), w_->CheckBox3->geometry().top());

    const QRect panel = w_->Panel1->geometry(), list = w_->ListView1->geometry(), compare = w_->Edit1->geometry();
    w_->CheckBox8->click();
    EXPECT_FALSE(w_->LabeledEdit4->isHidden());
    EXPECT_EQ(w_->findChild<QLabel*>(QStringLiteral("LabeledEdit4Label"))->text(), QStringLiteral("SHA-256"));
    EXPECT_EQ(w_->height(), 513 + 44);
    EXPECT_EQ(w_->minimumHeight(), 513 + 44);
    EXPECT_EQ(w_->Panel1->geometry(), panel.adjusted(0, 0, 0, 44));
    EXPECT_EQ(w_->ListView1->geometry(), list.translated(0, 44));
    EXPECT_EQ(w_->Edit1->geometry(), compare.translated(0, 44));
    EXPECT_GT(w_->LabeledEdit4->geometry().top(), w_->LabeledEdit3->geometry().bottom());
    EXPECT_LT(w_->LabeledEdit4->geometry().bottom(), w_->CheckBox3->geometry().top());
    w_->CheckBox9->click();
    EXPECT_EQ(w_->height(), 513 + 88);
    EXPECT_GT(w_->LabeledEdit5->geometry().top(), w_->LabeledEdit4->geometry().bottom());
    EXPECT_EQ(CutLabels(*w_), QStringList());
    // The log hidden and shown again keeps the taller design.
    w_->SpeedButton1->click();
    w_->SpeedButton1->click();
    EXPECT_EQ(w_->height(), 513 + 88);
    EXPECT_EQ(w_->ListView1->geometry(), list.translated(0, 88));

    w_->Button5->click();   // AllOff takes them too: the window is as it was
    EXPECT_FALSE(w_->CheckBox8->isChecked() || w_->CheckBox9->isChecked());
    EXPECT_EQ(w_->size(), QSize(628, 513));
    EXPECT_EQ(w_->minimumSize(), QSize(628, 513));
    EXPECT_EQ(w_->Panel1->geometry(), panel);
    EXPECT_EQ(w_->ListView1->geometry(), list);
    EXPECT_EQ(w_->Edit1->geometry(), compare);
    w_->Button4->click();
    EXPECT_TRUE(w_->CheckBox8->isChecked() && w_->CheckBox9->isChecked() && w_->CheckBox4->isChecked());
}

TEST_F(Sha2Window, BothDigestsInOneReadWithLogResultTextCaseAndMascot) {
    w_->Button4->click();
    w_->ListView1->clear();
    int engines = 0;
    TDigestSet read;
    w_->EngineFactory = [&](TDigestSet kinds) {
        ++engines;
        if (!kinds.Has(TDigestKind::CRC32) || kinds.Count() > 1) read = kinds;
        return TAnalysisRun::MakeEngine(kinds);
    };
    w_->AnalyzeFile(TPath(Abc()));
    // The information engine, then one read for every digest (the cache is off).
    EXPECT_EQ(engines, 2);
    EXPECT_TRUE(read.Has(TDigestKind::SHA256) && read.Has(TDigestKind::SHA512) && read.Has(TDigestKind::MD5));
    EXPECT_EQ(w_->LabeledEdit4->text(), QString::fromLatin1(kSha256Abc));
    EXPECT_EQ(w_->LabeledEdit5->text(), QString::fromLatin1(kSha512Abc));
    const QStringList log = LogTexts();
    const QStringList tail = log.mid(log.size() - 5);
    EXPECT_EQ(tail, (QStringList{"abc.txtのSHA256取得を開始", "abc.txtのSHA256取得完了", "abc.txtのSHA512取得を開始",
                                 "abc.txtのSHA512取得完了", kElapsedZero}));

    w_->Action6->trigger();
    ASSERT_EQ(platform_.Clipboard.size(), 1);
    const QStringList lines = platform_.Clipboard[0].split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[14], QStringLiteral("SHA-1:a9993e364706816aba3e25717850c26c9cd0d89d"));
    EXPECT_EQ(lines[15], QStringLiteral("SHA-256:") + QString::fromLatin1(kSha256Abc));
    EXPECT_EQ(lines[16], QStringLiteral("SHA-512:") + QString::fromLatin1(kSha512Abc));
    EXPECT_TRUE(lines[17].isEmpty());

    const QString script = w_->MascotScriptText(TMascotScript::Results);
    EXPECT_TRUE(script.contains(QStringLiteral("\\nSHA1:a9993e364706816aba3e25717850c26c9cd0d89d\\nSHA256:") +
                                QString::fromLatin1(kSha256Abc) + QStringLiteral("\\nSHA512:")))
        << script.toStdString();

    w_->Action17->trigger();
    EXPECT_EQ(w_->LabeledEdit4->text(), QString::fromLatin1(kSha256Abc).toUpper());
    EXPECT_EQ(w_->LabeledEdit5->text(), QString::fromLatin1(kSha512Abc).toUpper());
    // Cleared, the rows of chosen kinds stay; the others go with their texts.
    w_->CheckBox9->setChecked(false);
    EXPECT_FALSE(w_->LabeledEdit5->isHidden());
    w_->ResetDisplay(true);
    EXPECT_TRUE(w_->LabeledEdit5->isHidden());
    EXPECT_FALSE(w_->LabeledEdit4->isHidden());
    EXPECT_TRUE(w_->LabeledEdit4->text().isEmpty());
}

struct PastedCase {
    const char* value;
    const char* line;   // nullptr: no comparison line
};

TEST_F(Sha2Window, APastedValueComparesAsTheKindOfItsLength) {
    const QString sha512 = QString::fromLatin1(kSha512Abc);
    const PastedCase cases[] = {
        {"352441c2", "CRC32を比較 ---> 一致"},
        {" 900150983CD24FB0D6963F7D28E17F72\t", "MD5を比較 ---> 一致"},
        {"a9993e364706816aba3e25717850c26c9cd0d89d", "SHA-1を比較 ---> 一致"},
        {kSha256Abc, "SHA-256を比較 ---> 一致"},
        {"00000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "000000000000000000000000000000000000",
         "SHA-512を比較 ---> 不一致"},
        {"352441c2aa", nullptr},
    };
    const QString path = Abc();
    for (const PastedCase& c : cases) {
        // MD5 alone is chosen: the value's kind is computed whatever the boxes say.
        w_->CheckBox4->setChecked(false);
        w_->CheckBox6->setChecked(false);
        w_->CheckBox3->setChecked(true);
        w_->ComboBox1->setCurrentIndex(5);
        EXPECT_EQ(w_->ComboBox1->currentText(), QStringLiteral("自動"));
        w_->Edit1->setText(QString::fromLatin1(c.value));
        const int from = LogCount();
        w_->AnalyzeFile(TPath(path));
        const QStringList log = LogTexts(from);
        if (c.line) {
            EXPECT_TRUE(log.contains(QString::fromUtf8(c.line))) << c.value;
            EXPECT_EQ(w_->Edit1->text(), QString::fromLatin1(c.value).trimmed()) << c.value;
        } else {
            EXPECT_FALSE(log.join(QLatin1Char('\n')).contains(QStringLiteral("を比較"))) << c.value;
            const auto lines = Log(from);
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const TLogLine& l) {
                return l.Kind == lkWarning && l.Text.startsWith(QStringLiteral("比較する値(10文字)"));
            }));
        }
        EXPECT_FALSE(w_->LastRunFailed());
        // The value's kind is computed and shown; a wrong length computes nothing more.
        if (std::strlen(c.value) == 128) {
            EXPECT_EQ(w_->LabeledEdit5->text(), QString::fromLatin1(kSha512Abc));
        }
        if (!c.line) {
            EXPECT_TRUE(w_->LabeledEdit1->text().isEmpty() && w_->LabeledEdit4->text().isEmpty());
        }
    }

    // SHA-512 chosen by name is computed without its box.
    w_->ComboBox1->setCurrentIndex(4);
    w_->Edit1->setText(sha512);
    const int from = LogCount();
    w_->AnalyzeFile(TPath(path));
    EXPECT_TRUE(LogTexts(from).contains(QStringLiteral("SHA-512を比較 ---> 一致")));
    // An empty value compares nothing, as always.
    w_->CheckBox3->setChecked(true);
    w_->ComboBox1->setCurrentIndex(5);
    w_->Edit1->clear();
    const int before = LogCount();
    w_->AnalyzeFile(TPath(path));
    EXPECT_FALSE(w_->CheckBox3->isChecked());
    EXPECT_FALSE(LogTexts(before).join(QLatin1Char('\n')).contains(QStringLiteral("比較")));
}

TEST_F(Sha2Window, ListsBesideTheFileAreComparedOneLineEach) {
    const QString file = MakeFile(QStringLiteral("data.bin"), std::string("abc"));
    MakeFile(QStringLiteral("data.bin.sha256"), std::string(kSha256Abc) + "  data.bin\n");
    MakeFile(QStringLiteral("SHA512SUMS"), "SHA512 (data.bin) = " + std::string(64, '0') + std::string(64, '1') + "\n");
    MakeFile(QStringLiteral("CHECKSUMS"), std::string(kSha256Abc) + "  other.bin\n");
    MakeFile(QStringLiteral("MD5SUMS"), std::string("これはチェックサムではありません\n"));
    MakeFile(QStringLiteral("files.sfv"), std::string("; made by hand\r\ndata.bin 352441C2\r\n"));
    MakeFile(QStringLiteral("data.bin.MD5"), std::string(kMd5Abc) + " data.bin\r\n");   // the sidecar's own rules
    MakeFile(QStringLiteral("data.bin.sha1"), std::string("\0\1binary", 8));
    w_->Button5->click();   // nothing chosen: the lists ask for what they need
    const int from = LogCount();
    w_->AnalyzeFile(TPath(file));
    std::vector<TLogLine> lists;
    for (const TLogLine& l : Log(from))
        if (l.Text.contains(QStringLiteral(": ")) &&
            (l.Text.contains(QStringLiteral("を比較 ---> ")) || l.Text.contains(QStringLiteral("読み飛ばしました"))))
            lists.push_back(l);
    const std::vector<TLogLine> expected = {
        {QStringLiteral("data.bin.sha256: SHA-256を比較 ---> 一致"), lkInformation},
        {QStringLiteral("data.bin.sha1: チェックサムリストではないため読み飛ばしました"), lkInformation},
        {QStringLiteral("SHA512SUMS: SHA-512を比較 ---> 不一致"), lkWarning},
        {QStringLiteral("MD5SUMS: チェックサムリストではないため読み飛ばしました"), lkInformation},
        {QStringLiteral("files.sfv: CRC32を比較 ---> 一致"), lkInformation},
    };
    EXPECT_EQ(lists, expected);
    EXPECT_EQ(Log().back().Text, kElapsedZero);   // the list lines come before the elapsed time
    EXPECT_EQ(w_->LabeledEdit1->text(), QString::fromLatin1(kCrcAbc));
    EXPECT_TRUE(dialogs_.Calls.empty());

    // Switched off, the same folder adds nothing.
    settings_.Values.ListsBeside = false;
    w_->LabeledEdit1->clear();
    const int off = LogCount();
    w_->AnalyzeFile(TPath(file));
    for (const TLogLine& l : Log(off))
        EXPECT_FALSE(l.Text.contains(QStringLiteral(": ")) && l.Text.contains(QStringLiteral("を比較"))) << l.Text.toStdString();
    EXPECT_TRUE(w_->LabeledEdit1->text().isEmpty());
}

}  // namespace
