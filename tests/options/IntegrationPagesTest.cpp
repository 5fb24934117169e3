// The association, shell and shortcut pages on real widgets, against the desktop files of a
// scratch home (HOME and the XDG folders point into a temporary folder); the helper is never
// run, the fake platform records its starts.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "fakes/AppFixture.h"
#include "fakes/ScratchHome.h"
#include "desktop/DesktopIntegration.h"
#include "options/IntegrationPages.h"
#include "platform/ShellFolders.h"

namespace fs = std::filesystem;

namespace {


using TStarts = std::vector<std::pair<QString, QString>>;

class IntegrationPages : public AppFixture {
protected:
    fs::path home_;
    TDesktopEnv env_;
    std::string program_;
    std::unique_ptr<TScratchHome> scratch_;

    void SetUp() override {
        AppFixture::SetUp();
        home_ = dir_->path() / "scratch";
        scratch_ = std::make_unique<TScratchHome>(home_);
        for (const char* sub : {"home/Desktop", "data/applications"}) fs::create_directories(home_ / sub);
        env_ = TDesktopEnv::FromEnvironment();
        program_ = platform_.ProgramFile().toStdString();
    }
    void TearDown() override {
        scratch_.reset();
        AppFixture::TearDown();
    }

    QString Helper() const { return platform_.Folder + QStringLiteral("/tavrfix"); }
    void Associate(int icon) const { ASSERT_TRUE(InstallAssociation(env_, program_, icon, NoTools)); }
    static QImage Picture(const QLabel* label) { return label->pixmap().toImage(); }
    static QImage Icon(int index) { return Md5IconPixmap(index, 32).toImage(); }
    static int Checked(QRadioButton* const (&items)[2]) { return items[1]->isChecked() ? 1 : items[0]->isChecked() ? 0 : -1; }
    // One answered question: its caption, text, buttons and icon.
    void ExpectQuestion(const QString& text) const {
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].Caption, w_->ApplicationTitle());
        EXPECT_EQ(messages[0].Text, text);
        EXPECT_EQ(messages[0].Buttons, TMsgButtons::YesNo);
        EXPECT_EQ(messages[0].Icon, TMsgIcon::Question);
    }
};

TEST_F(IntegrationPages, ShowStateReadsTheAssociationFromTheDesktopFiles) {
    struct Case {
        const char* Name;
        std::function<void()> Arrange;
        int Item;        // RadioGroup2
        int Preview;     // icon shown, -1: hidden
        int IconIndex;   // FIconIndex afterwards (the list stood at 5)
    };
    const Case cases[] = {
        {"icon 12", [&] { Associate(12); }, 1, 12, 12},
        {"no comma: our package names another icon",
         [&] {
             Associate(12);
             std::string text = ReadBytes(MimePackageFile(env_));
             text.replace(text.find(Md5IconName(12)), Md5IconName(12).size(), "text-x-generic");
             std::ofstream(MimePackageFile(env_), std::ios::binary | std::ios::trunc) << text;
         },
         1, -1, 5},
        {"package without the default",
         [&] {
             Associate(3);
             fs::remove(home_ / "config/mimeapps.list");
         },
         0, -1, 5},
        {"default without the package",
         [&] {
             Associate(3);
             fs::remove(MimePackageFile(env_));
         },
         0, -1, 5},
        {"nothing", [] {}, 0, -1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(home_ / "data");
        fs::remove_all(home_ / "config");
        c.Arrange();
        TAssociationPage page(*w_, nullptr);
        page.IconList->setCurrentRow(5);
        // Start from the other item, so the state is seen to be set.
        page.RadioGroup2Items[1 - c.Item]->setChecked(true);
        page.ShowState();
        EXPECT_EQ(Checked(page.RadioGroup2Items), c.Item);
        EXPECT_EQ(!page.Image5->isHidden(), c.Preview >= 0);
        if (c.Preview >= 0) {
            EXPECT_EQ(Picture(page.Image5), Icon(c.Preview));
        }
        EXPECT_EQ(page.Association().FIconIndex, c.IconIndex);
        EXPECT_EQ(page.SelectedIcon(), 5);   // showing the state leaves the list alone
    }
    EXPECT_TRUE(platform_.Started.empty());
    EXPECT_NE(Icon(12), Icon(0));   // the pictures tell the icons apart
}

TEST_F(IntegrationPages, ApplyingTheAssociationAsksThenStartsTheHelper) {
    struct Case {
        const char* Name;
        TMsgResult Answer;
        int Item;
        TStarts Started;
        bool PreviewShown;
    };
    const Case cases[] = {
        {"有効, icon 7", TMsgResult::Yes, 1, {{Helper(), QStringLiteral("-I 7")}}, true},
        {"無効", TMsgResult::Yes, 0, {{Helper(), QStringLiteral("-F")}}, false},
        {"No", TMsgResult::No, 1, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        dialogs_.Calls.clear();
        platform_.Started.clear();
        fs::remove_all(home_ / "data");
        fs::remove_all(home_ / "config");
        // Associated with icon 12 when the dialog was shown last, gone by now.
        Associate(12);
        TAssociationPage page(*w_, nullptr);
        page.ShowState();
        ASSERT_EQ(Picture(page.Image5), Icon(12));
        fs::remove(MimePackageFile(env_));
        page.ShowState();
        ASSERT_TRUE(page.Image5->isHidden());

        page.IconList->setCurrentRow(7);
        page.RadioGroup2Items[c.Item]->setChecked(true);
        dialogs_.MessageAnswers = {c.Answer};
        page.BitBtn2->click();
        ExpectQuestion(QStringLiteral("MD5ファイルの関連付けを切り替えます　よろしいですか？ "));
        EXPECT_EQ(platform_.Started, c.Started);
        // At once, without waiting for the helper, and still the previous picture.
        EXPECT_EQ(!page.Image5->isHidden(), c.PreviewShown);
        EXPECT_EQ(Picture(page.Image5), Icon(12));
    }
}

TEST_F(IntegrationPages, StartUpReappliesTheIconTheDesktopHas) {
    {
        TAssociationPage page(*w_, nullptr);
        EXPECT_FALSE(page.AssociationPresent());
    }
    Associate(12);
    TAssociationPage page(*w_, nullptr);
    EXPECT_TRUE(page.CheckBox1->isChecked());
    EXPECT_EQ(page.SelectedIcon(), 0);
    ASSERT_TRUE(page.AssociationPresent());
    page.ReapplyAssociation();
    EXPECT_EQ(platform_.Started, (TStarts{{Helper(), QStringLiteral("-I 12")}}));
    EXPECT_EQ(page.SelectedIcon(), 12);
    EXPECT_FALSE(page.Image5->isHidden());
    EXPECT_TRUE(dialogs_.Calls.empty());
}

TEST_F(IntegrationPages, TheIconListKeepsASelection) {
    TAssociationPage page(*w_, nullptr);
    page.resize(588, 450);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QListWidget* list = page.IconList;
    ASSERT_EQ(list->count(), 15);
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_EQ(list->item(i)->text(), QString::number(i));
        EXPECT_EQ(list->item(i)->icon().pixmap(32, 32).toImage(), Icon(i)) << i;
    }
    EXPECT_EQ(page.SelectedIcon(), 0);

    auto click = [&](QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
    };
    const QPoint five = list->visualItemRect(list->item(5)).center();
    click(five);
    EXPECT_EQ(page.SelectedIcon(), 5);
    EXPECT_EQ(page.Association().FIconIndex, 5);

    // Ctrl+click takes the selection away; the list puts it back.
    click(five, Qt::ControlModifier);
    EXPECT_EQ(page.SelectedIcon(), 5);
    // A click beside every item.
    const QRect last = list->visualItemRect(list->item(14));
    const QPoint empty(list->viewport()->width() - 3, list->viewport()->height() - 3);
    ASSERT_FALSE(last.contains(empty));
    ASSERT_EQ(list->itemAt(empty), nullptr);
    click(empty);
    EXPECT_EQ(page.SelectedIcon(), 5);
    EXPECT_EQ(page.Association().FIconIndex, 5);
}

TEST_F(IntegrationPages, TheShellPageShowsAndSwitchesTheFileManagerActions) {
    TShellPage page(*w_, nullptr);
    EXPECT_EQ(Checked(page.RadioGroup1Items), 0);
    page.RadioGroup1Items[1]->setChecked(true);
    page.ShowState();
    EXPECT_EQ(Checked(page.RadioGroup1Items), 0);
    ASSERT_TRUE(InstallActions(env_, program_));
    page.ShowState();
    EXPECT_EQ(Checked(page.RadioGroup1Items), 1);

    const std::tuple<int, TMsgResult, TStarts> cases[] = {
        {0, TMsgResult::Yes, {{Helper(), QStringLiteral("-D")}}},
        {1, TMsgResult::Yes, {{Helper(), QStringLiteral("-S")}}},
        {1, TMsgResult::No, {}},
    };
    for (const auto& [item, answer, started] : cases) {
        SCOPED_TRACE(item);
        dialogs_.Calls.clear();
        platform_.Started.clear();
        page.RadioGroup1Items[item]->setChecked(true);
        dialogs_.MessageAnswers = {answer};
        page.Button4->click();
        ExpectQuestion(QStringLiteral("シェル拡張を切り替えます　よろしいですか？　"));
        EXPECT_EQ(platform_.Started, started);
    }
}

TEST_F(IntegrationPages, TheShortcutButtonWritesAndRemovesTheLaunchers) {
    TQL_SpFolder folders;
    GetSpecialFolders(folders);
    ASSERT_EQ(folders.Desktop, (home_ / "home/Desktop").string());
    const fs::path desktop = fs::path(folders.Desktop) / "Tavrenne.desktop";
    const fs::path sendTo = fs::path(folders.SendTo) / "Tavrenne.desktop";
    const fs::path menu = fs::path(folders.StartMenu) / "Quillory/Tavrenne.desktop";

    TShortcutPage page(*w_, nullptr);
    EXPECT_FALSE(page.CheckBox16->isChecked());
    EXPECT_FALSE(page.CheckBox17->isChecked());
    EXPECT_TRUE(page.CheckBox15->isHidden());
    EXPECT_EQ(page.ComboBox3->currentText(), QStringLiteral("MD5"));

    // A menu launcher left by an installer goes on any press, and none is made.
    fs::create_directories(menu.parent_path());
    std::ofstream(menu) << "installer";
    page.CheckBox16->setChecked(true);
    page.CheckBox17->setChecked(true);
    page.ComboBox3->setCurrentIndex(page.ComboBox3->findText(QStringLiteral("CRC32")));
    page.BitBtn4->click();
    EXPECT_NE(ReadBytes(desktop).find("\nExec=" + program_ + " %f\n"), std::string::npos) << ReadBytes(desktop);
    EXPECT_NE(ReadBytes(sendTo).find("\nExec=" + program_ + " -c %f\n"), std::string::npos) << ReadBytes(sendTo);
    EXPECT_FALSE(fs::exists(menu));
    EXPECT_TRUE(fs::is_directory(menu.parent_path()));

    page.CheckBox16->setChecked(false);
    page.BitBtn4->click();
    EXPECT_FALSE(fs::exists(desktop));
    EXPECT_TRUE(fs::exists(sendTo));
    page.CheckBox17->setChecked(false);
    page.BitBtn4->click();
    EXPECT_FALSE(fs::exists(sendTo));
    EXPECT_TRUE(dialogs_.Calls.empty());
}

}  // namespace
