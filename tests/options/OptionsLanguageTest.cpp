// The options dialog in either language: English from the compiled translation on every page,
// hidden ones included, Japanese as written, and tavr2.ini the same bytes whichever is shown.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/Translations.h"
#include "components/QL_ImageLabel.h"
#include "fakes/AppFixture.h"
#include "fakes/ScratchHome.h"
#include "fakes/CaptionChecks.h"
#include "fakes/WindowChecks.h"
#include "options/CustomOption.h"
#include "options/IntegrationPages.h"
#include "options/ReportPage.h"

namespace fs = std::filesystem;

namespace {

// Keeps the tray notices start-up hands over.
class TNoticeSeams : public TStartupSeams {
public:
    std::vector<std::vector<TNoticeLine>> Notices;
    void ShowTrayNotice(const std::vector<TNoticeLine>& lines) override { Notices.push_back(lines); }
};

class OptionsLanguage : public AppFixture {
protected:
    // The pages read the desktop's state: from a scratch home, never the user's.
    void SetUp() override {
        AppFixture::SetUp();
        home_ = std::make_unique<TScratchHome>(dir_->path() / "home");
    }
    void TearDown() override {
        o_.reset();
        AppFixture::TearDown();
        RemoveLanguage();
        home_.reset();
    }

    // A main window and the options form made in `language`, its start-up run.
    Tcustomoption& Make(TLanguage language) {
        o_.reset();
        w_.reset();
        RemoveLanguage();
        EXPECT_TRUE(InstallLanguage(language));
        w_ = std::make_unique<TTavrenneUnderTest>();
        o_ = std::make_unique<Tcustomoption>(*w_);
        o_->SetStartupSeams(&seams_);
        o_->FormCreate({"x"});
        return *o_;
    }
    // The page of tree node `position` shown as a click would show it.
    void Choose(int position) {
        o_->TreeView1->clearSelection();
        o_->TreeNode(position)->setSelected(true);
        o_->ShowPage();
    }
    std::string IniPath() const { return ProgramLayout().SettingsFile(); }

    TNoticeSeams seams_;
    std::unique_ptr<Tcustomoption> o_;
    std::unique_ptr<TScratchHome> home_;
};

TEST_F(OptionsLanguage, InEnglishEveryPageIsEnglishAndWhole) {
    Make(TLanguage::English);
    EXPECT_EQ(JapaneseTexts(*o_), QStringList());
    EXPECT_GT(WindowTexts(*o_).size(), 80u);   // the walk saw every page, not only the one shown
    for (const auto& [name, text] : LinkTexts(*o_)) EXPECT_FALSE(HasJapanese(text)) << name.toStdString();
    o_->show();
    for (int i = 0; i < Tcustomoption::kNodeCount; ++i) {
        SCOPED_TRACE(i);
        Choose(i);
        EXPECT_FALSE(HasJapanese(o_->TreeNode(i)->text(0))) << o_->TreeNode(i)->text(0).toStdString();
        EXPECT_FALSE(HasJapanese(o_->PageTitle())) << o_->PageTitle().toStdString();
        EXPECT_FALSE(HasJapanese(o_->PageControl1->currentWidget()->windowTitle()));
        EXPECT_EQ(CutLabels(*o_->PageControl1->currentWidget()), QStringList());
        EXPECT_EQ(CutCaptions(*o_->PageControl1->currentWidget()), QStringList());
        EXPECT_EQ(OutsideParent(*o_->PageControl1->currentWidget()), QStringList());
    }
    EXPECT_EQ(CutCaptions(*o_), QStringList());
    EXPECT_TRUE(IsFixedDialog(*o_));
    EXPECT_EQ(o_->size(), QSize(588, 450));
}

TEST_F(OptionsLanguage, InEnglishTheKeyCaptionsAndBoxes) {
    Make(TLanguage::English);
    const struct {
        QString shown;
        const char* expected;
    } captions[] = {
        {o_->windowTitle(), "Tavrenne 2.46 Settings"},
        {o_->TreeNode(0)->text(0), "General"},
        {o_->TreeNode(3)->text(0), "MD5 File Association"},
        {o_->TreeNode(10)->text(0), "Create a Report"},
        {o_->Button1->text(), "Close"},
        {o_->CheckBox2->text(), "Always show file sizes in bytes"},
        {o_->Label20->text(), "Language:"},
        {o_->ComboBox4->itemText(0), "Automatic"},
        {o_->ComboBox4->itemText(1), "Japanese"},
        {o_->ComboBox4->itemText(2), "English"},
        {o_->Label21->text(), "*A change takes effect at the next start"},
        {o_->ComboBox1->itemText(1), "High"},
        {o_->BitBtn3->text(), "Clear Cache"},
        {o_->Button6->text(), "Full Reset"},
        {o_->Button3->text(), "Browse..."},
        {o_->QL_ImageLabel3->Text(), "View Help..."},
        {o_->AssociationPage->BitBtn2->text(), "Apply Association"},
        {o_->ShellPage->RadioGroup1Items[1]->text(), "Integration on"},
        {o_->ShortcutPage->ComboBox3->itemText(3), "All"},
        {o_->ShortcutPage->BitBtn4->text(), "Create/Remove"},
        {o_->ReportPage->GroupBox3->title(), "System Information"},
        // Already English in Japanese too.
        {o_->CheckBox21->text(), "&Save Config"},
        {o_->ReportPage->Button8->text(), "&Save"},
    };
    for (const auto& c : captions) EXPECT_EQ(c.shown, QString::fromUtf8(c.expected));
    Choose(2);
    EXPECT_EQ(o_->PageTitle(), QStringLiteral("Buffer Settings"));

    // The reset's question names the full reset's button as it is shown.
    dialogs_.MessageAnswers = {TMsgResult::No};
    o_->Button2Click();
    const auto asked = dialogs_.Messages();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, QStringLiteral("Confirm"));
    EXPECT_EQ(asked[0].Text, QStringLiteral("The settings go back to their initial values; only the General and "
                                            "Advanced settings are reset.\r\nTo reset the desktop integration as well, "
                                            "click \"Full Reset\"."));
    EXPECT_EQ(asked[0].Icon, TMsgIcon::Question);
}

TEST_F(OptionsLanguage, TheFirstStartNoticeFollowsTheLanguage) {
    const std::pair<TLanguage, const char*> cases[] = {
        {TLanguage::Japanese, "Tavrenneが新規に導入されました"},
        {TLanguage::English, "Tavrenne has been installed"},
    };
    for (const auto& [language, text] : cases) {
        seams_.Notices.clear();
        o_.reset();   // its exit writes the file
        fs::remove(IniPath());
        Make(language);
        ASSERT_EQ(seams_.Notices.size(), 1u);
        EXPECT_EQ(seams_.Notices[0], (std::vector<TNoticeLine>{{QString::fromUtf8(text), 7, 50}}));
    }
}

TEST_F(OptionsLanguage, InJapaneseEveryTextIsAsWritten) {
    Make(TLanguage::Japanese);
    const auto written = WindowTexts(*o_);
    const auto links = LinkTexts(*o_);
    EXPECT_EQ(o_->windowTitle(), QStringLiteral("Tavrenne 2.46の設定"));
    EXPECT_EQ(o_->TreeNode(10)->text(0), QStringLiteral("レポートの作成"));
    EXPECT_EQ(o_->Label21->text(), QStringLiteral("*変更は次回の起動から有効になります"));
    EXPECT_EQ(o_->ComboBox4->itemText(1), QStringLiteral("日本語"));
    EXPECT_EQ(links.at(QStringLiteral("QL_ImageLabel1")), QStringLiteral("開発元へメール"));
    dialogs_.MessageAnswers = {TMsgResult::No};
    o_->Button2Click();
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Text,
              QStringLiteral("設定を初期値へ戻します。初期化されるのは基本設定と追加設定です。\r\n"
                             "システムを含めて初期化する場合は\"完全な初期化\"ボタンをクリックして下さい"));
    // After English, nothing of it stays.
    Make(TLanguage::English);
    Make(TLanguage::Japanese);
    EXPECT_EQ(WindowTexts(*o_), written);
    EXPECT_EQ(LinkTexts(*o_), links);
}

// The settings file is read by the program, not by people: the language changes none of its bytes.
TEST_F(OptionsLanguage, TheSettingsFileIsTheSameInBothLanguages) {
    const std::string given =
        "[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#Priority=2\r\n#Use FileCache=1\r\n#CacheOver=1\r\n"
        "#CacheCount=4\r\n#UseSound=1\r\n#SoundFile_1=/snd/done.wav\r\n#Language=en\r\n";
    std::map<TLanguage, std::string> written;
    for (TLanguage language : {TLanguage::Japanese, TLanguage::English}) {
        std::ofstream(IniPath(), std::ios::binary | std::ios::trunc) << given;
        Make(language);
        // Read the same whatever the lists show.
        EXPECT_EQ(o_->ComboBox1->currentIndex(), 2);
        EXPECT_EQ(o_->CacheLimit(), 1000);
        EXPECT_EQ(o_->ComboBox4->currentIndex(), 2);
        // Changed through the lists whose items are translated.
        o_->ComboBox1->setCurrentIndex(1);
        o_->ComboBox4->setCurrentIndex(1);
        o_.reset();
        written[language] = ReadBytes(IniPath());
    }
    EXPECT_NE(written[TLanguage::Japanese].find("#Priority=1\r\n"), std::string::npos);
    EXPECT_NE(written[TLanguage::Japanese].find("#CacheCount=4\r\n"), std::string::npos);
    EXPECT_NE(written[TLanguage::Japanese].find("#Language=ja\r\n"), std::string::npos);
    EXPECT_EQ(written[TLanguage::English], written[TLanguage::Japanese]);
}

}  // namespace
