// The options dialog as the user sees it: the page tree, showing and closing, and what the
// pages' buttons, lists and links do, with the real form and main window.
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVariantAnimation>
#include <filesystem>
#include <fstream>

#include "components/QL_Bar.h"
#include "components/QL_ImageLabel.h"
#include "components/QL_TrayIDlg.h"
#include "fakes/AppFixture.h"
#include "fakes/ScratchHome.h"
#include "fakes/WindowChecks.h"
#include "desktop/DesktopIntegration.h"
#include "options/CustomOption.h"
#include "support/TempDir.h"
#include "options/IntegrationPages.h"
#include "options/ReportPage.h"

namespace fs = std::filesystem;

namespace {

class OptionsDialog : public AppFixture {
protected:
    // The pages read the desktop's state: from a scratch home, never the user's.
    void SetUp() override {
        AppFixture::SetUp();
        home_ = std::make_unique<TScratchHome>(dir_->path() / "home");
    }
    void TearDown() override {
        o_.reset();
        AppFixture::TearDown();
        home_.reset();
    }

    // The form as the program creates it; an argument that names no file keeps the splash away.
    Tcustomoption& Start() {
        o_ = std::make_unique<Tcustomoption>(*w_);
        o_->SetStartupSeams(&quiet_);
        o_->FormCreate({"x"});
        return *o_;
    }
    void Exit() {
        w_->close();
        o_.reset();
    }
    // Shows the dialog modally and runs `inside` while it is up.
    void Execute(std::function<void()> inside) {
        QTimer::singleShot(0, o_.get(), [inside] { inside(); });
        o_->Execute();
    }
    // A click on a tree node; the page follows once the click is over.
    void ClickNode(int position) {
        QTreeWidgetItem* item = o_->TreeNode(position);
        QTest::mouseClick(o_->TreeView1->viewport(), Qt::LeftButton, {},
                          o_->TreeView1->visualItemRect(item).center());
        QCoreApplication::processEvents();
    }

    std::string IniPath() const { return ProgramLayout().SettingsFile(); }
    void WriteIni(const std::string& bytes) const { std::ofstream(IniPath(), std::ios::binary) << bytes; }
    std::string Ini() const { return ReadBytes(IniPath()); }
    QString Helper() const { return QString::fromStdString(ProgramLayout().HelperProgram()); }
    void MakeHelper() { std::ofstream(ProgramLayout().HelperProgram()) << "#!/bin/sh\n"; }

    TStartupSeams quiet_;   // no association, tray or report work
    std::unique_ptr<Tcustomoption> o_;
    std::unique_ptr<TScratchHome> home_;
};


TEST_F(OptionsDialog, EveryTreeNodeShowsItsPageAndTitle) {
    const struct {
        const char* text;
        int parent;   // position, -1 for a top node
        const char* sheet;
        const char* caption;
        const char* title;
    } nodes[] = {
        {"基本設定", -1, "TabSheet1", "基本設定", "基本設定"},
        {"追加設定", 0, "TabSheet6", "追加設定", "追加設定"},
        {"バッファ", 0, "TabSheet10", "BufferSeting", "バッファ設定"},
        {"MD5ファイルの関連付け", -1, "TabSheet2", "MD5ファイルの関連付け", "MD5関連付け設定"},
        {"シェル統合", -1, "TabSheet3", "シェル統合", "シェル統合の設定"},
        {"設定の初期化", -1, "TabSheet4", "設定の初期化", "設定の初期化"},
        {"ショートカット", -1, "TabSheet7", "ShortCut", "ショートカットコントロール"},
        {"サウンド", -1, "TabSheet9", "Sound", "サウンドの設定"},
        {"ファイルの更新検出", -1, "TabSheet11", "ReLoad", "ファイル更新の検出"},
        {"サポート", -1, "TabSheet8", "サポート", "サポート"},
        {"レポートの作成", 9, "TabSheet5", "レポート作成", "レポート作成"},
    };
    Start();
    EXPECT_EQ(o_->windowTitle(), QStringLiteral("Tavrenne 2.46の設定"));
    EXPECT_EQ(o_->minimumSize(), QSize(588, 450));
    EXPECT_EQ(o_->maximumSize(), QSize(588, 450));
    EXPECT_EQ(o_->PageControl1->count(), 11);
    o_->show();

    std::vector<QTreeWidgetItem*> shown;   // display order
    for (QTreeWidgetItemIterator it(o_->TreeView1); *it; ++it) shown.push_back(*it);
    ASSERT_EQ(shown.size(), std::size(nodes));
    // From the last node backwards, so every click changes the page.
    for (int i = int(std::size(nodes)) - 1; i >= 0; --i) {
        const auto& n = nodes[i];
        SCOPED_TRACE(n.text);
        EXPECT_EQ(shown[i]->text(0), QString::fromUtf8(n.text));
        EXPECT_EQ(shown[i]->parent(), n.parent < 0 ? nullptr : shown[n.parent]);
        if (shown[i]->childCount() > 0) {
            EXPECT_TRUE(shown[i]->isExpanded());
        }
        ClickNode(i);
        QWidget* page = o_->PageControl1->currentWidget();
        EXPECT_EQ(page->objectName(), QString::fromLatin1(n.sheet));
        EXPECT_EQ(page->windowTitle(), QString::fromUtf8(n.caption));
        EXPECT_EQ(o_->PageTitle(), QString::fromUtf8(n.title));
        for (QWidget* w : std::initializer_list<QWidget*>{o_->TreeView1, o_->Image2, o_->Bevel1, o_->Bevel3,
                                                          o_->Image4}) {
            EXPECT_EQ(w->parentWidget(), page) << w->objectName().toStdString();
            EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
        }
    }
}

TEST_F(OptionsDialog, AFixedDialogWhosePagesShowTheirCaptionsWhole) {
    Start();
    EXPECT_TRUE(IsFixedDialog(*o_));
    o_->show();
    for (int i = 0; i < Tcustomoption::kNodeCount; ++i) {
        ClickNode(i);
        EXPECT_EQ(CutLabels(*o_->PageControl1->currentWidget()), QStringList()) << i;
    }
}

// After an arrow key has chosen a page, the tree keeps the focus: the next arrow keys choose
// pages too, and no control of a page changes behind the user's back.
TEST_F(OptionsDialog, ArrowKeysInTheTreeKeepChoosingPages) {
    Start();
    o_->show();
    o_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(o_.get()));
    ClickNode(0);
    ASSERT_EQ(QApplication::focusWidget(), o_->TreeView1);
    const int priority = o_->ComboBox1->currentIndex();
    const bool shutdownBox = o_->CheckBox9->isChecked();
    QStringList pages;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCoreApplication::processEvents();   // the page follows the selection
        pages << o_->PageControl1->currentWidget()->objectName();
        EXPECT_EQ(QApplication::focusWidget(), o_->TreeView1) << i;
    }
    EXPECT_EQ(pages, (QStringList{"TabSheet6", "TabSheet10", "TabSheet2", "TabSheet3"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCoreApplication::processEvents();
    EXPECT_EQ(o_->PageControl1->currentWidget(), o_->TabSheet2);
    EXPECT_EQ(o_->ComboBox1->currentIndex(), priority);
    EXPECT_EQ(o_->CheckBox9->isChecked(), shutdownBox);
}

TEST_F(OptionsDialog, PicturesAreDrawnAtStartUp) {
    Start();
    const QImage header = o_->Image2->pixmap().toImage();
    ASSERT_EQ(header.size(), QSize(581, 69));
    auto darkIn = [](const QImage& image, QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 80;
        return n;
    };
    EXPECT_EQ(header.pixelColor(2, 66), QColor(Qt::white));
    EXPECT_GT(darkIn(header, QRect(10, 10, 100, 16)), 20);     // the bold title
    EXPECT_EQ(darkIn(header, QRect(200, 0, 120, 69)), 0);      // white between title and logo
    EXPECT_GT(darkIn(header, QRect(331, 6, 245, 58)), 100);    // the logo

    // The strip: pure blue at the left to the dialog's face colour at the right, 24 bits.
    const QImage strip = o_->TitleStrip();
    ASSERT_EQ(strip.size(), QSize(365, 37));
    EXPECT_EQ(strip.depth(), 24);
    EXPECT_EQ(strip.pixelColor(0, 20), QColor(0, 0, 255));
    EXPECT_EQ(strip.pixelColor(364, 20), o_->palette().color(QPalette::Window));
    // The title in white on it, from (11, 6), once the dialog shows.
    o_->show();
    const QImage titled = o_->Image4->pixmap().toImage();
    int white = 0;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 365; ++x) white += titled.pixelColor(x, y) == QColor(Qt::white) && (x < 11 || y < 6);
    EXPECT_EQ(white, 0);
    for (int y = 6; y < 37; ++y)
        for (int x = 11; x < 120; ++x) white += titled.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_GT(white, 20);
    EXPECT_EQ(o_->Image1->pixmap().size(), QSize(250, 200));
}

TEST_F(OptionsDialog, ShowingAgainReturnsToTheLastNodeAndClosingAppliesTheMainWindowsShare) {
    Start();
    QSignalSpy pages(o_->PageControl1, &QStackedWidget::currentChanged);
    const int soundPage = o_->PageControl1->indexOf(o_->TabSheet9);
    w_->move(40, 30);
    QPoint offset;
    Execute([&] {
        offset = o_->frameGeometry().center() - w_->frameGeometry().center();
        ClickNode(7);
        o_->CheckBox9->setChecked(true);
        o_->ComboBox1->setCurrentIndex(2);
        o_->Button1->click();
    });
    EXPECT_LE(offset.manhattanLength(), 2);   // centred on the main window
    EXPECT_FALSE(o_->isVisible());
    EXPECT_FALSE(w_->CheckBox7->isHidden());
    EXPECT_EQ(platform_.PriorityChanges, std::vector<uint32_t>{pcIdle});

    // The close box: the first page for a moment, then the page of the node selected last.
    pages.clear();
    QWidget* seen = nullptr;
    Execute([&] {
        seen = o_->PageControl1->currentWidget();
        o_->CheckBox9->setChecked(false);
        o_->ComboBox1->setCurrentIndex(0);
        o_->close();
    });
    EXPECT_EQ(seen, o_->TabSheet9);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0][0].toInt(), 0);
    EXPECT_EQ(pages[1][0].toInt(), soundPage);
    EXPECT_FALSE(o_->isVisible());
    EXPECT_TRUE(w_->CheckBox7->isHidden());
    EXPECT_EQ(platform_.PriorityChanges, (std::vector<uint32_t>{pcIdle, pcNormal}));
}

TEST_F(OptionsDialog, CacheControlsFollowTheCacheAndTheLimit) {
    // "キャッシュ上限" unchecked while the cache is off.
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#Use FileCache=0\r\n#CacheOver=0\r\n");
    Start();
    const std::vector<QWidget*> four = {o_->CheckBox12, o_->CheckBox11, o_->BitBtn3, o_->ComboBox2};
    auto enabled = [&] {
        std::vector<bool> out;
        for (QWidget* w : four) out.push_back(w->isEnabled());
        return out;
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
    o_->CheckBox10->click();
    EXPECT_FALSE(o_->CheckBox12->isChecked());
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));   // the list too
    o_->CheckBox12->click();
    EXPECT_TRUE(o_->ComboBox2->isEnabled());
    o_->CheckBox12->click();
    EXPECT_FALSE(o_->ComboBox2->isEnabled());
    o_->CheckBox10->click();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, false}));
}

TEST_F(OptionsDialog, ListsTakeArrowKeysButNoTypedCharacters) {
    Start();
    o_->CheckBox10->click();
    for (QComboBox* list : {o_->ComboBox1, o_->ComboBox2}) {
        SCOPED_TRACE(list->objectName().toStdString());
        QTest::keyClicks(list, QStringLiteral("1a"));   // "1" would pick "100" by its text
        EXPECT_EQ(list->currentIndex(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_EQ(list->currentIndex(), 1);
    }
    // A priority outside the list, as a settings file may leave it, is put back when changed.
    o_->ComboBox1->setCurrentIndex(-1);
    o_->ComboBox1Change();
    EXPECT_EQ(o_->ComboBox1->currentIndex(), 0);
}

TEST_F(OptionsDialog, BufferSliderShowsItsValueAndDefaultButtonRestoresIt) {
    Start();
    EXPECT_EQ(o_->StaticText1->text(), QStringLiteral("64KB"));
    o_->CheckBox18->click();
    QTest::keyClick(o_->QL_Bar1, Qt::Key_End);
    EXPECT_EQ(o_->StaticText1->text(), QStringLiteral("128KB"));
    o_->QL_Bar1->SetPosition(100);
    EXPECT_EQ(o_->StaticText1->text(), QStringLiteral("100KB"));
    EXPECT_EQ(o_->BufferSizeKB(), 100);

    // From 64 too the display passes the maximum on its way back.
    o_->QL_Bar1->SetPosition(64);
    QSignalSpy moves(o_->QL_Bar1, &QSlider::valueChanged);
    o_->Button5->click();
    ASSERT_EQ(moves.size(), 2);
    EXPECT_EQ(moves[0][0].toInt(), 128);
    EXPECT_EQ(moves[1][0].toInt(), 64);
    EXPECT_EQ(o_->StaticText1->text(), QStringLiteral("64KB"));
    EXPECT_TRUE(o_->CheckBox18->isChecked());
}

TEST_F(OptionsDialog, SoundFilesAreChosenForTheButtonsEditAndChecked) {
    Start();
    const QString done = MakeFile(QStringLiteral("done.wav"), std::string("RIFF"));
    const QString error = MakeFile(QStringLiteral("error.wav"), std::string("RIFF"));
    dialogs_.FileAnswers = {error};
    o_->Button10->click();
    EXPECT_EQ(o_->LabeledEdit2->text(), error);
    EXPECT_EQ(o_->LabeledEdit1->text(), QString());
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Kind, QStringLiteral("open"));
    EXPECT_EQ(dialogs_.Calls[0].Request.Filter, QStringLiteral("サウンドファイル(*.wav)|*.wav"));
    EXPECT_TRUE(dialogs_.Calls[0].Request.MustExist);
    dialogs_.FileAnswers = {done};
    o_->Button3->click();
    EXPECT_EQ(o_->LabeledEdit1->text(), done);
    o_->Button3->click();   // cancelled
    EXPECT_EQ(o_->LabeledEdit1->text(), done);
    EXPECT_EQ(o_->LabeledEdit2->text(), error);

    o_->SpeedButton1->click();   // sounds are off
    EXPECT_TRUE(platform_.Sounds.isEmpty());
    o_->CheckBox20->click();
    o_->SpeedButton2->click();
    o_->SpeedButton1->click();
    EXPECT_EQ(platform_.Sounds, (QStringList{error, done}));
}

TEST_F(OptionsDialog, ResettingAsksAndPutsBackOnlyTheBasicAndAdditionalSettings) {
    MakeHelper();
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n");
    Start();
    ASSERT_TRUE(o_->Button2->isEnabled());
    // Everything away from its initial state.
    for (QCheckBox* box : {o_->CheckBox2, o_->CheckBox3, o_->CheckBox4, o_->CheckBox5, o_->CheckBox6, o_->CheckBox7,
                           o_->CheckBox8, o_->CheckBox9, o_->CheckBox14, o_->CheckBox19, o_->CheckBox20})
        box->setChecked(true);
    o_->CheckBox10->click();
    for (QCheckBox* box : {o_->CheckBox12, o_->CheckBox11, o_->CheckBox1, o_->CheckBox18, o_->CheckBox21})
        box->setChecked(false);
    o_->ComboBox2->setCurrentIndex(3);
    o_->ComboBox1->setCurrentIndex(1);
    o_->LabeledEdit1->setText(QStringLiteral("/snd/done.wav"));
    o_->LabeledEdit2->setText(QStringLiteral("/snd/error.wav"));
    o_->QL_Bar1->SetPosition(100);
    w_->CheckBox4->setChecked(true);
    const TSettings before = o_->ReadControls();

    dialogs_.MessageAnswers = {TMsgResult::No};
    o_->Button2->click();
    const auto asked = dialogs_.Messages();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Caption, QStringLiteral("確認"));
    EXPECT_EQ(asked[0].Text, QStringLiteral("設定を初期値へ戻します。初期化されるのは基本設定と追加設定です。\r\n"
                                            "システムを含めて初期化する場合は\"完全な初期化\"ボタンをクリックして下さい"));
    EXPECT_EQ(asked[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(asked[0].Icon, TMsgIcon::Question);
    EXPECT_EQ(o_->ReadControls(), before);

    dialogs_.MessageAnswers = {TMsgResult::Yes};
    platform_.CurrentPriority = pcHigh;
    o_->Button2->click();
    TSettings reset = before;
    reset.ByteLen = reset.NotUseMD5File = reset.AutoCreateMD5 = reset.UseSSTP = reset.CloseQuery = false;
    reset.ClearLog = reset.UseMD5File = reset.ShutdownOption = reset.UseFileCache = reset.NoSplash = false;
    reset.CacheOver = reset.DeleteCacheFiles = reset.SetingMD5 = reset.AutoBufferSize = true;
    reset.CacheCount = reset.Priority = 0;
    reset.SoundFile1.clear();
    reset.BufferSize = 64;
    reset.ReloadFile = reset.UseSound = false;
    // Unchanged: the digest choices, "&Save Config" and the error sound.
    EXPECT_EQ(o_->ReadControls(), reset);
    EXPECT_TRUE(w_->CheckBox4->isChecked());
    EXPECT_FALSE(o_->CheckBox21->isChecked());
    EXPECT_EQ(o_->LabeledEdit2->text(), QStringLiteral("/snd/error.wav"));
    // The cache controls go off, except the list, which keeps its state.
    EXPECT_FALSE(o_->BitBtn3->isEnabled() || o_->CheckBox12->isEnabled() || o_->CheckBox11->isEnabled());
    EXPECT_TRUE(o_->ComboBox2->isEnabled());
    // The priority follows when the dialog closes.
    EXPECT_TRUE(platform_.PriorityChanges.empty());
    o_->show();
    o_->Button1->click();
    EXPECT_EQ(platform_.PriorityChanges, std::vector<uint32_t>{pcNormal});
}

TEST_F(OptionsDialog, FullResetDeletesTheSettingsAndStartsTheHelper) {
    const std::string file = "[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n";
    // Without the helper nothing is offered or done.
    WriteIni(file);
    Start();
    EXPECT_FALSE(o_->Button6->isEnabled());
    o_->Button6Click();
    EXPECT_TRUE(dialogs_.Calls.empty());
    EXPECT_TRUE(platform_.Started.empty());
    Exit();
    EXPECT_NE(Ini(), file);   // rewritten at exit

    MakeHelper();
    WriteIni(file);
    w_ = std::make_unique<TTavrenneUnderTest>();
    Start();
    ASSERT_TRUE(o_->Button6->isEnabled());
    dialogs_.MessageAnswers = {TMsgResult::No};
    o_->Button6->click();
    EXPECT_EQ(Ini(), file);
    EXPECT_TRUE(platform_.Started.empty());
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    o_->Button6->click();
    const auto asked = dialogs_.Messages();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].Caption, QStringLiteral("確認"));
    EXPECT_EQ(asked[1].Text, QStringLiteral("すべての設定を初期化します、作業後デスクトップセッションへの再ログインが必要となります。\r\n"
                                            "続ける場合は\"はい\"をクリックしてメッセージに従ってください。"));
    EXPECT_EQ(asked[1].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(asked[1].Icon, TMsgIcon::Exclamation);
    EXPECT_FALSE(fs::exists(IniPath()));
    ASSERT_EQ(platform_.Started.size(), 1u);
    EXPECT_EQ(platform_.Started[0], std::make_pair(Helper(), QString()));
    Exit();
    EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(OptionsDialog, ChangesMadeInTheDialogAreSavedAtExitAndReadAtTheNextStart) {
    Start();
    const QString sound = MakeFile(QStringLiteral("done.wav"), std::string("RIFF"));
    Execute([&] {
        o_->CheckBox2->click();
        o_->CheckBox10->click();
        o_->CheckBox12->click();
        QTest::keyClick(o_->ComboBox1, Qt::Key_Down);
        o_->CheckBox18->click();
        QTest::keyClick(o_->QL_Bar1, Qt::Key_End);
        dialogs_.FileAnswers = {sound};
        o_->Button3->click();
        o_->CheckBox19->click();
        o_->Button1->click();
    });
    Exit();
    const std::string ini = Ini();
    for (const std::string line : {"#ByteLen=1", "#Use FileCache=1", "#CacheOver=0", "#Priority=1",
                                    "#AutoBufferSize=0", "#BufferSize=128", "#Reloadfile=1"})
        EXPECT_NE(ini.find(line + "\r\n"), std::string::npos) << line << "\n" << ini;
    EXPECT_NE(ini.find("#SoundFile_1=" + sound.toStdString() + "\r\n"), std::string::npos) << ini;

    w_ = std::make_unique<TTavrenneUnderTest>();
    Start();
    EXPECT_TRUE(o_->CheckBox2->isChecked());
    EXPECT_TRUE(o_->CheckBox10->isChecked());
    EXPECT_FALSE(o_->CheckBox12->isChecked());
    EXPECT_TRUE(o_->ComboBox2->isEnabled());   // the cache on enables the list, limit or not
    EXPECT_EQ(o_->ComboBox1->currentIndex(), 1);
    EXPECT_EQ(o_->BufferSizeKB(), 128);
    EXPECT_EQ(o_->StaticText1->text(), QStringLiteral("128KB"));
    EXPECT_EQ(o_->LabeledEdit1->text(), sound);
    EXPECT_TRUE(o_->AutoReload());
}

TEST_F(OptionsDialog, SupportLinksOpenTheSiteTheMailAndTheHelp) {
    Start();
    const fs::path help = ProgramLayout().HelpFile();
    fs::create_directories(help.parent_path());
    std::ofstream(help) << "<html></html>";
    o_->show();
    ClickNode(9);
    for (TQL_ImageLabel* link : {o_->QL_ImageLabel2, o_->QL_ImageLabel1, o_->QL_ImageLabel3}) {
        ASSERT_TRUE(link->isVisible());
        QTest::mouseClick(link, Qt::LeftButton);
    }
    EXPECT_TRUE(QString::fromLatin1(Tcustomoption::kSupportMail).startsWith(QStringLiteral("mailto:")));
    EXPECT_EQ(platform_.Opened, (QStringList{QString::fromLatin1(TTavrenne::kWebSite),
                                             QString::fromLatin1(Tcustomoption::kSupportMail),
                                             QString::fromStdString(help.string())}));
    EXPECT_EQ(o_->QL_ImageLabel2->Text(), QStringLiteral("Quillory Website"));
    EXPECT_EQ(o_->QL_ImageLabel1->Text(), QStringLiteral("開発元へメール"));
    EXPECT_EQ(o_->QL_ImageLabel3->Text(), QStringLiteral("ヘルプの参照..."));
}

TEST_F(OptionsDialog, StartUpNoticesAreDrawnOnTheFormsTrayDialogAndShown) {
    const struct {
        const char* ini;   // nullptr: no settings file
        std::vector<TNoticeLine> lines;
    } cases[] = {
        {nullptr, {{QStringLiteral("Tavrenneが新規に導入されました"), 7, 50}}},
        {"[Tavrix_2]\r\n#Version=2.40\r\n#check oldun=0\r\n",
         {{QStringLiteral("TavrenneがVersion 2.40から"), 7, 50}, {QStringLiteral("2.46へ更新されました"), 27, 63}}},
        {"[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no file");
        o_.reset();
        fs::remove(IniPath());
        if (c.ini) WriteIni(c.ini);
        w_ = std::make_unique<TTavrenneUnderTest>();
        o_ = std::make_unique<Tcustomoption>(*w_);   // the form's own start-up parts
        o_->FormCreate({"x"});
        TQL_TrayInfoDlg* tray = o_->QL_TrayInfoDlg1;
        ASSERT_EQ(tray->BitmapImage().size(), QSize(200, 150));
        EXPECT_TRUE(tray->DlgButtonVisible());
        // The lines in the form's font at their places, on a fresh picture.
        TQL_TrayInfoDlg expected;
        expected.SetBitmapImage(tray->BitmapImage());
        bool first = true;
        for (const TNoticeLine& line : c.lines) {
            expected.DrawDlgText(line.Text, line.X, line.Y, o_->font(), first);
            first = false;
        }
        EXPECT_EQ(tray->WorkingImage(), expected.WorkingImage());
        EXPECT_EQ(tray->WorkingImage() != tray->BitmapImage(), !c.lines.empty());
        tray->Animation()->setCurrentTime(tray->Animation()->duration());
        EXPECT_EQ(tray->Window()->isVisible(), !c.lines.empty());
        tray->HideDlg();
        tray->Animation()->setCurrentTime(tray->Animation()->duration());
        // The last step prepares the first page's title strip.
        EXPECT_EQ(o_->PageTitle(), QStringLiteral("基本設定"));
        EXPECT_FALSE(o_->Image4->pixmap().isNull());
    }
}

TEST_F(OptionsDialog, EachShowingReadsTheDesktopStateAndTheErrorLog) {
    Start();
    // `pending`: the item the user left both groups at, which the desktop's state replaces.
    auto shown = [&](int pending) {
        o_->RadioGroup1Items[pending]->setChecked(true);
        o_->AssociationPage->RadioGroup2Items[pending]->setChecked(true);
        std::vector<bool> out;
        Execute([&] {
            out = {o_->RadioGroup1Items[1]->isChecked(), o_->AssociationPage->RadioGroup2Items[1]->isChecked(),
                   o_->ReportPage->Button7->isEnabled()};
            o_->Button1->click();
        });
        return out;
    };
    EXPECT_EQ(shown(1), (std::vector<bool>{false, false, false}));

    const TDesktopEnv env = TDesktopEnv::FromEnvironment();
    const std::string program = platform_.ProgramFile().toStdString();
    ASSERT_TRUE(InstallAssociation(env, program, 4, NoTools));
    ASSERT_TRUE(InstallActions(env, program));
    std::ofstream(platform_.Folder.toStdString() + "/ErrorLog.txt") << "x";
    EXPECT_EQ(shown(0), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(platform_.Started.empty());
}

TEST_F(OptionsDialog, StartUpAppliesThePresentAssociationAgainWhenAsked) {
    const TDesktopEnv env = TDesktopEnv::FromEnvironment();
    for (const bool present : {false, true}) {
        for (const bool asked : {false, true}) {
            SCOPED_TRACE(std::to_string(present) + std::to_string(asked));
            o_.reset();
            if (present) {
                ASSERT_TRUE(InstallAssociation(env, platform_.ProgramFile().toStdString(), 7, NoTools));
            }
            WriteIni(std::string("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#SetingMD5=") + (asked ? "1" : "0") +
                     "\r\n");
            platform_.Started.clear();
            o_ = std::make_unique<Tcustomoption>(*w_);   // the form's own start-up parts
            o_->FormCreate({"x"});
            if (present && asked) {
                ASSERT_EQ(platform_.Started.size(), 1u);
                EXPECT_EQ(platform_.Started[0].first, Helper());
                EXPECT_TRUE(platform_.Started[0].second.startsWith(QStringLiteral("-I "))) << platform_.Started[0].second.toStdString();
            } else {
                EXPECT_TRUE(platform_.Started.empty());
            }
        }
    }
}

}  // namespace
