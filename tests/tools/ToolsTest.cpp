// The three tools driven like a user would: string hash, duplicate search, Digest tool.
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <optional>

#include "components/QL_ImageLabel.h"
#include "app/Art.h"
#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"
#include "platform/Drives.h"
#include "settings/IniFile.h"
#include "tools/TDigestPassDlg.h"
#include "tools/Tconv.h"
#include "tools/Tfilesec.h"
#include "tools/ToolWindows.h"

namespace fs = std::filesystem;

using ToolsTest = AppFixture;

TEST_F(ToolsTest, StringHashTable) {
    Tconv d(w_.get(), QStringLiteral("Tavrenne 2.0"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Tavrenne 2.0"));
    EXPECT_FALSE(d.CheckBox1->isChecked());
    EXPECT_TRUE(d.Edit2->isReadOnly());
    struct Case {
        QString text;
        bool upper;
        QString digest;
    };
    const Case cases[] = {
        {QStringLiteral("abc"), false, QStringLiteral("900150983cd24fb0d6963f7d28e17f72")},
        {QStringLiteral("abc"), true, QStringLiteral("900150983CD24FB0D6963F7D28E17F72")},
        {QStringLiteral(" abc "), false, QStringLiteral("01c9a8945abead949b46c77cf3245b8a")},
        {QStringLiteral("日本語"), false, QStringLiteral("387d3d4780c18a32c9c90437e4b50160")},   // 93 FA 96 7B 8C EA
        {QStringLiteral("?"), false, QStringLiteral("d1457b72c3fb323a2671125aef3eab5d")},
    };
    for (const Case& c : cases) {
        d.Edit1->setText(c.text);
        d.CheckBox1->setChecked(c.upper);
        d.BitBtn1->click();
        EXPECT_EQ(d.Edit2->text(), c.digest) << c.text.toStdString();
    }
    EXPECT_TRUE(dialogs_.Calls.empty());
}

TEST_F(ToolsTest, StringHashKeepsResultForEmptyTextAndCaseChangeAlone) {
    Tconv d(w_.get(), QStringLiteral("T"));
    d.Edit1->setText(QStringLiteral("abc"));
    d.BitBtn1->click();
    d.CheckBox1->setChecked(true);
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    d.Edit1->clear();
    d.BitBtn1->click();
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
}

TEST_F(ToolsTest, StringHashIsAFixedDialogWithWholeCaptionsAndEnterGenerates) {
    Tconv d(w_.get(), QStringLiteral("T"));
    EXPECT_TRUE(IsFixedDialog(d));
    EXPECT_EQ(d.size(), QSize(468, 100));
    EXPECT_EQ(CutLabels(d), QStringList());
    EXPECT_TRUE(d.BitBtn1->isDefault());
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    // Enter in the text field, then on the focused button.
    d.Edit1->setText(QStringLiteral("abc"));
    d.Edit1->setFocus();
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    d.Edit1->setText(QStringLiteral("日本語"));
    d.BitBtn1->setFocus();
    QTest::keyClick(d.BitBtn1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(d.Edit2->text(), QStringLiteral("387d3d4780c18a32c9c90437e4b50160"));
    EXPECT_TRUE(d.isVisible());   // generating does not close it
}

// "?" stands for what Shift_JIS cannot hold: such a text would share a digest with another.
TEST_F(ToolsTest, StringHashRefusesCharactersShiftJisCannotHold) {
    Tconv d(w_.get(), QStringLiteral("T"));
    d.Edit1->setText(QStringLiteral("abc"));
    d.BitBtn1->click();
    d.Edit1->setText(QStringLiteral("a😀c"));
    d.BitBtn1->click();
    EXPECT_TRUE(d.Edit2->text().isEmpty());
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Caption, QStringLiteral("T"));
    EXPECT_TRUE(dialogs_.Calls[0].Text.contains(QStringLiteral("😀")));
    EXPECT_EQ(dialogs_.Calls[0].Icon, TMsgIcon::Exclamation);
}

class SearchTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ref_ = MakeFile(QStringLiteral("d1/ref.bin"), PatternBytes(3000));
        MakeFile(QStringLiteral("d1/sub/copy.bin"), PatternBytes(3000));
        MakeFile(QStringLiteral("d1/sub/other.bin"), PatternBytes(3000, 7));
        MakeFile(QStringLiteral("d2/copy2.bin"), PatternBytes(3000));
        d1_ = QString::fromStdString(dir_->file("d1"));
        d2_ = QString::fromStdString(dir_->file("d2"));
        SetLocalDrives([this] { return QStringList{d1_, d2_}; });
    }
    void TearDown() override {
        SetLocalDrives(nullptr);
        AppFixture::TearDown();
    }
    static QStringList Rows(QTreeWidget* list, int column) {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
        return out;
    }
    QString ref_, d1_, d2_;
};

TEST_F(SearchTest, CreationListsDrivesChecked) {
    Tfilesec s(w_.get(), TPath(ref_));
    EXPECT_EQ(s.windowTitle(), QStringLiteral("同一ファイル検索"));
    EXPECT_EQ(Rows(s.ListView1, 0), (QStringList{d1_, d2_}));
    EXPECT_EQ(s.ListView1->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(s.Edit1->text(), ref_);
    EXPECT_TRUE(s.Button1->isEnabled());
    EXPECT_FALSE(s.Button5->isEnabled());
    EXPECT_EQ(s.PageControl1->currentIndex(), 0);
    SetLocalDrives([] { return QStringList{}; });
    Tfilesec none(w_.get(), TPath(ref_));
    EXPECT_FALSE(none.Button1->isEnabled());
}

TEST_F(SearchTest, SearchFindsSameContentOnCheckedDrives) {
    Tfilesec s(w_.get(), TPath(ref_));
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    s.Button1->click();
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Caption, QStringLiteral("確認"));
    EXPECT_EQ(dialogs_.Calls[0].Text, QStringLiteral("ref.binと同一ファイルの検索を行います"));
    EXPECT_EQ(dialogs_.Calls[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(dialogs_.Calls[0].Icon, TMsgIcon::Question);
    QStringList found = Rows(s.ListView2, 1);
    found.sort();
    EXPECT_EQ(found, (QStringList{d1_ + "/ref.bin", d1_ + "/sub/copy.bin", d2_ + "/copy2.bin"}));
    EXPECT_EQ(s.Label1->text(),
              QStringLiteral("3個の同一内容のファイルが見つかりました！\r\nリストをダブルクリックする事ファイルの存在するフォルダをエクスプローラで開けます"));
    EXPECT_EQ(s.PageControl1->currentWidget(), s.TabSheet2);
    EXPECT_TRUE(s.Button1->isEnabled());
    EXPECT_TRUE(s.Button2->isEnabled());
    EXPECT_FALSE(s.Button5->isEnabled());
    EXPECT_EQ(s.ProgressBar1->maximum(), 1);
    EXPECT_EQ(s.ProgressBar1->value(), 1);
    EXPECT_GE(pumps_, 3);   // once per folder

    // Only the second drive; a new search clears the old rows.
    s.ListView1->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    s.Button1->click();
    EXPECT_EQ(Rows(s.ListView2, 1), (QStringList{d2_ + "/copy2.bin"}));
    EXPECT_TRUE(s.Label1->text().startsWith(QStringLiteral("1個の")));

    // Double-click opens the folder holding the file.
    s.ListView2->setCurrentItem(s.ListView2->topLevelItem(0));
    s.ListView2DblClick();
    EXPECT_EQ(platform_.Opened, QStringList{d2_});
}

TEST_F(SearchTest, AFixedDialogWithWholeCaptions) {
    Tfilesec s(w_.get(), TPath(ref_));
    EXPECT_TRUE(IsFixedDialog(s));
    EXPECT_EQ(CutLabels(s), QStringList());
}

// One file system is a range of no steps: Qt would show that as a busy bar that never stops.
TEST_F(SearchTest, OneDriveShowsAStillEmptyBarDuringAndAfterTheSearch) {
    SetLocalDrives([this] { return QStringList{d1_}; });
    Tfilesec s(w_.get(), TPath(ref_));
    bool busy = true;
    AtPump([] { return true; }, [&] { busy = s.ProgressBar1->maximum() == s.ProgressBar1->minimum(); });
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    s.Button1->click();
    EXPECT_FALSE(busy);
    EXPECT_GT(s.ProgressBar1->maximum(), s.ProgressBar1->minimum());
    EXPECT_EQ(s.ProgressBar1->value(), s.ProgressBar1->minimum());
    EXPECT_EQ(s.ListView2->topLevelItemCount(), 2);
}

TEST_F(SearchTest, NothingCheckedNoOrEmptyReferenceSearchNothing) {
    Tfilesec s(w_.get(), TPath(ref_));
    s.Button4->click();
    s.Button1->click();
    EXPECT_TRUE(dialogs_.Calls.empty());
    s.Button3->click();
    EXPECT_EQ(s.ListView1->topLevelItem(0)->checkState(0), Qt::Checked);
    dialogs_.MessageAnswers = {TMsgResult::No};
    s.Button1->click();
    EXPECT_EQ(s.ListView2->topLevelItemCount(), 0);
    EXPECT_EQ(s.PageControl1->currentIndex(), 0);

    Tfilesec empty(w_.get(), TPath(MakeFile(QStringLiteral("empty.bin"), std::string())));
    dialogs_.Calls.clear();
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    empty.Button1->click();
    ASSERT_EQ(dialogs_.Calls.size(), 2u);
    EXPECT_EQ(dialogs_.Calls[1].Caption, QString());
    EXPECT_EQ(dialogs_.Calls[1].Text, QStringLiteral("Error!!"));
    EXPECT_EQ(dialogs_.Calls[1].Icon, TMsgIcon::Error);
    EXPECT_EQ(empty.PageControl1->currentIndex(), 0);
}

TEST_F(SearchTest, StopSkipsTheRestAndCloseIsRefusedMeanwhile) {
    Tfilesec s(w_.get(), TPath(ref_));
    s.show();
    bool stillOpen = false, closeDisabled = false;
    AtPump([&] { return s.Label1->text() == d1_; },
           [&] {
               s.close();
               stillOpen = s.isVisible() && s.Searching();
               closeDisabled = !s.Button2->isEnabled() && s.Button5->isEnabled();
               s.Button5->click();
           });
    dialogs_.MessageAnswers = {TMsgResult::Yes};
    s.Button1->click();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(closeDisabled);
    // The top of the first drive finishes the entry it is on; the second drive is skipped.
    for (const QString& path : Rows(s.ListView2, 1)) EXPECT_TRUE(path.startsWith(d1_)) << path.toStdString();
    EXPECT_TRUE(s.Label1->text().startsWith(QString::number(s.ListView2->topLevelItemCount()) + "個の"));
    EXPECT_FALSE(s.Searching());
}

class DigestTest : public AppFixture {
protected:
    std::unique_ptr<TDigestPassDlg> Open() {
        return std::make_unique<TDigestPassDlg>(w_.get(), QPixmap(16, 16), QStringLiteral("Tavrenne 2.0"));
    }
    static void Fill(TDigestPassDlg& d, const QString& user, const QString& realm, const QString& password) {
        d.LabeledEdit1->setText(user);
        d.LabeledEdit3->setText(realm);
        d.LabeledEdit2->setText(password);
    }
    std::string Line(const char* user, const char* realm, const char* password) {
        return std::string(user) + ":" + realm + ":" +
               RunCommand(std::string("printf '%s' '") + user + ":" + realm + ":" + password + "' | md5sum | cut -c1-32")
                   .substr(0, 32);
    }
    QString Default() const { return platform_.Folder + QStringLiteral("/Digest_Pass/Digest_Pass.txt"); }
};

TEST_F(DigestTest, CreationDefaultsAndOptionsToggle) {
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Tavrenne 2.0 Digest認証ツール"));
    EXPECT_EQ(d->StaticText1->text(), Default());
    EXPECT_TRUE(QFileInfo(platform_.Folder + "/Digest_Pass").isDir());
    EXPECT_EQ(d->Mode(), 0);
    EXPECT_EQ(d->height(), 379);
    EXPECT_TRUE(d->CheckBox1->isChecked());
    EXPECT_TRUE(d->CheckBox2->isChecked());
    EXPECT_EQ(d->LabeledEdit2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(d->QL_ImageLabel1->Text(), QStringLiteral(" 拡張 "));
    EXPECT_EQ(d->QL_ImageLabel1->Space(), 9);
    EXPECT_EQ(d->QL_ImageLabel2->Space(), 13);
    EXPECT_EQ(d->QL_ImageLabel2->MouseOverColor(), QColor(Qt::red));
    EXPECT_TRUE(d->QL_ImageLabel2->GLine());
    d->QL_ImageLabel1Click();
    EXPECT_EQ(d->height(), 522);
    d->QL_ImageLabel1Click();
    EXPECT_EQ(d->height(), 379);
}

// Installed, the program's folder takes no files: the default file and its folder live in the
// user's data folder, and the first write goes there.
TEST_F(DigestTest, InstalledTheFirstWriteGoesToTheUsersDataFolder) {
    // The user's folders in the scratch folder, also for the settings the dialog writes.
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) {
        saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, QByteArray::fromStdString(dir_->file(std::string("xdg-") + name)));
    }
    const QString data = QString::fromStdString(dir_->file("xdg-XDG_DATA_HOME"));
    platform_.Folder = QString::fromStdString(dir_->file("installed/lib"));   // not there: not writable
    {
        auto d = Open();
        const QString file = data + QStringLiteral("/tavrenne/Digest_Pass/Digest_Pass.txt");
        EXPECT_EQ(d->StaticText1->text(), file);
        Fill(*d, "ann", "home", "secret");
        d->QL_ImageLabel2Click();
        EXPECT_TRUE(dialogs_.Messages().empty()) << dialogs_.Messages().front().Text.toStdString();
        EXPECT_EQ(ReadBytes(file.toStdString()), Line("ann", "home", "secret") + "\r\n");
        EXPECT_FALSE(QFileInfo::exists(platform_.Folder));
    }
    for (const auto& [name, value] : saved) {
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }
}

TEST_F(DigestTest, AFixedDialogInBothHeightsWithWholeCaptions) {
    auto d = Open();
    EXPECT_TRUE(IsFixedDialog(*d));
    EXPECT_EQ(CutLabels(*d), QStringList());
    d->QL_ImageLabel1Click();
    EXPECT_TRUE(IsFixedDialog(*d));
    EXPECT_EQ(d->height(), 522);
}

// Tab visits what is in sight, the two link labels included, and they act on Space and Enter.
TEST_F(DigestTest, TabReachesTheLinkLabelsWhichTakeSpaceAndEnter) {
    auto d = Open();
    d->show();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    d->LabeledEdit1->setFocus();
    QStringList visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        visited << (focus ? focus->objectName() : QStringLiteral("-"));
    }
    EXPECT_EQ(visited, (QStringList{"LabeledEdit3", "LabeledEdit2", "BitBtn1", "RadioCreate", "QL_ImageLabel1",
                                    "QL_ImageLabel2", "LabeledEdit1", "LabeledEdit3"}));
    // Space on 拡張 shows the options, which then join the Tab order; Enter hides them again.
    d->QL_ImageLabel1->setFocus();
    QTest::keyClick(d->QL_ImageLabel1, Qt::Key_Space);
    EXPECT_EQ(d->height(), 522);
    EXPECT_TRUE(d->CheckBox1->isVisible());
    d->QL_ImageLabel2->setFocus();
    QTest::keyClick(d->QL_ImageLabel2, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), d->CheckBox1);
    d->QL_ImageLabel1->setFocus();
    QTest::keyClick(d->QL_ImageLabel1, Qt::Key_Return);
    EXPECT_EQ(d->height(), 379);
    EXPECT_FALSE(d->CheckBox1->isVisible());
    // Enter on 作成/追加 writes, here refusing the empty fields.
    d->QL_ImageLabel2->setFocus();
    QTest::keyClick(d->QL_ImageLabel2, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Text, QStringLiteral("未記入の項目があります..."));
}

TEST_F(DigestTest, CreateThenAddSortedRefusingDuplicates) {
    auto d = Open();
    Fill(*d, "zoe", "area", "pw:with:colons");
    d->QL_ImageLabel2Click();
    const std::string zoe = Line("zoe", "area", "pw:with:colons");
    EXPECT_EQ(ReadBytes(Default().toStdString()), zoe + "\r\n");
    EXPECT_EQ(d->Mode(), 1);
    Fill(*d, "Amy", "area", "x");
    d->QL_ImageLabel2Click();
    d->QL_ImageLabel2Click();   // the same again: refused silently
    const std::string amy = Line("Amy", "area", "x");
    EXPECT_EQ(ReadBytes(Default().toStdString()), amy + "\r\n" + zoe + "\r\n");
    // Without the refusal the line of the same user and realm is replaced, not doubled.
    d->CheckBox1->setChecked(false);
    d->QL_ImageLabel2Click();
    EXPECT_EQ(ReadBytes(Default().toStdString()), amy + "\r\n" + zoe + "\r\n");
    EXPECT_TRUE(dialogs_.Calls.empty());
}

TEST_F(DigestTest, OverwriteIsAskedUnlessSwitchedOff) {
    const std::string path = dir_->write("pass.txt", "old:r:0\r\n");
    auto d = Open();
    d->SetTargetPath(TPath(QString::fromStdString(path)));
    Fill(*d, "u", "r", "p");
    dialogs_.MessageAnswers = {TMsgResult::No};
    d->QL_ImageLabel2Click();
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Caption, QStringLiteral("上書きの確認"));
    EXPECT_EQ(dialogs_.Calls[0].Text, QStringLiteral("新規を選択すると既存のファイルは上書きされます...上書きしますか？"));
    EXPECT_EQ(dialogs_.Calls[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(dialogs_.Calls[0].Icon, TMsgIcon::Exclamation);
    EXPECT_EQ(ReadBytes(path), "old:r:0\r\n");
    EXPECT_EQ(d->Mode(), 0);
    d->CheckBox2->setChecked(false);
    d->QL_ImageLabel2Click();
    EXPECT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(ReadBytes(path), Line("u", "r", "p") + "\r\n");
}

TEST_F(DigestTest, RefusalsLeaveTheFile) {
    auto d = Open();
    Fill(*d, "u", "", "p");
    d->QL_ImageLabel2Click();
    Fill(*d, "a:b", "r", "p");
    d->QL_ImageLabel2Click();
    d->SetMode(1);
    d->SetTargetPath(TPath(platform_.Folder + "/none.txt"));
    Fill(*d, "u", "r", "p");
    d->QL_ImageLabel2Click();
    ASSERT_EQ(dialogs_.Calls.size(), 3u);
    EXPECT_EQ(dialogs_.Calls[0].Text, QStringLiteral("未記入の項目があります..."));
    EXPECT_EQ(dialogs_.Calls[0].Caption, QStringLiteral("Tavrenne 2.0"));
    EXPECT_EQ(dialogs_.Calls[0].Icon, TMsgIcon::Exclamation);
    EXPECT_TRUE(dialogs_.Calls[1].Text.contains(QStringLiteral("「:」")));
    EXPECT_EQ(dialogs_.Calls[2].Text, QStringLiteral("ファイルが見当たりません"));
    EXPECT_FALSE(QFileInfo::exists(Default()));
}

TEST_F(DigestTest, TargetIsRememberedAndChosenFileUsed) {
    const std::string chosen = dir_->write("chosen.txt", "");
    {
        auto d = Open();
        dialogs_.FileAnswers = {QString::fromStdString(chosen)};
        d->BitBtn1Click();
        ASSERT_EQ(dialogs_.Calls.size(), 1u);
        EXPECT_EQ(dialogs_.Calls[0].Request.Filter, QStringLiteral("テキストファイル(*.txt)|*.txt"));
        EXPECT_TRUE(dialogs_.Calls[0].Request.MustExist);
        EXPECT_EQ(d->StaticText1->text(), QString::fromStdString(chosen));
    }
    const std::string ini = (platform_.Folder + "/tavr2.ini").toStdString();
    EXPECT_EQ(TIniFile(ini).ReadString("Tavrix_2", "#Digest_Pass_Text", ""), chosen);
    auto again = Open();
    EXPECT_EQ(again->StaticText1->text(), QString::fromStdString(chosen));
    EXPECT_EQ(again->Mode(), 1);
    fs::remove(chosen);
    auto gone = Open();
    EXPECT_EQ(gone->StaticText1->text(), Default());
    EXPECT_EQ(gone->Mode(), 0);
}

// The main window's commands open each tool modally; the Digest tool hides the main window
// while it is open.
TEST_F(ToolsTest, CommandsOpenTheTools) {
    ConnectTools(*w_);
    w_->show();
    const QString file = MakeFile(QStringLiteral("cur.bin"), 100, 'a');
    w_->AnalyzeFile(TPath(file));
    ASSERT_EQ(w_->CurrentPath(), TPath(file));
    struct Seen {
        QString type, title;
        bool mainVisible = true;
    } seen;
    auto closeNext = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            seen = {QString::fromLatin1(modal->metaObject()->className()), modal->windowTitle(), w_->isVisible()};
            modal->close();
        });
    };
    closeNext();
    w_->Action3->trigger();
    EXPECT_EQ(seen.type, QStringLiteral("Tconv"));
    closeNext();
    w_->Action5->trigger();
    EXPECT_EQ(seen.type, QStringLiteral("Tfilesec"));
    // The Digest tool's banner carries the tool's own toolbar picture at its right.
    QImage banner;
    QTimer::singleShot(0, [&] {
        if (auto* tool = qobject_cast<TDigestPassDlg*>(QApplication::activeModalWidget()))
            banner = tool->Image1->pixmap().toImage();
    });
    closeNext();
    w_->Action11->trigger();
    EXPECT_EQ(seen.type, QStringLiteral("TDigestPassDlg"));
    EXPECT_FALSE(seen.mainVisible);
    EXPECT_TRUE(w_->isVisible());
    ASSERT_FALSE(banner.isNull());
    const QRect place(banner.width() - 70, 5, 60, banner.height() - 15);
    QPixmap expected(banner.size());
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.drawPixmap(place, ToolImagePixmap(tiDigest, 16));
    }
    EXPECT_EQ(banner.copy(place), expected.toImage().copy(place).convertToFormat(banner.format()));
    EXPECT_EQ(w_->DigestToolPicture().toImage(), ToolImagePixmap(tiDigest, 16).toImage());
}
