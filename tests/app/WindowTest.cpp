// The main window as a user meets it: creation, commands, layout, files arriving, closing.
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utime.h>

#include "app/HandOverQueue.h"
#include "app/Spwindow.h"
#include "app/VersionDlg.h"
#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"
#include "platform/PathText.h"
#include "platform/SingleInstance.h"

namespace {

class Window : public AppFixture {};

TEST_F(Window, CreationTitleLogAndInitialStates) {
    EXPECT_EQ(w_->windowTitle(), QStringLiteral("Tavrenne 2.46"));
    EXPECT_EQ(w_->ApplicationTitle(), QStringLiteral("Tavrenne 2.46"));
    EXPECT_EQ(w_->minimumSize(), QSize(628, 513));
    EXPECT_EQ(w_->FullHeight, 513);
    EXPECT_EQ(w_->BuildText, QStringLiteral("Build 152"));
    EXPECT_TRUE(w_->acceptDrops());
    EXPECT_FALSE(w_->windowIcon().isNull());
    EXPECT_EQ(w_->font().pixelSize(), 12);
    EXPECT_EQ(PathTexts(w_->RecentFiles), QStringList(5, QString()));
    const auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (TLogLine{QStringLiteral("ファイル情報取得ソフト --- Tavrenne 2.46 ---"), lkInformation}));
    EXPECT_EQ(log[1].Kind, lkInformation);
    EXPECT_TRUE(log[1].Text.startsWith(QStringLiteral("Copyright")));

    EXPECT_TRUE(w_->CheckBox5->isChecked());
    EXPECT_FALSE(w_->CheckBox4->isChecked());
    EXPECT_FALSE(w_->CheckBox6->isChecked());
    EXPECT_TRUE(w_->CheckBox7->isHidden());
    EXPECT_TRUE(w_->Label6->isHidden());
    EXPECT_EQ(w_->Label6->text(), QStringLiteral("100%"));
    EXPECT_TRUE(w_->BitBtn1->isHidden());
    EXPECT_FALSE(w_->ComboBox1->isEnabled());
    EXPECT_FALSE(w_->Edit1->isEnabled());
    EXPECT_EQ(w_->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(w_->ComboBox1->toolTip(), QStringLiteral("比較するハッシュタイプ"));
    EXPECT_TRUE(w_->Action18->isChecked());
    EXPECT_FALSE(w_->Action17->isChecked());
    EXPECT_FALSE(w_->Action10->isChecked());
    EXPECT_EQ(w_->StatusText(0), QStringLiteral("ファイルパス:"));
    EXPECT_EQ(w_->SpeedButton1->text(), QStringLiteral("ログを隠す"));
    EXPECT_EQ(w_->Button3->text(), QStringLiteral("結果をクリア"));
    EXPECT_TRUE(w_->Button1->isDefault());
    auto* header = w_->ListView1->headerItem();
    EXPECT_EQ(header->text(1), QStringLiteral("  時間"));
    EXPECT_EQ(header->text(2), QStringLiteral("イベント"));
    EXPECT_EQ(w_->ListView1->columnWidth(0), 22);
    // 140, or wider where the locale's time texts need it.
    EXPECT_EQ(w_->ListView1->columnWidth(1), LogTimeColumnWidth(*w_->ListView1, QLocale()));
    EXPECT_GE(w_->ListView1->columnWidth(1), 140);
    EXPECT_EQ(w_->ListView1->columnWidth(2), 400);
    // Every caption is shown whole in the window's font.
    EXPECT_EQ(CutLabels(*w_), QStringList());
}

struct ActionCase {
    const char* name;
    const char* caption;
    const char* hint;
    bool enabled;
};

TEST_F(Window, ActionsCaptionsHintsAndEnabledStates) {
    const ActionCase cases[] = {
        {"Action1", "ファイルを開く(&O)...", "ファイルを開く", true},
        {"Action2", "更新(&R)", "更新", false},
        {"Action4", "一括チェック(&A)...", "一括チェック", true},
        {"Action19", "実行/解凍（&U）", "実行/解凍", false},
        {"Action16", "終了(&X)", "", true},
        {"Action6", "結果をコピー(&C)", "結果をコピー", false},
        {"Action7", "結果をファイルへ保存(&F)", "結果を保存", false},
        {"Action21", "ファイル名をコピー(&S)", "", false},
        {"Action22", "ファイル名をコピー (FullPath) (&P)", "", false},
        {"Action8", "結果をクリア(&E)", "結果をクリア", false},
        {"Action10", "ウインドウを常に前面に表示(&W)", "", true},
        {"Action17", "書式->L ", "", true},
        {"Action18", "書式->S ", "", true},
        {"Action3", "文字列からハッシュ生成(&H)...", "", true},
        {"Action5", "同一ファイルを検索(&S)...", "同一ファイル検索", false},
        {"Action11", "Digest認証ツール(&D)...", "", true},
        {"Action12", "詳細設定(&C)...", "詳細設定", true},
        {"Action13", "Tavrenneのヘルプ(&C)", "ヘルプを開く", true},
        {"Action14", "Quilloryのウェブサイトを表示(&W)", "", true},
        {"Action15", "バージョン情報(&V)...", "", true},
        {"Action20", "中止", "", false},
    };
    for (const ActionCase& c : cases) {
        auto* a = w_->findChild<QAction*>(QString::fromLatin1(c.name));
        ASSERT_NE(a, nullptr) << c.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(c.caption)) << c.name;
        EXPECT_EQ(a->property("hint").toString(), QString::fromUtf8(c.hint)) << c.name;
        EXPECT_EQ(a->isEnabled(), c.enabled) << c.name;
    }
    for (const char* name : {"ActionMainMenuBar1", "ControlBar1", "ToolBarA", "Panel1", "Image1", "Label1", "Label6",
                             "CheckBox1", "CheckBox7", "LabeledEdit1", "LabeledEdit3", "ProgressBar1", "ComboBox1",
                             "Edit1", "GroupBox1", "Button1", "Button5", "BitBtn1", "SpeedButton1", "ListView1",
                             "StatusBar1", "PopupMenu1"})
        EXPECT_NE(w_->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(Window, MenusAndToolbarInTheirOrder) {
    auto texts = [](const QList<QAction*>& actions) {
        QStringList out;
        for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    };
    QStringList menus;
    for (QAction* m : w_->ActionMainMenuBar1->actions()) menus << m->text();
    EXPECT_EQ(menus, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "追加機能(&T)", "オプション(&C)", "ヘルプ(&H)"}));
    const auto menuActions = w_->ActionMainMenuBar1->actions();
    EXPECT_EQ(texts(menuActions[0]->menu()->actions()),
              (QStringList{"ファイルを開く(&O)...", "更新(&R)", "一括チェック(&A)...", "実行/解凍（&U）", "-",
                           "最近使ったファイル", "-", "終了(&X)"}));
    EXPECT_EQ(texts(menuActions[2]->menu()->actions()),
              (QStringList{"ウインドウを常に前面に表示(&W)", "書式->L (&L)", "書式->S (&S)"}));
    EXPECT_EQ(texts(w_->ToolBarA->actions()),
              (QStringList{"ファイルを開く(&O)...", "-", "実行/解凍（&U）", "-", "結果をコピー(&C)",
                           "結果をファイルへ保存(&F)", "結果をクリア(&E)", "-", "書式->L (&L)", "書式->S (&S)", "-",
                           "同一ファイルを検索(&Z)...", "詳細設定(&Y)...", "-", "Tavrenneのヘルプ(&I)"}));
    // A toolbar item with its own caption still acts for its action and follows its state.
    QAction* formatL = w_->ToolBarA->actions()[8];
    formatL->trigger();
    EXPECT_TRUE(w_->Action17->isChecked());
    EXPECT_TRUE(formatL->isChecked());
    QAction* dup = w_->ToolBarA->actions()[11];
    EXPECT_FALSE(dup->isEnabled());
    EXPECT_EQ(dup->toolTip(), QStringLiteral("同一ファイル検索"));
}

TEST_F(Window, ResizeKeepsButtonsRightAndStretchesPanelAndLog) {
    w_->show();
    // The status bar is as high as its panels' text needs, at least 19.
    const int bar = w_->StatusBar1->height();
    EXPECT_GE(bar, 19);
    w_->resize(728, 563);
    QCoreApplication::processEvents();
    EXPECT_EQ(w_->Panel1->geometry(), QRect(4, 64, 592, 333));
    EXPECT_EQ(w_->Button1->geometry(), QRect(600, 64, 125, 25));
    EXPECT_EQ(w_->SpeedButton1->geometry(), QRect(600, 368, 125, 26));
    EXPECT_EQ(w_->ListView1->geometry(), QRect(4, 400, 717, 140));
    EXPECT_EQ(w_->StatusBar1->geometry(), QRect(0, 563 - bar, 728, bar));
    EXPECT_EQ(w_->ActionMainMenuBar1->width(), 728);
    EXPECT_EQ(w_->ControlBar1->width(), 728);
    w_->resize(300, 200);
    EXPECT_EQ(w_->size(), QSize(628, 513));
}

TEST_F(Window, ToggleLogFixesAndRestoresTheHeight) {
    w_->show();
    QCoreApplication::processEvents();
    const int listHeight = w_->ListView1->height();
    w_->SpeedButton1->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w_->ListView1->isHidden());
    EXPECT_EQ(w_->height(), 513 - listHeight - 5);
    EXPECT_EQ(w_->minimumHeight(), w_->height());
    EXPECT_EQ(w_->maximumHeight(), w_->height());
    EXPECT_EQ(w_->SpeedButton1->text(), QStringLiteral("ログを表示"));
    // A line logged while hidden does not scroll the list.
    w_->AddLog(QStringLiteral("hidden"), lkInformation);
    w_->SpeedButton1->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w_->ListView1->isHidden());
    EXPECT_EQ(w_->height(), 513);
    EXPECT_EQ(w_->minimumHeight(), w_->FullHeight);
    EXPECT_EQ(w_->maximumHeight(), QWIDGETSIZE_MAX);
    EXPECT_EQ(w_->ListView1->geometry(), QRect(4, 400, 617, 90));
    EXPECT_EQ(w_->SpeedButton1->text(), QStringLiteral("ログを隠す"));
}

TEST_F(Window, HideLogAtShowIsConsumedOnce) {
    w_->HideLogAtShow = true;
    w_->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w_->ListView1->isHidden());
    EXPECT_FALSE(w_->HideLogAtShow);
    EXPECT_EQ(w_->SystemMenu->actions().size(), 13);  // the recent-file entries are there
}

QStringList SystemMenuTexts(TTavrenneUnderTest& w) {
    QStringList out;
    for (QAction* a : w.SystemMenu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

TEST_F(Window, RecentFilesKeepFiveDistinctEntriesInTheSystemMenu) {
    w_->Button5->click();  // information only: fast
    QStringList files;
    for (int i = 0; i < 6; ++i) files << MakeFile(QStringLiteral("f%1.txt").arg(i), std::string("x"));
    w_->AnalyzeFile(TPath(files[0]));
    w_->AnalyzeFile(TPath(files[1]));
    w_->AnalyzeFile(TPath(files[0].toUpper() == files[0] ? files[0] : files[0]));  // same file again: no move
    EXPECT_EQ(PathTexts(w_->RecentFiles), (QStringList{files[1], files[0], "", "", ""}));
    for (int i = 2; i < 6; ++i) w_->AnalyzeFile(TPath(files[i]));
    EXPECT_EQ(PathTexts(w_->RecentFiles), (QStringList{files[5], files[4], files[3], files[2], files[1]}));

    const QStringList menu = SystemMenuTexts(*w_);
    ASSERT_EQ(menu.size(), 13);
    EXPECT_EQ(menu[5], QStringLiteral("-"));
    for (int i = 0; i < 5; ++i) {
        QAction* item = w_->SystemMenu->actions()[6 + i];
        EXPECT_EQ(item->data().toInt(), 600 + i);
        EXPECT_EQ(item->text(), QStringLiteral("(&%1) ").arg(i + 1) + RecentFileDisplayText(w_->RecentFiles[i]));
    }
    EXPECT_EQ(menu[11], QStringLiteral("-"));
    EXPECT_EQ(menu[12], QStringLiteral("閉じる(&C)"));

    // Entry 600 + 3 analyses that file; a vanished file does nothing.
    w_->SystemMenuCommand(603);
    EXPECT_EQ(w_->CurrentPath(), TPath(files[2]));
    std::filesystem::remove(files[4].toStdString());
    w_->SystemMenuCommand(601);
    EXPECT_EQ(w_->CurrentPath(), TPath(files[2]));
}

TEST_F(Window, RecentFileComparesWithoutCase) {
    w_->Button5->click();
    const QString upper = MakeFile(QStringLiteral("CASE.txt"), std::string("x"));
    const QString lower = MakeFile(QStringLiteral("case.txt"), std::string("x"));
    w_->AnalyzeFile(TPath(upper));
    w_->AnalyzeFile(TPath(lower));
    EXPECT_EQ(PathTexts(w_->RecentFiles), (QStringList{upper, "", "", "", ""}));
}

TEST_F(Window, RecentFileDisplayRule) {
    EXPECT_EQ(RecentFileDisplayText(TPath()), QStringLiteral("---------------"));
    const QString fifty = QStringLiteral("C:\\") + QString(36, QLatin1Char('d')) + QStringLiteral("\\report.txt");
    ASSERT_EQ(fifty.size(), 50);
    EXPECT_EQ(RecentFileDisplayText(TPath(fifty)), fifty);
    EXPECT_EQ(RecentFileDisplayText(TPath(fifty + QStringLiteral("x"))), QStringLiteral("C:\\...report.txtx"));
    // Bytes are counted in Shift_JIS: 25 kanji are 50 bytes, one more ASCII character is 51.
    const QString kanji = QStringLiteral("/") + QString(23, QChar(0x6F22)) + QStringLiteral("/a");
    EXPECT_EQ(RecentFileDisplayText(TPath(kanji)), kanji);  // 1 + 46 + 2 = 49 bytes
    EXPECT_EQ(RecentFileDisplayText(TPath(kanji + QString(QChar(0x6F22)))),
              QStringLiteral("/...a") + QString(QChar(0x6F22)));  // 51 bytes
}

TEST_F(Window, RecentFilesAndDropsAreIgnoredWhileRunning) {
    SmallBuffers();
    w_->Button4->click();
    const QString small = MakeFile(QStringLiteral("s.txt"), std::string("x"));
    const QString big = MakeFile(QStringLiteral("big.bin"), 150 * 1024, 'b');
    w_->UpdateRecentFiles(TPath(small));
    AtPump([] { return true; }, [&] {
        w_->SystemMenuCommand(600 + int(w_->RecentFiles.indexOf(TPath(small))));
        w_->HandleDroppedFiles(Paths({small}));
        w_->close();
    });
    w_->AnalyzeFile(TPath(big));
    EXPECT_EQ(w_->CurrentPath(), TPath(big));
    EXPECT_FALSE(w_->SuppressChangeCheck);  // the close was refused before anything else
}

TEST_F(Window, DropOfExactlyOneFileIsAnalysed) {
    w_->Button5->click();
    const QString a = MakeFile(QStringLiteral("a.txt"), std::string("x"));
    const QString b = MakeFile(QStringLiteral("b.txt"), std::string("x"));
    w_->HandleDroppedFiles(Paths({a, b}));
    EXPECT_TRUE(w_->CurrentPath().IsEmpty());
    w_->HandleDroppedFiles(Paths({b}));
    EXPECT_EQ(w_->CurrentPath(), TPath(b));
    // Through a real drop event.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_.get(), &drop);
    EXPECT_EQ(w_->CurrentPath(), TPath(a));
    EXPECT_TRUE(drop.isAccepted());
}

// A Linux file name may be any bytes: the window analyses it, drops and recent files keep
// it, and only what is shown replaces the bytes that are not text.
TEST_F(Window, NamesThatAreNotUtf8AreAnalysed) {
    w_->Button4->click();
    const std::string bytes = dir_->file("bad\xFF\x83\x65.txt");
    std::ofstream(bytes, std::ios::binary) << "abc";
    const QString path = PathToQString(bytes);
    w_->AnalyzeFile(TPath(path));
    EXPECT_EQ(w_->LabeledEdit2->text(), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(w_->Label1->text(), QString::fromUtf8("ファイル名: bad\xEF\xBF\xBD\xEF\xBF\xBD\x65.txt"));
    EXPECT_EQ(w_->CurrentPath().Bytes(), bytes);
    EXPECT_EQ(w_->StatusText(1).toStdString(), PathForDisplay(path).toStdString());
    EXPECT_EQ(w_->RecentFiles[0].Bytes(), bytes);
    EXPECT_TRUE(dialogs_.Messages().empty());

    // Dropped: the URL carries the bytes percent-encoded.
    const std::string dropped = dir_->file("drop\xFE.txt");
    std::ofstream(dropped, std::ios::binary) << "abc";
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(dropped).toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w_.get(), &drop);
    EXPECT_EQ(w_->CurrentPath().Bytes(), dropped);
    EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST_F(Window, ChangedFileIsOfferedOnceAndNoStopsWatching) {
    settings_.Values.ReloadFile = true;
    w_->Button5->click();
    const QString path = MakeFile(QStringLiteral("w.txt"), std::string("x"));
    w_->AnalyzeFile(TPath(path));
    w_->CheckFileChanged();
    EXPECT_TRUE(dialogs_.Messages().empty());  // unchanged

    struct utimbuf times {1700000000, 1700000000};
    ASSERT_EQ(utime(path.toLocal8Bit().constData(), &times), 0);
    dialogs_.MessageAnswers.push_back(TMsgResult::No);
    QEvent activation(QEvent::ActivationChange);
    QCoreApplication::sendEvent(w_.get(), &activation);
    auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, QStringLiteral("ファイルが更新されました。 再度情報を取得しますか？ "));
    EXPECT_EQ(messages[0].Caption, QStringLiteral("Tavrenne 2.46"));
    EXPECT_EQ(messages[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(messages[0].Icon, TMsgIcon::Question);
    EXPECT_EQ(w_->WatchedAge, 0u);
    w_->CheckFileChanged();
    EXPECT_EQ(dialogs_.Messages().size(), 1u);

    // Analysed again and changed again: Yes analyses it anew.
    w_->AnalyzeFile(TPath(path));
    struct utimbuf later {1710000000, 1710000000};
    ASSERT_EQ(utime(path.toLocal8Bit().constData(), &later), 0);
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    const int before = LogCount();
    w_->CheckFileChanged();
    EXPECT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_GT(LogCount(), before);
    EXPECT_NE(w_->WatchedAge, 0u);
    EXPECT_FALSE(w_->SuppressChangeCheck);

    // With the setting off nothing is asked.
    settings_.Values.ReloadFile = false;
    ASSERT_EQ(utime(path.toLocal8Bit().constData(), &times), 0);
    w_->CheckFileChanged();
    EXPECT_EQ(dialogs_.Messages().size(), 2u);
}

TEST_F(Window, ExitAsksOnlyThroughTheCommand) {
    settings_.Values.CloseQuery = true;
    w_->show();
    dialogs_.MessageAnswers.push_back(TMsgResult::No);
    w_->Action16->trigger();
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Caption, QStringLiteral("終了の問い合わせ"));
    EXPECT_EQ(dialogs_.Messages()[0].Text, QStringLiteral("Tavrenneを終了します　よろしいですか？　"));
    EXPECT_TRUE(w_->isVisible());
    // The title bar's close does not ask.
    EXPECT_TRUE(w_->close());
    EXPECT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_TRUE(w_->SuppressChangeCheck);
}

TEST_F(Window, RefreshAnalysesTheCurrentFileAgain) {
    const QString path = MakeFile(QStringLiteral("r.txt"), std::string("abc"));
    w_->AnalyzeFile(TPath(path));
    const int lines = LogCount();
    w_->Button2->click();
    EXPECT_EQ(w_->CurrentPath(), TPath(path));
    EXPECT_EQ(Log(lines).front().Text, QStringLiteral("r.txtのファイル情報を取得中です..しばらくお待ち下さい"));
    EXPECT_TRUE(dialogs_.Messages().empty());
}

TEST_F(Window, ClearAsksAndResetsEverything) {
    w_->Button4->click();
    w_->AnalyzeFile(TPath(MakeFile(QStringLiteral("abc.txt"), std::string("abc"))));
    dialogs_.MessageAnswers.push_back(TMsgResult::No);
    w_->Button3->click();
    EXPECT_FALSE(w_->LabeledEdit1->text().isEmpty());
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    w_->Action8->trigger();
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].Text, QStringLiteral("現在の取得情報をクリアします　よろしいですか？　"));
    EXPECT_EQ(messages[1].Icon, TMsgIcon::Question);
    EXPECT_TRUE(w_->LabeledEdit1->text().isEmpty());
    EXPECT_EQ(w_->Label1->text(), QStringLiteral("ファイル名:"));
    EXPECT_TRUE(w_->CurrentPath().IsEmpty());
    EXPECT_TRUE(w_->StatusText(1).isEmpty());
    EXPECT_TRUE(w_->Image1->isHidden());
    for (QAction* a : {w_->Action2, w_->Action19, w_->Action5, w_->Action6, w_->Action7, w_->Action8, w_->Action21,
                       w_->Action22, w_->Action20})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : {w_->Action1, w_->Action12, w_->Action4, w_->Action16, w_->Action13, w_->Action3})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_GT(LogCount(), 2);  // the log stays unless "#clearlog"
    settings_.Values.ClearLog = true;
    w_->ResetDisplay(true);
    EXPECT_EQ(LogCount(), 0);
}

TEST_F(Window, HelpWebSiteAndUnbuiltWindows) {
    w_->Action13->trigger();
    EXPECT_TRUE(platform_.Opened.isEmpty());  // no manual next to the program
    w_->Action14->trigger();
    EXPECT_EQ(platform_.Opened, QStringList{QString::fromLatin1(TTavrenne::kWebSite)});
    // With the manual beside the program, help opens its index page in the desktop's browser.
    platform_.Opened.clear();
    QDir(platform_.Folder).mkpath(QStringLiteral("manual"));
    QFile index(platform_.Folder + QStringLiteral("/manual/index.html"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.close();
    w_->Action13->trigger();
    EXPECT_EQ(platform_.Opened, QStringList{platform_.Folder + QStringLiteral("/manual/index.html")});

    QSignalSpy batch(w_.get(), &TTavrenne::batchRequested);
    QSignalSpy dup(w_.get(), &TTavrenne::duplicateSearchRequested);
    w_->Action4->trigger();
    w_->Action5->setEnabled(true);
    w_->Action5->trigger();  // no current file: nothing
    EXPECT_EQ(batch.count(), 1);
    EXPECT_EQ(dup.count(), 0);
}

TEST_F(Window, OpenDialogFilterAndChoice) {
    const QString path = MakeFile(QStringLiteral("o.txt"), std::string("abc"));
    w_->Button1->click();  // cancelled: nothing happens
    EXPECT_TRUE(w_->CurrentPath().IsEmpty());
    dialogs_.FileAnswers.push_back(path);
    w_->Action1->trigger();
    ASSERT_EQ(dialogs_.Calls.size(), 2u);
    const TFileDialogRequest& r = dialogs_.Calls[1].Request;
    EXPECT_EQ(dialogs_.Calls[1].Kind, QStringLiteral("open"));
    EXPECT_EQ(r.Filter, QStringLiteral(
        "すべてのファイル(*.*)|*.*|実行ファイル(*.exe)|*.exe|書庫ファイル|*.zip;*.cab;*.lzh;*.gca;*.lha;*.rar;*.ace;*.tar|"
        "MD5ファイル(*.MD5)|*.md5|ISOイメージ(CD,DVD)|*.iso;*.mdf;*.mds|ビデオファイル|*.avi;*.div;*.mpg;*.swf;*.dix;*.wmv|"
        "ミュージックファイル|*.wav;*.mp3;*.mp4;*.cda;*.wma|"
        "チェックサムファイル|SHA256SUMS;SHA512SUMS;SHA1SUMS;MD5SUMS;CHECKSUMS;*.sha256;*.sha512;*.sha1;*.md5;*.sfv"));
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_TRUE(r.MustExist);
    EXPECT_EQ(w_->CurrentPath(), TPath(path));
}

TEST_F(Window, AlwaysOnTopKeepsTheGeometry) {
    w_->show();
    const QRect before = w_->geometry();
    w_->Action10->trigger();
    EXPECT_TRUE(w_->Action10->isChecked());
    EXPECT_TRUE(w_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w_->geometry(), before);
    EXPECT_TRUE(w_->isVisible());
    w_->Action10->trigger();
    EXPECT_FALSE(w_->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Window, SystemMenuOpensWithCtrlShiftRAndOnTheStatusBar) {
    w_->show();
    w_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
    // Alt+Space is the window manager's: the window leaves it alone.
    QTest::keyClick(w_.get(), Qt::Key_Space, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_FALSE(w_->SystemMenu->isVisible());
    QTest::keyClick(w_.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w_->SystemMenu->isVisible(); }, 2000));
    w_->SystemMenu->hide();
    emit w_->StatusBar1->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(w_->SystemMenu->isVisible());
    w_->SystemMenu->hide();
}

TEST_F(Window, AbortWithoutEngineDoesNothing) {
    w_->CheckBox7->setChecked(true);
    const int lines = LogCount();
    w_->Action20->setEnabled(true);
    w_->Action20->trigger();
    EXPECT_EQ(LogCount(), lines);
    EXPECT_TRUE(w_->CheckBox7->isChecked());
}

TEST_F(Window, AboutBoxAndSplash) {
    TVersionDlg about(*w_, w_.get());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tavrenne 2.46 のバージョン情報"));
    EXPECT_EQ(about.size(), QSize(436, 252));
    EXPECT_TRUE(IsFixedDialog(about));
    EXPECT_EQ(about.VersionLine, QStringLiteral("アプリケーションバージョン: 2.46"));
    EXPECT_TRUE(about.BuildLine.startsWith(QStringLiteral("[Build 152  ")));
    EXPECT_EQ(about.BuildLine.size(), QStringLiteral("[Build 152  yymmdd-hhnn]").size());
    EXPECT_EQ(about.Image1->geometry(), QRect(0, 0, 442, 253));

    // The about command opens the box modally; close it as soon as it shows.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    w_->Action15->trigger();

    auto* splash = new Tspwindow(*w_);
    QPointer<Tspwindow> alive(splash);
    EXPECT_EQ(splash->size(), QSize(442, 216));
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    splash->show();
    ASSERT_NE(splash->Timer, nullptr);
    EXPECT_EQ(splash->Timer->interval(), 3700);
    EXPECT_TRUE(splash->Timer->isActive());
    EXPECT_EQ(splash->VersionText, QStringLiteral("ファイルバージョン　2.46"));
    splash->Timer->start(0);  // let it fire now
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return alive.isNull();
    }, 5000));  // closed and freed
}

TEST_F(Window, TitleBarHasAMinimizeBoxButNoMaximizeBox) {
    for (int round = 0; round < 2; ++round) {
        const Qt::WindowFlags f = w_->windowFlags();
        EXPECT_TRUE(f & Qt::CustomizeWindowHint);  // without it the desktop adds every box
        EXPECT_TRUE(f & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(f & Qt::WindowSystemMenuHint);
        EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
        w_->Action10->trigger();  // "always on top" changes the flags: the box stays away
    }
    // What a window manager reads: the frame grows from the design size and is not fixed.
    EXPECT_EQ(w_->minimumSize(), QSize(628, 513));
    EXPECT_EQ(w_->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

    // A window manager that maximizes every resizable window anyway (openbox) is obeyed, not
    // undone; hiding the log then brings the normal size back and fixes the height.
    w_->show();
    QCoreApplication::processEvents();
    const QSize normal = w_->size();
    w_->setWindowState(Qt::WindowMaximized);
    QTest::qWait(50);
    EXPECT_TRUE(w_->windowState() & Qt::WindowMaximized);
    w_->ToggleLog();
    EXPECT_FALSE(w_->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(w_->height(), normal.height() - 95);
    EXPECT_EQ(w_->minimumHeight(), w_->maximumHeight());
}

TEST_F(Window, MenuKeysReachTheirCommands) {
    const std::pair<QAction*, QKeySequence> keys[] = {
        {w_->Action1, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {w_->Action2, QKeySequence(Qt::Key_F5)},
        {w_->Action13, QKeySequence(Qt::Key_F1)},
        {w_->Action16, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
    for (const auto& [action, key] : keys) EXPECT_EQ(action->shortcut(), key) << action->objectName().toStdString();

    settings_.Values.CloseQuery = true;
    w_->show();
    w_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
    QTest::keyClick(w_.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Kind, QStringLiteral("open"));
    // Ctrl+Q asks as the exit command does; No keeps the window.
    dialogs_.MessageAnswers.push_back(TMsgResult::No);
    QTest::keyClick(w_.get(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Caption, QStringLiteral("終了の問い合わせ"));
    EXPECT_TRUE(w_->isVisible());
}

TEST_F(Window, EnterOpensUnlessAFocusedButtonTakesIt) {
    w_->show();
    w_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w_.get()));
    auto opens = [this] {
        int n = 0;
        for (const auto& c : dialogs_.Calls) n += c.Kind == QStringLiteral("open");
        return n;
    };
    // The check box and the log list do not take Enter: the default button does.
    for (QWidget* focus : std::initializer_list<QWidget*>{w_->CheckBox3, w_->ListView1}) {
        const int before = opens();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(opens(), before + 1) << focus->objectName().toStdString();
    }
    QTest::keyClick(w_->CheckBox3, Qt::Key_Enter);
    EXPECT_EQ(opens(), 3);
    // A focused button clicks itself instead.
    w_->Button4->setFocus();
    QTest::keyClick(w_->Button4, Qt::Key_Return);
    EXPECT_EQ(opens(), 3);
    EXPECT_TRUE(w_->CheckBox4->isChecked() && w_->CheckBox6->isChecked());
    // Not while the open command is disabled (a run).
    w_->Action1->setEnabled(false);
    QTest::keyClick(w_->CheckBox3, Qt::Key_Return);
    EXPECT_EQ(opens(), 3);
}

TEST_F(Window, CompareValueStartsInTheButtonFaceColour) {
    const QPalette app = QApplication::palette(w_->Edit1);
    ASSERT_NE(app.color(QPalette::Button), app.color(QPalette::Base));
    EXPECT_EQ(w_->Edit1->palette().color(QPalette::Base), app.color(QPalette::Button));
    w_->CheckBox3->setChecked(true);
    EXPECT_EQ(w_->Edit1->palette().color(QPalette::Base), app.color(QPalette::Base));
}

TEST_F(Window, RecentFilesAlsoInTheFileMenu) {
    w_->Button5->click();
    ASSERT_NE(w_->RecentMenu, nullptr);
    QMenu* file = w_->ActionMainMenuBar1->findChild<QMenu*>(QStringLiteral("MenuFile"));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->actions().contains(w_->RecentMenu->menuAction()));
    EXPECT_EQ(w_->RecentMenu->title(), QStringLiteral("最近使ったファイル"));

    const QString a = MakeFile(QStringLiteral("a.txt"), std::string("a"));
    const QString b = MakeFile(QStringLiteral("b.txt"), std::string("b"));
    w_->AnalyzeFile(TPath(a));
    w_->AnalyzeFile(TPath(b));
    // The same five entries, ids and captions as the stand-in system menu.
    const QList<QAction*> items = w_->RecentMenu->actions();
    ASSERT_EQ(items.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QAction* twin = w_->SystemMenu->actions()[6 + i];
        EXPECT_EQ(items[i]->data().toInt(), 600 + i);
        EXPECT_EQ(items[i]->text(), twin->text());
    }
    EXPECT_EQ(items[1]->text(), QStringLiteral("(&2) ") + RecentFileDisplayText(TPath(a)));
    items[1]->trigger();
    EXPECT_EQ(w_->CurrentPath(), TPath(a));
    EXPECT_EQ(PathTexts(w_->RecentFiles.mid(0, 2)), (QStringList{b, a}));  // a known file does not move
    items[4]->trigger();  // an empty slot does nothing
    EXPECT_EQ(w_->CurrentPath(), TPath(a));
}

TEST_F(Window, HandOverComesToTheFrontAndWaitsForTheRun) {
    w_->show();
    w_->showMinimized();
    w_->BringToFront();
    EXPECT_FALSE(w_->isMinimized());
    EXPECT_FALSE(w_->Busy());
    w_->EnableCommands(false);  // as during a run
    EXPECT_TRUE(w_->Busy());
    w_->EnableCommands(true);
    EXPECT_FALSE(w_->Busy());
    // A window that shows nothing shows itself rather than take files unseen.
    w_->hide();
    w_->BringToFront();
    EXPECT_TRUE(w_->isVisible());
}

// Command lines handed over while the window is busy (a run, a box) wait, in order, and are
// taken one at a time once it is free; none is dropped.
TEST_F(Window, HandedOverCommandLinesWaitForTheWindowToBeFree) {
    w_->show();
    std::vector<std::vector<std::string>> taken;
    int depth = 0, deepest = 0;
    THandOverQueue queue(*w_, [&](const std::vector<std::string>& args) {
        taken.push_back(args);
        deepest = std::max(deepest, ++depth);
        QTest::qWait(2 * THandOverQueue::kRetryMs);   // a run lets messages through
        --depth;
    });
    w_->EnableCommands(false);
    queue.Add({"-m", "/a"});
    queue.Add({"/b"});
    QTest::qWait(2 * THandOverQueue::kRetryMs);
    EXPECT_TRUE(taken.empty());
    EXPECT_EQ(queue.Pending(), 2u);
    w_->EnableCommands(true);
    QDialog box(w_.get());
    box.setModal(true);
    box.show();
    QTest::qWait(2 * THandOverQueue::kRetryMs);
    EXPECT_TRUE(taken.empty());
    box.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return taken.size() == 2; }, 5000));
    EXPECT_EQ(taken, (std::vector<std::vector<std::string>>{{"-m", "/a"}, {"/b"}}));
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_EQ(deepest, 1);   // one at a time
    // A free window takes it at once.
    queue.Add({"/c"});
    EXPECT_EQ(taken.size(), 3u);
}

TEST(AboutLines, DesignPlacesAtThirteenPixelsAndTallerLinesMoveUp) {
    struct Case { int lineHeight, first, second; };
    for (const Case& c : {Case{13, 221, 234}, Case{10, 221, 234}, Case{19, 209, 228}}) {
        const TAboutLineTops t = AboutLineTops(c.lineHeight, 252);
        EXPECT_EQ(t.First, c.first) << c.lineHeight;
        EXPECT_EQ(t.Second, c.second) << c.lineHeight;
    }
}

TEST_F(Window, AboutLinesDoNotTouchEachOtherOrTheEdge) {
    TVersionDlg about(*w_, w_.get());
    // The two lines alone on white, where the box puts them with its real font.
    QPixmap picture(442, 253);
    picture.fill(Qt::white);
    const TAboutLineTops tops = AboutLineTops(QFontMetrics(AboutLineFont(about.font())).lineSpacing(), about.height());
    DrawCentredLine(picture, about.font(), about.VersionLine, tops.First);
    DrawCentredLine(picture, about.font(), about.BuildLine, tops.Second);
    const QImage image = picture.toImage();
    std::vector<bool> inked(size_t(image.height()), false);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() && !inked[size_t(y)]; ++x) inked[size_t(y)] = qGray(image.pixel(x, y)) < 160;
    // Ink in two bands with a clear row between them, and clear rows above the box's bottom edge.
    int bands = 0;
    for (int y = 1; y < image.height(); ++y) bands += inked[size_t(y)] && !inked[size_t(y - 1)];
    EXPECT_EQ(bands, 2);
    int last = 0;
    for (int y = 0; y < image.height(); ++y)
        if (inked[size_t(y)]) last = y;
    EXPECT_LT(last, about.height() - 1);
}

TEST(LogTime, ShortDateAndLongTimeOfTheLocaleWithoutTheZone) {
    const QDateTime moment(QDate(2026, 12, 10), QTime(12, 34, 56));
    const struct {
        const char* locale;
        const char* text;
    } cases[] = {
        {"ja_JP", "2026/12/10 12時34分56秒"},
        {"en_US", "12/10/26 12:34:56 PM"},
        {"de_DE", "10.12.26 12:34:56"},
        {"zh_CN", "2026/12/10 12:34:56"},   // the zone stood in front of the time
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogTimeText(QLocale(QString::fromLatin1(c.locale)), moment), QString::fromUtf8(c.text)) << c.locale;
}

// The window made under a Japanese locale, as a Japanese desktop starts it.
class WindowInJapanese : public AppFixture {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QStringLiteral("ja_JP")));
        AppFixture::SetUp();
    }
    void TearDown() override {
        AppFixture::TearDown();
        QLocale::setDefault(QLocale::system());
    }
};

TEST_F(WindowInJapanese, LogTimeColumnShowsTheWholeTimeAndTheSavedLogTheSame) {
    // The two lines of creation carry the clock's own time text.
    const QString first = w_->ListView1->topLevelItem(0)->text(1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d{2}/\\d{2} \\d{1,2}時\\d{2}分\\d{2}秒$")).match(first).hasMatch())
        << first.toStdString();
    // The widest time of the year fits the column as the list draws it.
    w_->NowText = [] { return LogTimeText(QLocale(), QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58))); };
    w_->AddLog(QStringLiteral("widest"), lkInformation);
    w_->show();
    EXPECT_GT(w_->ListView1->columnWidth(1), 140);
    EXPECT_GE(w_->ListView1->columnWidth(1), static_cast<QAbstractItemView*>(w_->ListView1)->sizeHintForColumn(1));
    // The saved log holds the full text.
    EXPECT_EQ(w_->LogFileLines().at(3), QStringLiteral("[I] 2026/12/28 23時58分58秒 widest"));
}

TEST_F(Window, LogShowsEachNewLine) {
    // Lines from before the window was shown, and a list the user scrolled to its top.
    for (int i = 0; i < 30; ++i) w_->AddLog(QStringLiteral("line %1").arg(i), lkInformation);
    w_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w_.get()));
    w_->ListView1->scrollToTop();
    // The row `back` rows above the last one lies wholly in sight, the scroll bar at its end.
    auto shown = [this](int back) {
        QTreeWidget* list = w_->ListView1;
        QTreeWidgetItem* row = list->topLevelItem(list->topLevelItemCount() - 1 - back);
        return list->viewport()->rect().contains(list->visualItemRect(row)) &&
               list->verticalScrollBar()->value() == list->verticalScrollBar()->maximum();
    };
    const QString file = MakeFile(QStringLiteral("seen.txt"), std::string("abc"));
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(Log().back().Text, kElapsedZero);
    EXPECT_TRUE(shown(0));
    // With a comparison, its verdict and the elapsed time end the run in sight.
    w_->CheckBox3->setChecked(true);
    w_->Edit1->setText(QString::fromLatin1(kMd5Abc));
    w_->ListView1->scrollToTop();
    w_->AnalyzeFile(TPath(file));
    const auto log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2].Text, QStringLiteral("MD5を比較 ---> 一致"));
    EXPECT_TRUE(shown(1));
    EXPECT_TRUE(shown(0));
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstEnds) {
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    auto first = std::make_unique<TSingleInstance>(QStringLiteral("TTavrenne"), folder);
    ASSERT_TRUE(first->TryAcquire());
    TSingleInstance second(QStringLiteral("TTavrenne"), folder);
    // QLockFile refuses a second holder even inside one process only through another object.
    EXPECT_FALSE(second.TryAcquire());
    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

}  // namespace
