// The tools in either language: English windows, boxes and results from the compiled
// translation, and Digest password files and their settings key the same bytes in both.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "app/Translations.h"
#include "components/QL_ImageLabel.h"
#include "engine/DigestPassFile.h"
#include "fakes/AppFixture.h"
#include "fakes/CaptionChecks.h"
#include "fakes/WindowChecks.h"
#include "platform/Drives.h"
#include "text/Translate.h"
#include "tools/TDigestPassDlg.h"
#include "tools/Tconv.h"
#include "tools/Tfilesec.h"

namespace fs = std::filesystem;

namespace {

class ToolsLanguage : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ref_ = MakeFile(QStringLiteral("drive/ref.bin"), PatternBytes(2000));
        MakeFile(QStringLiteral("drive/sub/same.bin"), PatternBytes(2000));
        drive_ = QString::fromStdString(dir_->file("drive"));
        SetLocalDrives([this] { return QStringList{drive_}; });
        Use(TLanguage::English);
    }
    void TearDown() override {
        SetLocalDrives(nullptr);
        AppFixture::TearDown();
        RemoveLanguage();
    }
    void Use(TLanguage language) {
        RemoveLanguage();
        ASSERT_TRUE(InstallLanguage(language));
    }
    // No text of the window, its link labels' included, still Japanese, and no caption or
    // control cut off.
    static void ExpectEnglishAndWhole(QWidget& window) {
        window.show();   // laid out as seen
        QCoreApplication::processEvents();
        EXPECT_EQ(JapaneseTexts(window), QStringList());
        for (const auto& [name, text] : LinkTexts(window))
            EXPECT_FALSE(HasJapanese(text)) << name.toStdString() << ": " << text.toStdString();
        EXPECT_EQ(CutLabels(window), QStringList());
        EXPECT_EQ(CutCaptions(window), QStringList());
        // The Digest tool's banner is one pixel wider than the tool, as it always was.
        const QStringList outside = OutsideParent(window).filter(QRegularExpression(QStringLiteral("^(?!Image1 )")));
        EXPECT_EQ(outside, QStringList());
        EXPECT_TRUE(IsFixedDialog(window));
    }
    std::unique_ptr<TDigestPassDlg> OpenDigestTool() {
        return std::make_unique<TDigestPassDlg>(w_.get(), QPixmap(16, 16), QStringLiteral("Tavrenne 2.46"));
    }
    QString ref_, drive_;
};

TEST_F(ToolsLanguage, StringHashInEnglish) {
    Tconv d(w_.get(), w_->ApplicationTitle());
    ExpectEnglishAndWhole(d);
    EXPECT_EQ(d.size(), QSize(468, 100));
    EXPECT_EQ(d.Label2->text(), QStringLiteral("Text:"));
    EXPECT_EQ(d.CheckBox1->text(), QStringLiteral("Upper case"));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("Generate"));
    // The digest is of the text's Shift_JIS bytes whatever the language.
    d.Edit1->setText(QStringLiteral("日本語"));
    d.BitBtn1->click();
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("387d3d4780c18a32c9c90437e4b50160"));
    d.Edit1->setText(QStringLiteral("a😀"));
    d.BitBtn1->click();
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Text,
              QStringLiteral("\"😀\" cannot be represented in Shift_JIS, so no digest can be made."));
}

TEST_F(ToolsLanguage, DuplicateSearchInEnglish) {
    Tfilesec s(w_.get(), TPath(ref_));
    ExpectEnglishAndWhole(s);
    const struct {
        QString shown;
        const char* expected;
    } captions[] = {
        {s.windowTitle(), "Find Identical Files"},
        {s.PageControl1->tabText(0), "Drives"},
        {s.PageControl1->tabText(1), "Results"},
        {s.ListView1->headerItem()->text(0), "Drives to search ▼"},
        {s.Button1->text(), "Search"},
        {s.Button4->text(), "Select None"},
        {s.Label2->text(), "Progress:"},
        {s.Button5->text(), "Stop"},
        {s.Button2->text(), "Close"},
    };
    for (const auto& c : captions) EXPECT_EQ(c.shown, QString::fromUtf8(c.expected));

    dialogs_.MessageAnswers = {TMsgResult::Yes};
    s.Button1->click();
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Caption, QStringLiteral("Confirm"));
    EXPECT_EQ(dialogs_.Messages()[0].Text, QStringLiteral("Search for files with the same content as ref.bin?"));
    EXPECT_EQ(s.ListView2->topLevelItemCount(), 2);
    EXPECT_EQ(s.Label1->text(), QStringLiteral("Files with the same content found: 2\r\n"
                                               "Double-click a row to open its folder in the file manager."));
    EXPECT_EQ(CutLabels(s), QStringList());
    EXPECT_EQ(JapaneseTexts(s), QStringList());
}

TEST_F(ToolsLanguage, DigestToolInEnglishInBothHeights) {
    auto d = OpenDigestTool();
    ExpectEnglishAndWhole(*d);
    d->QL_ImageLabel1Click();
    ASSERT_EQ(d->height(), TDigestPassDlg::kFullHeight);
    ExpectEnglishAndWhole(*d);
    const struct {
        QString shown;
        const char* expected;
    } captions[] = {
        {d->windowTitle(), "Tavrenne 2.46 Digest Password Files"},
        {d->Label1->text(), "File:"},
        {d->BitBtn1->text(), "Browse..."},
        {d->RadioAdd->text(), "Add to an existing file"},
        {d->QL_ImageLabel2->Text(), "Create/Add"},
        {d->QL_ImageLabel1->Text(), " Options "},
        {d->CheckBox2->text(), "Warn before overwriting a file"},
    };
    for (const auto& c : captions) EXPECT_EQ(c.shown, QString::fromUtf8(c.expected));

    // Its boxes: empty fields, a text the file cannot hold, a missing file, an overwrite.
    d->QL_ImageLabel2Click();
    d->LabeledEdit1->setText(QStringLiteral("amy"));
    d->LabeledEdit3->setText(QStringLiteral("a:b"));
    d->LabeledEdit2->setText(QStringLiteral("pw"));
    d->QL_ImageLabel2Click();
    d->LabeledEdit3->setText(QStringLiteral("area"));
    d->SetMode(1);
    d->SetTargetPath(TPath(QString::fromStdString(dir_->file("missing.txt"))));
    d->QL_ImageLabel2Click();
    d->SetMode(0);
    d->SetTargetPath(TPath(QString::fromStdString(dir_->write("old.txt", "x:y:0\r\n"))));
    d->QL_ImageLabel2Click();   // answered No: the file stays
    const auto boxes = dialogs_.Messages();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].Text, QStringLiteral("Some fields are empty."));
    EXPECT_EQ(boxes[1].Text, QStringLiteral("The user name and the realm cannot contain \":\" or line breaks."));
    EXPECT_EQ(boxes[2].Text, QStringLiteral("The file cannot be found."));
    EXPECT_EQ(boxes[3].Caption, QStringLiteral("Confirm Overwrite"));
    EXPECT_EQ(boxes[3].Text, QStringLiteral("Creating a new file replaces the existing one. Overwrite it?"));
    EXPECT_EQ(ReadBytes(dir_->file("old.txt")), "x:y:0\r\n");
}

TEST_F(ToolsLanguage, InJapaneseEveryTextIsAsWritten) {
    // Each tool's texts, its link labels' included; the string hash's check box keeps its
    // width unless a translation needs more.
    auto texts = [this] {
        std::vector<std::map<QString, QString>> all;
        Tconv conv(w_.get(), w_->ApplicationTitle());
        all.push_back({{QStringLiteral("width"), QString::number(conv.CheckBox1->width())}});
        Tfilesec search(w_.get(), TPath(ref_));
        auto digest = OpenDigestTool();
        for (QWidget* window : std::initializer_list<QWidget*>{&conv, &search, digest.get()}) {
            all.push_back(WindowTexts(*window));
            for (const auto& [name, text] : LinkTexts(*window)) all.back()[name] = text;
        }
        return all;
    };
    Use(TLanguage::Japanese);
    const auto written = texts();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0].at(QStringLiteral("width")), QStringLiteral("77"));
    EXPECT_EQ(written[1].at(QStringLiteral("CheckBox1/QCheckBox.text")), QStringLiteral("大文字"));
    EXPECT_EQ(written[2].at(QStringLiteral("filesec/Tfilesec.title")), QStringLiteral("同一ファイル検索"));
    EXPECT_EQ(written[3].at(QStringLiteral("DigestPassDlg/TDigestPassDlg.title")),
              QStringLiteral("Tavrenne 2.46 Digest認証ツール"));
    EXPECT_EQ(written[3].at(QStringLiteral("QL_ImageLabel1")), QStringLiteral(" 拡張 "));
    Use(TLanguage::English);
    EXPECT_NE(texts(), written);
    Use(TLanguage::Japanese);
    EXPECT_EQ(texts(), written);
}

// tavrenne-cli digest-pass reads its English from the table built from the same translation.
TEST_F(ToolsLanguage, TheCommandLinesTableHasTheSameEnglish) {
    RemoveLanguage();
    SetTranslateHook(&EnglishText);
    EXPECT_EQ(DigestEntryProblem("u", "r", "p\nq"), "The password cannot contain line breaks.");
    EXPECT_EQ(DigestEntryProblem("u", "r", "😀"), "The text contains characters that Shift_JIS cannot represent.");
    SetTranslateHook(nullptr);
    EXPECT_EQ(DigestEntryProblem("u", "r", "p\nq"), "パスワードには改行を使えません");
}

// What the web server and the settings file read is the same whichever language wrote it.
TEST_F(ToolsLanguage, PasswordFilesAndTheirSettingAreTheSameInBothLanguages) {
    const std::string ini = ProgramLayout().SettingsFile();
    std::map<TLanguage, std::string> files, settings;
    for (TLanguage language : {TLanguage::Japanese, TLanguage::English}) {
        Use(language);
        fs::remove(ini);
        const std::string path = dir_->file(language == TLanguage::English ? "en.txt" : "ja.txt");
        {
            auto d = OpenDigestTool();
            d->SetTargetPath(TPath(QString::fromStdString(path)));
            const QString entries[][3] = {
                {QStringLiteral("zoe"), QStringLiteral("領域"), QStringLiteral("pw:1")},
                {QStringLiteral("Amy"), QStringLiteral("area"), QStringLiteral("パス")},
                {QStringLiteral("Amy"), QStringLiteral("area"), QStringLiteral("パス")},   // refused
                {QStringLiteral("bob"), QStringLiteral("area"), QStringLiteral("x")},
            };
            for (const auto& e : entries) {
                d->LabeledEdit1->setText(e[0]);
                d->LabeledEdit3->setText(e[1]);
                d->LabeledEdit2->setText(e[2]);
                d->QL_ImageLabel2Click();
            }
            EXPECT_TRUE(dialogs_.Messages().empty());
        }
        files[language] = ReadBytes(path);
        // Only the file's name differs between the two runs' settings.
        std::string saved = ReadBytes(ini);
        saved.replace(saved.find(path), path.size(), "PATH");
        settings[language] = saved;
    }
    EXPECT_EQ(std::count(files[TLanguage::Japanese].begin(), files[TLanguage::Japanese].end(), '\n'), 3);
    EXPECT_EQ(files[TLanguage::English], files[TLanguage::Japanese]);
    EXPECT_EQ(settings[TLanguage::Japanese], "[Tavrix_2]\r\n#Digest_Pass_Text=PATH\r\n");
    EXPECT_EQ(settings[TLanguage::English], settings[TLanguage::Japanese]);
}

}  // namespace
