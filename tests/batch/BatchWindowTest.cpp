// The batch window as a user meets it, with recording dialogs and a clock that pumps between
// every two rows.
#include <sys/stat.h>
#include <sys/time.h>

#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QButtonGroup>
#include <QAbstractButton>
#include <QTimeEdit>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QTreeView>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "batch/Tacdlgf.h"
#include "batch/Tallcheck.h"
#include "engine/BatchList.h"
#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

const char* const kMd5Abc = "900150983cd24fb0d6963f7d28e17f72";
const char* const kSha1Abc = "a9993e364706816aba3e25717850c26c9cd0d89d";
const char* const kCrcAbc = "352441c2";

class Batch : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        b_ = std::make_unique<Tallcheck>(w_.get());
        b_->Wait = [this](int ms) { batchWaits_.push_back(ms); };
        b_->NowText = [] { return std::string("2026/01/02 3:04:05"); };
        // Every row is 100 ms of work: the window pumps between any two rows.
        b_->Clock = [this] { return clock_ += 100; };
    }
    void TearDown() override {
        b_.reset();
        AppFixture::TearDown();
    }

    // What the list shows in a cell.
    QString Cell(int row, int cell) const { return b_->ListView1->model()->index(row, cell).data().toString(); }
    // Runs the checked work type, answering the confirmation Yes.
    void Run() {
        dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
        b_->Action3->trigger();
    }
    QString LastMessage() const { return dialogs_.Messages().back().Text; }
    // a.txt "abc", sub/b.txt "abc", sub/c.bin (empty): three files in two folders.
    void AddTree() {
        MakeFile(QStringLiteral("tree/a.txt"), std::string("abc"));
        MakeFile(QStringLiteral("tree/sub/b.txt"), std::string("abc"));
        MakeFile(QStringLiteral("tree/sub/c.bin"), std::string());
        for (const char* name : {"tree/a.txt", "tree/sub/b.txt", "tree/sub/c.bin"})
            b_->AddFile(TPath((dir_->path() / name).string()));
    }

    std::unique_ptr<Tallcheck> b_;
    std::vector<int> batchWaits_;
    int64_t clock_ = 0;
};

TEST_F(Batch, CreationShowsTheMd5TypeAndTheControlsAsTheyStart) {
    EXPECT_EQ(b_->windowTitle(), QStringLiteral("MD5 一括取得"));
    EXPECT_EQ(b_->size(), QSize(774, 554));
    EXPECT_EQ(b_->font().pixelSize(), 12);
    EXPECT_EQ(allcheck, b_.get());
    const int widths[] = {20, 200, 0, 0, 0, 400, 0, 0, 0};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(b_->ListView1->columnWidth(c), widths[c]) << c;
    const QAbstractItemModel* header = b_->ListView1->model();
    EXPECT_EQ(header->headerData(1, Qt::Horizontal).toString(), QStringLiteral("ファイル名："));
    EXPECT_EQ(header->headerData(6, Qt::Horizontal).toString(), QStringLiteral("FileSize"));
    EXPECT_TRUE(b_->Action7->isChecked());
    EXPECT_FALSE(b_->Action3->isEnabled());
    EXPECT_FALSE(b_->Button3->isEnabled());
    EXPECT_FALSE(b_->Action8->isEnabled());
    EXPECT_FALSE(b_->Action9->isEnabled());
    EXPECT_FALSE(b_->Button4->isEnabled());
    EXPECT_TRUE(b_->Button5->isDefault());
    EXPECT_TRUE(b_->Panel1->isHidden());
    EXPECT_TRUE(b_->Panel2->isHidden());
    EXPECT_EQ(b_->Edit1->text(), QStringLiteral("NewFilename_"));
    EXPECT_EQ(b_->RadioGroup1Items->checkedId(), 1);
    EXPECT_EQ(b_->Label4->text(), QStringLiteral("指定値＋連番\r\nabc.txt->NewFilename_xxx.txt"));
    EXPECT_EQ(b_->StatusPanels[0]->text(), QStringLiteral("エラー："));
    EXPECT_EQ(b_->StatusPanels[1]->text(), QString());
    const auto menus = b_->ActionMainMenuBar1->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->menu()->actions(), (QList<QAction*>{b_->Action12, b_->Action3, b_->Action4}));
    EXPECT_EQ(menus[1]->menu()->actions(),
              (QList<QAction*>{b_->Action6, b_->Action7, b_->Action10, b_->Action13, b_->Action11, b_->Action5,
                               b_->Action8, b_->Action9, b_->Action2}));
}

// A fixed dialog whose captions show whole in every work type (the rename example is two lines,
// partly in a fallback font where the window's font has no kana).
TEST_F(Batch, AFixedDialogWithWholeCaptionsInEveryWorkType) {
    EXPECT_TRUE(IsFixedDialog(*b_));
    b_->Action11->trigger();
    for (int type = 0; type < 3; ++type) {
        b_->RadioGroup1Items->button(type)->click();
        EXPECT_EQ(CutLabels(*b_), QStringList()) << type;
        EXPECT_LE(b_->Label4->geometry().bottom(), b_->Panel2->height()) << type;
    }
    b_->Action5->trigger();
    EXPECT_EQ(CutLabels(*b_), QStringList());
}

// Counts the paints of the adding dialog's label and button, wherever the dialog is.
class TAddingDialogPaints : public QObject {
public:
    int Label = 0, Button = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<Tacdlgf*>(watched->parent())) {
            if (qobject_cast<QLabel*>(watched)) ++Label;
            if (qobject_cast<QPushButton*>(watched)) ++Button;
        }
        return false;
    }
};

// The adding dialog has no caption buttons at all, stays on top, keeps its size, and is on
// the screen and painted before the first file is added.
TEST_F(Batch, TheAddingDialogIsPaintedBeforeTheFirstFileAndHasNoCaptionButtons) {
    b_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(b_.get()));
    QStringList names;
    for (int i = 0; i < 3; ++i) names << MakeFile(QStringLiteral("p/%1.txt").arg(i), std::string("x"));
    TAddingDialogPaints paints;
    qApp->installEventFilter(&paints);
    struct {
        bool found = false, exposed = false, labelPainted = false, buttonPainted = false;
        Qt::WindowFlags flags;
        QSize size, minimum, maximum;
    } seen;
    // The loop starts its clock before the first file: the dialog is looked at then.
    b_->Clock = [&] {
        for (Tacdlgf* d : b_->findChildren<Tacdlgf*>()) {
            if (seen.found) break;
            if (!d->isVisible()) continue;
            seen.found = true;
            seen.exposed = d->windowHandle() && d->windowHandle()->isExposed();
            seen.flags = d->windowFlags();
            seen.size = d->size();
            seen.minimum = d->minimumSize();
            seen.maximum = d->maximumSize();
            seen.labelPainted = paints.Label > 0;
            seen.buttonPainted = paints.Button > 0;
        }
        return clock_ += 100;
    };
    b_->HandleDroppedFiles(Paths(names));
    qApp->removeEventFilter(&paints);
    EXPECT_EQ(b_->RowCount(), 3);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.exposed);
    EXPECT_TRUE(seen.labelPainted);
    EXPECT_TRUE(seen.buttonPainted);
    EXPECT_TRUE(seen.flags & Qt::FramelessWindowHint);   // no title bar, so no buttons on one
    EXPECT_TRUE(seen.flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(seen.flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                               Qt::WindowSystemMenuHint));
    EXPECT_EQ(seen.size, QSize(324, 73));
    EXPECT_EQ(seen.minimum, seen.maximum);
}

TEST_F(Batch, EachWorkTypeSetsCaptionColumnsAndPanel) {
    struct Case {
        QAction* Tallcheck::*action;
        const char* caption;
        std::vector<int> wide;
        bool panel1, panel2;
    };
    const Case cases[] = {
        {&Tallcheck::Action6, "CRC32 一括取得", {4}, false, false},
        {&Tallcheck::Action10, "SHA-1 一括取得", {7}, false, false},
        {&Tallcheck::Action13, "全取得 ( CRC32 MD5 SHA-1)", {4, 5, 7}, false, false},
        {&Tallcheck::Action11, "ファイル名一括変更", {}, false, true},
        {&Tallcheck::Action5, "Time Walker", {2, 3}, true, false},
        {&Tallcheck::Action7, "MD5 一括取得", {5}, false, false},
    };
    for (const Case& c : cases) {
        (b_.get()->*c.action)->trigger();
        EXPECT_TRUE((b_.get()->*c.action)->isChecked());
        EXPECT_EQ(b_->windowTitle(), QString::fromUtf8(c.caption));
        for (int col = 2; col <= 8; ++col) {
            const bool wide = std::find(c.wide.begin(), c.wide.end(), col) != c.wide.end();
            EXPECT_EQ(b_->ListView1->columnWidth(col), wide ? 400 : 0) << c.caption << " " << col;
        }
        EXPECT_EQ(!b_->Panel1->isHidden(), c.panel1) << c.caption;
        EXPECT_EQ(!b_->Panel2->isHidden(), c.panel2) << c.caption;
        EXPECT_EQ(b_->Action8->isEnabled(), c.panel1) << c.caption;
    }
    int checked = 0;
    for (QAction* a : {b_->Action5, b_->Action6, b_->Action7, b_->Action10, b_->Action11, b_->Action13})
        checked += a->isChecked();
    EXPECT_EQ(checked, 1);
}

TEST_F(Batch, AddingByDialogAndFolderAndClearing) {
    const QString a = MakeFile(QStringLiteral("f/a.txt"), std::string("abc"));
    const QString old = MakeFile(QStringLiteral("f/old.txt"), std::string("x"));
    const time_t when = LocalTime(1979, 6, 1, 0, 0, 0);
    struct timeval tv[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimes(old.toStdString().c_str(), tv), 0);
    MakeFile(QStringLiteral("f/sub/b.txt"), std::string("b"));

    dialogs_.FileAnswers.push_back(a + QLatin1Char('\n') + a + QLatin1Char('\n') + old);
    b_->Button2->click();
    ASSERT_EQ(b_->RowCount(), 2);   // the same file twice; the 1979 file not at all
    EXPECT_EQ(dialogs_.Calls[0].Request.Filter, QStringLiteral("すべてのファイル(*.*)|*.*"));
    EXPECT_TRUE(dialogs_.Calls[0].Request.MustExist);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("a.txt"));
    EXPECT_EQ(Cell(0, 3), QString::fromStdString(FileTimeText(
                              {b_->ChosenTimestamp().date().year(), b_->ChosenTimestamp().date().month(),
                               b_->ChosenTimestamp().date().day(), b_->ChosenTimestamp().time().hour(),
                               b_->ChosenTimestamp().time().minute(), b_->ChosenTimestamp().time().second(), 0})));
    for (int c : {4, 5, 6, 7}) EXPECT_EQ(Cell(0, c), QStringLiteral("---"));
    EXPECT_EQ(Cell(0, 8), a);
    EXPECT_FALSE(b_->ListView1->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(b_->ImageList1.size(), 2u);
    EXPECT_TRUE(b_->Action3->isEnabled());
    EXPECT_TRUE(b_->Button3->isEnabled());

    // A folder without its subfolders: the subfolder itself is listed, then dropped.
    const QString folder = QString::fromStdString((dir_->path() / "f").string());
    dialogs_.FileAnswers.push_back(folder);
    dialogs_.MessageAnswers.push_back(TMsgResult::No);
    b_->Button6->click();
    EXPECT_EQ(b_->RowCount(), 3);
    const TRecordedDialog& folderCall = dialogs_.Calls[1];
    EXPECT_EQ(folderCall.Kind, QStringLiteral("folder"));
    EXPECT_EQ(folderCall.Caption, QStringLiteral("フォルダ内のファイルを追加します..."));
    const TRecordedDialog& question = dialogs_.Calls[2];
    EXPECT_EQ(question.Caption, QStringLiteral("確認"));
    EXPECT_EQ(question.Text, QStringLiteral("サブフォルダ内のファイルも追加しますか？"));
    EXPECT_EQ(question.Icon, TMsgIcon::Question);
    EXPECT_EQ(batchWaits_, std::vector<int>{300});

    dialogs_.FileAnswers.push_back(folder);
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    b_->Action12->trigger();
    EXPECT_EQ(b_->RowCount(), 5);

    // Clearing asks first; No keeps the list.
    b_->Action2->trigger();
    EXPECT_EQ(b_->RowCount(), 5);
    EXPECT_EQ(LastMessage(), QStringLiteral("リストをクリアします　よろしいですか？"));
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    b_->Action2->trigger();
    EXPECT_EQ(b_->RowCount(), 0);
    EXPECT_TRUE(b_->ImageList1.empty());
    EXPECT_FALSE(b_->Action3->isEnabled());
    EXPECT_FALSE(b_->Action9->isEnabled());
}

TEST_F(Batch, DropsAddFilesOnlyAndTheAbortStopsAfterTheCurrentFile) {
    QStringList names;
    for (int i = 0; i < 20; ++i) names << MakeFile(QStringLiteral("d/%1.txt").arg(i), std::string("x"));
    const QString folder = QString::fromStdString((dir_->path() / "d").string());
    QStringList mixed{names[0], folder, names[1] + QStringLiteral(".missing"), names[2]};
    b_->HandleDroppedFiles(Paths(mixed));
    EXPECT_EQ(b_->RowCount(), 2);
    EXPECT_EQ(b_->ProgressDialogsOpened, 1);

    // The dialog lets messages run on its eighth file; its abort button is pressed then.
    QString shown;
    AtPump([] { return true; },
           [&] {
               Tacdlgf* dialog = nullptr;
               for (Tacdlgf* d : b_->findChildren<Tacdlgf*>())
                   if (d->isVisible()) dialog = d;
               ASSERT_NE(dialog, nullptr);
               shown = dialog->Label1->text();
               EXPECT_EQ(dialog->windowTitle(), w_->ApplicationTitle());
               dialog->Button1->click();
           });
    b_->HandleDroppedFiles(Paths(names));
    EXPECT_EQ(shown, QStringLiteral("ファイルを追加しています... 7"));
    EXPECT_EQ(b_->RowCount(), 2 + 8);

    // The next adding runs in full.
    SetMessagePump(nullptr);
    b_->HandleDroppedFiles(Paths(names));
    EXPECT_EQ(b_->RowCount(), 2 + 8 + 20);
}

TEST_F(Batch, AllThreeRunFillsEveryDigestAndExportsTheList) {
    AddTree();
    const QString sound = MakeFile(QStringLiteral("end.wav"), std::string("RIFF"));
    settings_.Values.UseSound = true;
    settings_.Values.SoundFile1 = sound.toStdString();
    b_->Action13->trigger();
    QStringList phases;
    SetMessagePump([&] {
        if (phases.isEmpty() || phases.back() != b_->Label1->text()) phases << b_->Label1->text();
        EXPECT_FALSE(b_->ActionMainMenuBar1->isEnabled());
        EXPECT_TRUE(b_->Button4->isEnabled());
        EXPECT_TRUE(b_->Button2->isEnabled());
        EXPECT_TRUE(b_->Button6->isEnabled());
        EXPECT_FALSE(b_->Button5->isEnabled());
        QCloseEvent close;
        QCoreApplication::sendEvent(b_.get(), &close);
        EXPECT_FALSE(close.isAccepted());
    });
    Run();
    EXPECT_EQ(phases, (QStringList{QStringLiteral("フェーズ 1 CRC32:"), QStringLiteral("フェーズ 2 MD5:"),
                                   QStringLiteral("フェーズ 3 SHA-1:")}));
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Text, QStringLiteral("選択された処理を行います　よろしいですか？　"));
    EXPECT_EQ(messages[0].Caption, w_->ApplicationTitle());
    EXPECT_EQ(messages[1].Text, QStringLiteral("作業が完了しました　error:0  "));
    EXPECT_EQ(messages[1].Icon, TMsgIcon::Information);
    for (int r : {0, 1}) {
        EXPECT_EQ(Cell(r, 4), QString::fromLatin1(kCrcAbc));
        EXPECT_EQ(Cell(r, 5), QString::fromLatin1(kMd5Abc));
        EXPECT_EQ(Cell(r, 7), QString::fromLatin1(kSha1Abc));
        EXPECT_EQ(Cell(r, 6), QString::fromStdString(BatchSizeText(3, ThousandsSeparator())));
    }
    // The empty file has no digest: its cells stay as they were.
    for (int c : {4, 5, 7}) EXPECT_EQ(Cell(2, c), QStringLiteral("---"));
    EXPECT_EQ(Cell(2, 6), QString::fromStdString(std::string(19, ' ') + "0 バイト"));
    EXPECT_EQ(b_->Label1->text(), QStringLiteral("全体の進行状況:"));
    EXPECT_EQ(b_->Label5->text(), QStringLiteral("現在のファイル: "));
    EXPECT_EQ(b_->ProgressBar1->value(), 0);
    EXPECT_TRUE(b_->Action9->isEnabled());
    EXPECT_TRUE(b_->ActionMainMenuBar1->isEnabled());
    EXPECT_FALSE(b_->Button4->isEnabled());
    EXPECT_EQ(platform_.Sounds, QStringList{sound});

    // The export: a chosen name ending ".log" is written as ".txt".
    const std::string chosen = (dir_->path() / "list.log").string();
    dialogs_.FileAnswers.push_back(QString::fromStdString(chosen));
    b_->BitBtn1->click();
    const TRecordedDialog& save = dialogs_.Calls.back();
    EXPECT_EQ(save.Request.FileName, QStringLiteral("CheckFileList.txt"));
    // The window's own text file comes first and is the one offered.
    EXPECT_TRUE(save.Request.Filter.startsWith(QStringLiteral("テキストファイル(*.txt)|*.txt|")));
    EXPECT_EQ(save.Request.FilterIndex, 1);
    EXPECT_TRUE(save.Request.OverwritePrompt);
    EXPECT_FALSE(fs::exists(chosen));
    const std::string bytes = ReadBytes(dir_->path() / "list.txt");
    std::vector<TBatchRow> rows;
    for (int r = 0; r < 3; ++r) rows.push_back(b_->Row(r));
    EXPECT_EQ(bytes, ExportBytes(ExportLines(rows, "2026/01/02 3:04:05")));
    const std::string folder = (dir_->path() / "tree/sub").string();
    EXPECT_NE(bytes.find("\r\nCRC32: 352441c2\r\n  MD5: 900150983cd24fb0d6963f7d28e17f72\r\n SHA1: "
                         "a9993e364706816aba3e25717850c26c9cd0d89d\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find(": " + folder + "\r\n"), std::string::npos);
}

TEST_F(Batch, EachSingleTypeFillsOnlyItsCellAndNeverChangesTheLabel) {
    struct Case {
        QAction* Tallcheck::*action;
        int cell;
        const char* digest;
    };
    const Case cases[] = {{&Tallcheck::Action6, 4, kCrcAbc}, {&Tallcheck::Action7, 5, kMd5Abc},
                          {&Tallcheck::Action10, 7, kSha1Abc}};
    for (const Case& c : cases) {
        dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
        b_->Action2->trigger();
        AddTree();
        (b_.get()->*c.action)->trigger();
        QStringList labels;
        SetMessagePump([&] { labels << b_->Label1->text(); });
        Run();
        EXPECT_EQ(labels.removeDuplicates(), labels.size() - 1);
        EXPECT_EQ(labels, QStringList{QStringLiteral("全体の進行状況:")});
        for (int cell : {4, 5, 7})
            EXPECT_EQ(Cell(0, cell), cell == c.cell ? QString::fromLatin1(c.digest) : QStringLiteral("---"));
        EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));
    }
}

TEST_F(Batch, AbortDuringTheCrc32PhaseLeavesEveryLaterCell) {
    for (int i = 0; i < 4; ++i) MakeFile(QStringLiteral("ab/%1.txt").arg(i), std::string("abc"));
    for (int i = 0; i < 4; ++i) b_->AddFile(TPath((dir_->path() / "ab" / (std::to_string(i) + ".txt")).string()));
    b_->Action13->trigger();
    AtPump([&] { return Cell(0, 4) != QStringLiteral("---"); }, [&] { b_->Button4->click(); });
    Run();
    EXPECT_EQ(Cell(0, 4), QString::fromLatin1(kCrcAbc));
    for (int r = 1; r < 4; ++r) EXPECT_EQ(Cell(r, 4), QStringLiteral("---")) << r;
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Cell(r, 5), QStringLiteral("---"));
        EXPECT_EQ(Cell(r, 7), QStringLiteral("---"));
    }
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));
    EXPECT_FALSE(b_->FAbort);
    EXPECT_EQ(b_->FEngine, nullptr);
    EXPECT_FALSE(b_->FRunning);
}

TEST_F(Batch, AbortInsideTheEngineOfALongFile) {
    SmallBuffers();
    b_->AddFile(TPath(MakeFile(QStringLiteral("big.bin"), 400 * 1024, 'a')));
    b_->AddFile(TPath(MakeFile(QStringLiteral("abc.txt"), std::string("abc"))));
    AtPump([&] { return b_->FEngine != nullptr && b_->ProgressBar2->value() > 0; }, [&] { b_->Button4->click(); });
    Run();
    EXPECT_EQ(Cell(0, 5), QStringLiteral("---"));
    EXPECT_EQ(Cell(1, 5), QStringLiteral("---"));
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));
}

TEST_F(Batch, TimeWalkerSetsEvenSecondsAndCountsFailures) {
    AddTree();
    b_->AddFile(TPath(MakeFile(QStringLiteral("gone.txt"), std::string("g"))));
    fs::remove(dir_->path() / "gone.txt");
    b_->Action5->trigger();
    // Changing the time keeps the date; every row's cell 3 follows.
    b_->DateTimePicker1->setDate(QDate(2004, 8, 1));
    b_->DateTimePicker2->setTime(QTime(12, 30, 5));
    EXPECT_EQ(b_->ChosenTimestamp(), QDateTime(QDate(2004, 8, 1), QTime(12, 30, 5)));
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Cell(r, 3), QStringLiteral("2004年8月1日 12時30分05秒"));
    Run();
    struct stat st;
    ASSERT_EQ(stat((dir_->path() / "tree/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, LocalTime(2004, 8, 1, 12, 30, 4));
    for (int r = 0; r < 3; ++r) EXPECT_EQ(Cell(r, 2), QStringLiteral("2004年8月1日 12時30分04秒"));
    EXPECT_EQ(b_->StatusPanels[1]->text(), QStringLiteral("1"));
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:1  "));
    EXPECT_TRUE(b_->Action8->isEnabled());

    // Out of range: every file fails.
    b_->SetNewTimestamp(QDateTime(QDate(1979, 12, 31), QTime(0, 0)));
    Run();
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:4  "));
    EXPECT_EQ(Cell(0, 2), QStringLiteral("2004年8月1日 12時30分04秒"));
}

TEST_F(Batch, RenameAcrossFoldersSkipsTakenNamesWithoutFailure) {
    AddTree();
    MakeFile(QStringLiteral("tree/sub/NewFilename_002.bin"), std::string("taken"));
    b_->Action11->trigger();
    Run();
    EXPECT_EQ(ReadBytes(dir_->path() / "tree/NewFilename_000.txt"), "abc");
    EXPECT_EQ(ReadBytes(dir_->path() / "tree/sub/NewFilename_001.txt"), "abc");
    EXPECT_EQ(ReadBytes(dir_->path() / "tree/sub/NewFilename_002.bin"), "taken");
    EXPECT_TRUE(fs::exists(dir_->path() / "tree/sub/c.bin"));
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));
    // The rows still show the old names; a second run finds none of them.
    EXPECT_EQ(Cell(0, 1), QStringLiteral("a.txt"));
    Run();
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));

    // Type 0, and the example text follows the type.
    b_->RadioGroup1Items->button(0)->click();
    EXPECT_EQ(b_->Label4->text(), QStringLiteral("連番\r\nabc.txt->xxx.txt"));
}

// The given text makes a name inside each file's own folder: a text that would name another
// folder is refused before anything runs.
TEST_F(Batch, RenameRefusesAGivenTextThatLeavesTheFolder) {
    AddTree();
    b_->Action11->trigger();
    for (const char* text : {"../up_", "sub/x_", "/", "a/../b"}) {
        dialogs_.Calls.clear();
        b_->Edit1->setText(QString::fromUtf8(text));
        b_->Action3->trigger();
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 1u) << text;
        EXPECT_EQ(messages[0].Text, QStringLiteral("指定値に「/」は使えません")) << text;
        EXPECT_EQ(messages[0].Icon, TMsgIcon::Exclamation);
        EXPECT_EQ(messages[0].Caption, w_->ApplicationTitle());
    }
    EXPECT_TRUE(fs::exists(dir_->path() / "tree/a.txt"));
    EXPECT_TRUE(fs::exists(dir_->path() / "tree/sub/b.txt"));
    EXPECT_TRUE(b_->ActionMainMenuBar1->isEnabled());
    // Dots name a file, not a folder (a number always follows the text): the run is offered.
    dialogs_.Calls.clear();
    b_->Edit1->setText(QStringLiteral("a.."));
    b_->Action3->trigger();   // answered No
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].Buttons, TMsgButtons::YesNo);
    // The types without a given text do not look at it.
    b_->RadioGroup1Items->button(0)->click();
    Run();
    EXPECT_EQ(ReadBytes(dir_->path() / "tree/000.txt"), "abc");
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));
}

// A file deleted after it was added has no digest: its row counts as an error once, however
// many phases meet it, and keeps its cells (no size of 0 for a file that is not there).
TEST_F(Batch, FilesWhoseDigestCannotBeComputedAreErrors) {
    AddTree();
    fs::remove(dir_->path() / "tree/sub/b.txt");
    b_->Action13->trigger();
    Run();
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:1  "));
    for (int c : {4, 5, 6, 7}) EXPECT_EQ(Cell(1, c), QStringLiteral("---")) << c;
    EXPECT_EQ(Cell(0, 5), QString::fromLatin1(kMd5Abc));
    // The empty file is no error: it has no digest by the engines' rule.
    EXPECT_EQ(Cell(2, 6), QString::fromStdString(std::string(19, ' ') + "0 バイト"));
    b_->Action7->trigger();
    Run();
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:1  "));
}

// Saving the list over an older one on a disk that fills up (writes past a limit fail) keeps
// the older list byte for byte and leaves nothing half-written.
TEST_F(Batch, AFailedExportKeepsTheOlderListAsItWas) {
    for (int i = 0; i < 60; ++i) b_->AddFile(TPath(MakeFile(QStringLiteral("many/file%1.txt").arg(i), std::string("abc"))));
    Run();
    const std::string old = PatternBytes(6000);
    const std::string list = dir_->write("list.txt", old);
    dialogs_.FileAnswers.push_back(QString::fromStdString(list));
    {
        const FileSizeLimit limit(4096);
        b_->BitBtn1->click();
    }
    EXPECT_EQ(ReadBytes(list), old);
    EXPECT_EQ(LastMessage(), QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(dialogs_.Messages().back().Icon, TMsgIcon::Error);
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_->path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
    // With room, the same save replaces it.
    dialogs_.FileAnswers.push_back(QString::fromStdString(list));
    b_->BitBtn1->click();
    std::vector<TBatchRow> rows;
    for (int r = 0; r < b_->RowCount(); ++r) rows.push_back(b_->Row(r));
    EXPECT_EQ(ReadBytes(list), ExportBytes(ExportLines(rows, "2026/01/02 3:04:05")));
}

// A Linux file name is bytes: a name that is not UTF-8 goes from a drop into a row, the runs
// open the file by the row's path, the list shows its text and the export writes the name as
// Shift_JIS writes it, into a chosen file whose name is not UTF-8 either.
TEST_F(Batch, NamesThatAreNotUtf8GoThroughTheRowsTheRunsAndTheExport) {
    const fs::path folder = dir_->path() / "dir\xFE";
    fs::create_directories(folder);
    const std::string file = (folder / "bad\xFF.txt").string();
    std::ofstream(file, std::ios::binary) << "abc";
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(file).toPercentEncoding("/"))});
    b_->show();   // drops are taken from the moment the window shows
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(b_.get(), &drop);
    ASSERT_EQ(b_->RowCount(), 1);
    EXPECT_EQ(b_->Row(0).Path, file);
    EXPECT_EQ(b_->Row(0).Name, "bad\xFF.txt");
    EXPECT_EQ(Cell(0, 1), QString::fromUtf8("bad\xEF\xBF\xBD.txt"));

    Run();
    EXPECT_EQ(Cell(0, 5), QString::fromLatin1(kMd5Abc));
    EXPECT_EQ(LastMessage(), QStringLiteral("作業が完了しました　error:0  "));

    dialogs_.FileAnswers.push_back(TPath((dir_->path() / "list\xFD.log").string()).ToQString());
    b_->BitBtn1->click();
    const std::string written = ReadBytes(dir_->path() / "list\xFD.txt");
    const std::string entry = cp932::FromUtf8("ファイル名: ") + "bad?.txt\r\n" + cp932::FromUtf8("ファイルパス: ") +
                              (dir_->path() / "dir?").string() + "\r\n";
    EXPECT_NE(written.find(entry), std::string::npos) << written;

    b_->Action11->trigger();
    Run();
    EXPECT_EQ(ReadBytes(folder / "NewFilename_000.txt"), "abc");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Batch, NoConfirmationOrAnEmptyListRunsNothing) {
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    b_->Action3Execute();
    EXPECT_EQ(dialogs_.Messages().size(), 1u);
    AddTree();
    b_->Action3->trigger();   // answered No
    EXPECT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_EQ(Cell(0, 5), QStringLiteral("---"));
}

TEST_F(Batch, TheMainWindowHidesWhileTheBatchWindowIsOpen) {
    b_.reset();
    w_->show();
    bool hiddenMeanwhile = false;
    QTimer::singleShot(0, [&] {
        ASSERT_NE(allcheck, nullptr);
        hiddenMeanwhile = !w_->isVisible() && allcheck->isVisible() && allcheck->isModal();
        allcheck->Button5->click();
    });
    RunBatchWindow(*w_);
    EXPECT_TRUE(hiddenMeanwhile);
    EXPECT_TRUE(w_->isVisible());
    EXPECT_EQ(allcheck, nullptr);
}

}  // namespace
