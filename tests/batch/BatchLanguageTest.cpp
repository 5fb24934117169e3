// The batch window in English, from the compiled translation: its captions, boxes, rows and
// exports; the lists it writes the same bytes in either language.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTreeView>
#include <filesystem>

#include "app/Translations.h"
#include "batch/Tacdlgf.h"
#include "batch/Tallcheck.h"
#include "engine/BatchList.h"
#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"

namespace fs = std::filesystem;

namespace {

class BatchInEnglish : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Remake(TLanguage::English);
    }
    void TearDown() override {
        b_.reset();
        AppFixture::TearDown();
        RemoveLanguage();
    }
    // A main window and a batch window made in `language`.
    void Remake(TLanguage language) {
        b_.reset();
        w_.reset();
        RemoveLanguage();
        ASSERT_TRUE(InstallLanguage(language));
        w_ = std::make_unique<TTavrenneUnderTest>();
        b_ = std::make_unique<Tallcheck>(w_.get());
        b_->Wait = [](int) {};
        b_->NowText = [] { return std::string("1/2/2026 3:04:05 AM"); };
        b_->Clock = [this] { return languageClock_ += 100; };
    }
    QString Shown(int row, int cell) const { return b_->ListView1->model()->index(row, cell).data().toString(); }
    QString Header(int cell) const { return b_->ListView1->model()->headerData(cell, Qt::Horizontal).toString(); }
    void RunAnswered() {
        dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
        b_->Action3->trigger();
    }
    void ExportTo(int filter, const fs::path& chosen) {
        dialogs_.FilterAnswers.push_back(filter);
        dialogs_.FileAnswers.push_back(QString::fromStdString(chosen.string()));
        b_->BitBtn1->click();
    }
    // The texts of the window and its list's column captions still in Japanese.
    QStringList JapaneseOfWindow() {
        QStringList left = JapaneseTexts(*b_);
        for (int c = 0; c < TBatchRows::cCount; ++c)
            if (HasJapanese(Header(c))) left << QStringLiteral("header %1: ").arg(c) + Header(c);
        if (HasJapanese(b_->DateTimePicker1->text())) left << b_->DateTimePicker1->text();
        return left;
    }

    std::unique_ptr<Tallcheck> b_;
    int64_t languageClock_ = 0;
};

// Every work type and rename choice, the adding dialog too: nothing Japanese and nothing cut,
// also where the desktop's own locale is Japanese.
TEST_F(BatchInEnglish, NoTextOfAnyWorkTypeIsJapaneseOrCut) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    Remake(TLanguage::English);
    QLocale::setDefault(before);
    EXPECT_TRUE(IsFixedDialog(*b_));
    for (QAction* type : {b_->Action6, b_->Action7, b_->Action10, b_->Action13, b_->Action11, b_->Action5, b_->Action14}) {
        type->trigger();
        EXPECT_EQ(JapaneseOfWindow(), QStringList()) << type->objectName().toStdString();
        EXPECT_EQ(CutLabels(*b_), QStringList()) << type->objectName().toStdString();
    }
    b_->Action11->trigger();
    for (int type = 0; type < 3; ++type) {
        QAbstractButton* choice = b_->RadioGroup1Items->button(type);
        choice->click();
        EXPECT_FALSE(HasJapanese(b_->Label4->text())) << b_->Label4->text().toStdString();
        EXPECT_EQ(CutLabels(*b_), QStringList()) << type;
        b_->RadioGroup1->layout()->activate();
        EXPECT_LE(choice->sizeHint().width(), choice->width()) << choice->text().toStdString();
    }
    // A caption with some room on either side (a style may ask more of any button).
    for (QPushButton* button : b_->findChildren<QPushButton*>()) {
        const int text = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
        EXPECT_LE(text + 12, button->width()) << button->text().toStdString();
    }
    EXPECT_LE(b_->RadioGroup1->geometry().right(), b_->Label3->geometry().left());
    EXPECT_LE(b_->Label3->geometry().right(), b_->Edit1->geometry().left());
    EXPECT_GT(WindowTexts(*b_).size(), 30u);   // the walk found the window's texts
    // The longest English date shows whole in its picker.
    b_->DateTimePicker1->setDate(QDate(2026, 9, 30));
    EXPECT_LE(b_->DateTimePicker1->sizeHint().width(), b_->DateTimePicker1->width()) << b_->DateTimePicker1->text().toStdString();

    Tacdlgf adding(b_.get(), b_->windowTitle());
    adding.ShowProgress(3);
    EXPECT_EQ(JapaneseTexts(adding), QStringList());
    EXPECT_EQ(adding.Label1->text(), QStringLiteral("Adding files... 3"));
    EXPECT_EQ(adding.Button1->text(), QStringLiteral("&Stop"));
    EXPECT_EQ(CutLabels(adding), QStringList());
}

TEST_F(BatchInEnglish, TheKeyCaptions) {
    const QList<QAction*> menus = b_->ActionMainMenuBar1->actions();
    const struct {
        QString shown;
        const char* expected;
    } captions[] = {
        {b_->windowTitle(), "MD5 of All Files"},
        {menus[0]->text(), "&File"},
        {menus[1]->text(), "&Task"},
        {b_->Action12->text(), "Add from Fol&der..."},
        {b_->Action3->text(), "&Run Selected Task"},
        {b_->Action4->text(), "&Close"},
        {b_->Action13->text(), "&All Digests (CRC32 MD5 SHA-1)"},
        {b_->Action11->text(), "&Rename Files"},
        {b_->Action8->text(), "Set to &Now"},
        {b_->Action2->text(), "C&lear List"},
        {b_->Action14->text(), "&Verify Checksums"},
        {b_->Button2->text(), "&Add Files..."},
        {b_->BitBtn1->text(), "&Save List..."},
        {b_->Button4->text(), "Stop"},
        {b_->Label5->text(), "Current file:"},
        {b_->Label1->text(), "Overall progress:"},
        {b_->Label2->text(), "Date and time to set:"},
        {b_->Label3->text(), "Text:"},
        {b_->RadioGroup1Items->button(1)->text(), "Text + number"},
        {b_->Label4->text(), "Text + number\r\nabc.txt->NewFilename_xxx.txt"},
        {b_->StatusPanels[0]->text(), "Errors:"},
        {Header(1), "File Name"},
        {Header(2), "Current Timestamp"},
        {Header(3), "New Timestamp"},
        {Header(6), "FileSize"},
        {Header(TBatchRows::cVerdict), "Result"},
    };
    for (const auto& c : captions) EXPECT_EQ(c.shown, QString::fromUtf8(c.expected));
    b_->Action13->trigger();
    EXPECT_EQ(b_->windowTitle(), QStringLiteral("All Digests (CRC32 MD5 SHA-1)"));
    b_->Action14->trigger();
    EXPECT_EQ(b_->windowTitle(), QStringLiteral("Verify Checksums"));
}

// The boxes of adding, running and clearing, the progress texts and the cells a run fills.
TEST_F(BatchInEnglish, BoxesProgressAndRowsOfARun) {
    MakeFile(QStringLiteral("t/a.txt"), std::string("abc"));
    MakeFile(QStringLiteral("t/sub/empty.bin"), std::string());
    dialogs_.FileAnswers.push_back(QString::fromStdString((dir_->path() / "t").string()));
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    b_->Action12->trigger();
    ASSERT_EQ(b_->RowCount(), 2);
    EXPECT_EQ(dialogs_.Calls[0].Caption, QStringLiteral("Add the Files of a Folder"));
    EXPECT_EQ(dialogs_.Calls[1].Caption, QStringLiteral("Confirm"));
    EXPECT_EQ(dialogs_.Calls[1].Text, QStringLiteral("Add the files in subfolders too?"));
    const QRegularExpression time(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    for (int r = 0; r < 2; ++r) {
        EXPECT_TRUE(time.match(Shown(r, TBatchRows::cCurrentTime)).hasMatch()) << Shown(r, 2).toStdString();
        EXPECT_TRUE(time.match(Shown(r, TBatchRows::cNewTime)).hasMatch()) << Shown(r, 3).toStdString();
    }

    b_->Action13->trigger();
    QStringList progress;
    SetMessagePump([&] {
        for (const QString& text : {b_->Label1->text(), b_->Label5->text()})
            if (!progress.contains(text)) progress << text;
    });
    dialogs_.Calls.clear();
    RunAnswered();
    SetMessagePump(nullptr);
    EXPECT_TRUE(progress.contains(QStringLiteral("Phase 1 CRC32:"))) << progress.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(progress.contains(QStringLiteral("Phase 3 SHA-1:")));
    EXPECT_TRUE(progress.filter(QStringLiteral("Current file: /")).size() > 0) << progress.join(QLatin1Char('|')).toStdString();
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Text, QStringLiteral("Run the selected task?"));
    EXPECT_EQ(messages[1].Text, QStringLiteral("Finished. Errors: 0"));
    EXPECT_EQ(b_->Label1->text(), QStringLiteral("Overall progress:"));
    EXPECT_EQ(b_->Label5->text(), QStringLiteral("Current file: "));
    const int small = Shown(0, TBatchRows::cName) == QStringLiteral("a.txt") ? 0 : 1;
    EXPECT_EQ(Shown(small, TBatchRows::cSize), QString(19, QLatin1Char(' ')) + QStringLiteral("3 bytes"));
    EXPECT_EQ(Shown(1 - small, TBatchRows::cSize), QString(19, QLatin1Char(' ')) + QStringLiteral("0 bytes"));

    b_->Action11->trigger();
    b_->Edit1->setText(QStringLiteral("../x"));
    b_->Action3->trigger();
    EXPECT_EQ(dialogs_.Messages().back().Text, QStringLiteral("The text cannot contain \"/\"."));
    b_->Action2->trigger();   // answered No
    EXPECT_EQ(dialogs_.Messages().back().Text, QStringLiteral("Clear the list?"));
    EXPECT_EQ(b_->RowCount(), 2);
}

// A list verified in English: its verdicts, the closing box and the text export for people,
// whose names stay as the file system has them.
TEST_F(BatchInEnglish, AVerificationAndItsTextExport) {
    const std::string sha256OfAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const std::string zeros(64, '0');
    MakeFile(QStringLiteral("v/café.txt"), std::string("abc"));
    MakeFile(QStringLiteral("v/b.txt"), std::string("abc"));
    fs::create_directories(dir_->path() / "v/dir");
    const QString list = MakeFile(QStringLiteral("v/SHA256SUMS"), sha256OfAbc + "  café.txt\n" + zeros + "  b.txt\n" +
                                                                      zeros + "  gone.txt\n" + zeros + "  dir\n");
    b_->HandleDroppedFiles({TPath(list.toStdString())});
    ASSERT_EQ(b_->RowCount(), 4);
    EXPECT_EQ(JapaneseOfWindow(), QStringList());
    RunAnswered();
    const char* const verdicts[] = {"Match", "Mismatch", "Not found", "Unreadable"};
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Shown(r, TBatchRows::cVerdict), QString::fromLatin1(verdicts[r])) << r;
    EXPECT_EQ(dialogs_.Messages().back().Text,
              QStringLiteral("Finished. Errors: 3  Matched: 1  Mismatched: 1  Not found: 1  Unreadable: 1"));

    ExportTo(1, dir_->path() / "v/report");
    EXPECT_TRUE(dialogs_.Calls.back().Request.Filter.startsWith(QStringLiteral("Text files (*.txt)|*.txt|SHA256SUMS format|")));
    const std::string text = ReadBytes(dir_->path() / "v/report.txt");
    EXPECT_EQ(text.substr(0, 60), std::string(58, '*') + "\r\n");
    EXPECT_NE(text.find("\r\nName: café.txt\r\nPath: " + (dir_->path() / "v").string() + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCheck SHA-256: Match\r\n  Expected: " + sha256OfAbc + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCheck SHA-256: Not found\r\n"), std::string::npos);
    EXPECT_FALSE(HasJapanese(QString::fromUtf8(text.data(), qsizetype(text.size()))));
}

// The checksum lists and the files the runs change are for programs: the same bytes and names
// whichever language wrote them.
TEST_F(BatchInEnglish, ListsItWritesAreTheSameBytesInBothLanguages) {
    MakeFile(QStringLiteral("tree/a.txt"), std::string("abc"));
    MakeFile(QStringLiteral("tree/日本語.txt"), std::string("x"));
    MakeFile(QStringLiteral("tree/sub/b c.txt"), std::string("hello"));
    const std::pair<int, const char*> formats[] = {
        {2, "SHA256SUMS"}, {3, "SHA512SUMS"}, {4, "MD5SUMS"}, {5, "CheckFileList.sfv"}};
    // Each language exports beside the other, so that neither walk meets the other's lists.
    auto exportAll = [&](const char* folder) {
        fs::create_directories(dir_->path() / folder);
        dialogs_.FileAnswers.push_back(QString::fromStdString((dir_->path() / "tree").string()));
        dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
        b_->Action12->trigger();
        EXPECT_EQ(b_->RowCount(), 3);
        RunAnswered();
        std::vector<std::string> written;
        for (const auto& [filter, name] : formats) {
            ExportTo(filter, dir_->path() / folder / "CheckFileList.txt");
            written.push_back(ReadBytes(dir_->path() / folder / name));
        }
        return written;
    };
    const std::vector<std::string> english = exportAll("en");
    Remake(TLanguage::Japanese);
    const std::vector<std::string> japanese = exportAll("ja");
    ASSERT_EQ(english.size(), japanese.size());
    for (size_t i = 0; i < english.size(); ++i) {
        EXPECT_FALSE(english[i].empty()) << formats[i].second;
        EXPECT_EQ(english[i], japanese[i]) << formats[i].second;
    }
    EXPECT_NE(english[0].find("  ../tree/日本語.txt\n"), std::string::npos);
}

// Back in Japanese nothing of the English stays: the window is as written, its export Shift_JIS.
TEST_F(BatchInEnglish, InJapaneseEveryTextIsAsWritten) {
    Remake(TLanguage::Japanese);
    const auto written = WindowTexts(*b_);
    // The rename choices show whole in Japanese too.
    b_->RadioGroup1->layout()->activate();
    for (QAbstractButton* choice : b_->RadioGroup1Items->buttons())
        EXPECT_LE(choice->sizeHint().width(), choice->width()) << choice->text().toStdString();
    EXPECT_LE(b_->RadioGroup1->geometry().right(), b_->Label3->geometry().left());
    EXPECT_EQ(b_->windowTitle(), QStringLiteral("MD5 一括取得"));
    EXPECT_EQ(Header(1), QStringLiteral("ファイル名："));
    Remake(TLanguage::English);
    EXPECT_NE(WindowTexts(*b_), written);
    Remake(TLanguage::Japanese);
    EXPECT_EQ(WindowTexts(*b_), written);
    b_->AddFile(TPath(MakeFile(QStringLiteral("j/表.txt"), std::string("abc"))));
    RunAnswered();
    ExportTo(1, dir_->path() / "j/out.txt");
    const std::string text = ReadBytes(dir_->path() / "j/out.txt");
    std::vector<TBatchRow> rows{b_->Row(0)};
    EXPECT_EQ(text, ExportBytes(ExportLines(rows, "1/2/2026 3:04:05 AM")));
    EXPECT_NE(text.find(ExportBytes({"ファイル名: 表.txt"})), std::string::npos);
}

}  // namespace
