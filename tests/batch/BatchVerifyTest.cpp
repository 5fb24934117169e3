// Checksum lists in the batch window: a list dropped or opened becomes rows to verify, and
// the export writes lists that coreutils and cksfv check.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "batch/Tallcheck.h"
#include "engine/BatchList.h"
#include "fakes/AppFixture.h"
#include "support/Process.h"

namespace fs = std::filesystem;

namespace {

const char* const kSha256OfAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char* const kSha512OfAbc =
    "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2"
    "a9ac94fa54ca49f";
const char* const kSha1OfAbc = "a9993e364706816aba3e25717850c26c9cd0d89d";

class BatchVerify : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        v_ = std::make_unique<Tallcheck>(w_.get());
        v_->Wait = [](int) {};
        v_->NowText = [] { return std::string("2026/01/02 3:04:05"); };
        v_->Clock = [this] { return verifyClock_ += 100; };
    }
    void TearDown() override {
        v_.reset();
        AppFixture::TearDown();
    }
    QString VerifyCell(int row, int cell) const { return v_->ListView1->model()->index(row, cell).data().toString(); }
    void RunVerify() {
        dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
        v_->Action3->trigger();
    }
    // Exports with the save dialog's pair `filter` to `chosen`.
    void ExportAs(int filter, const fs::path& chosen) {
        dialogs_.FilterAnswers.push_back(filter);
        dialogs_.FileAnswers.push_back(QString::fromStdString(chosen.string()));
        v_->BitBtn1->click();
    }

    std::unique_ptr<Tallcheck> v_;
    int64_t verifyClock_ = 0;
};

// Each format of list, dropped alone on the window: a file that matches, one that changed, one
// that is gone, and a folder that cannot be read; names resolve against the list's folder.
TEST_F(BatchVerify, ADroppedListOfEachFormatShowsEveryVerdictCountsThemAndExportsThem) {
    struct TListCase {
        const char* file;
        std::string text;
        const char* kind;
        std::string good;   // the digest of "abc" in that kind, as the list's cells show it
    };
    const std::string zeros64(64, '0'), zeros128(128, '0'), zeros40(40, '0'), zeros32(32, '0');
    const TListCase cases[] = {
        {"SHA256SUMS",
         std::string(kSha256OfAbc) + "  a.txt\n" + zeros64 + "  sub/b.txt\n" + zeros64 + "  gone.txt\n" + zeros64 +
             "  dir\n",
         "SHA-256", kSha256OfAbc},
        {"list.sha512",
         "SHA512 (a.txt) = " + std::string(kSha512OfAbc) + "\nSHA512 (sub/b.txt) = " + zeros128 +
             "\nSHA512 (gone.txt) = " + zeros128 + "\nSHA512 (dir) = " + zeros128 + "\n",
         "SHA-512", kSha512OfAbc},
        {"files.sfv", "; made by hand\na.txt 352441C2\nsub/b.txt 00000000\ngone.txt 00000000\ndir 00000000\n", "CRC32",
         "352441c2"},
        {"list.md5",
         std::string(kMd5Abc) + " *a.txt\r\n" + zeros32 + " *sub/b.txt\r\n" + zeros32 + " *gone.txt\r\n" + zeros32 +
             " *dir\r\n",
         "MD5", kMd5Abc},
        {"SHA1SUMS", "# made by hand\n" + std::string(kSha1OfAbc) + "  a.txt\n" + zeros40 + "  sub/b.txt\n" + zeros40 +
                         "  gone.txt\n" + zeros40 + "  dir\n",
         "SHA-1", kSha1OfAbc},
    };
    MakeFile(QStringLiteral("v/a.txt"), std::string("abc"));
    MakeFile(QStringLiteral("v/sub/b.txt"), std::string("abc"));
    fs::create_directories(dir_->path() / "v/dir");
    for (const TListCase& c : cases) {
        SCOPED_TRACE(c.file);
        dialogs_.Calls.clear();
        v_ = std::make_unique<Tallcheck>(w_.get());
        v_->Wait = [](int) {};
        v_->NowText = [] { return std::string("2026/01/02 3:04:05"); };
        v_->Clock = [this] { return verifyClock_ += 100; };
        const QString list = MakeFile(QStringLiteral("v/") + QString::fromLatin1(c.file), c.text);
        v_->HandleDroppedFiles({TPath(list.toStdString())});

        ASSERT_EQ(v_->RowCount(), 4);
        EXPECT_TRUE(v_->Action14->isChecked());
        EXPECT_EQ(v_->windowTitle(), QStringLiteral("チェックサムの検証"));
        EXPECT_TRUE(v_->ActionMainMenuBar1->actions()[1]->menu()->actions().contains(v_->Action14));
        EXPECT_EQ(v_->Row(1).Path, (dir_->path() / "v/sub/b.txt").string());
        EXPECT_EQ(VerifyCell(0, TBatchRows::cListKind), QString::fromLatin1(c.kind));
        EXPECT_EQ(VerifyCell(0, TBatchRows::cExpected), QString::fromStdString(c.good));
        EXPECT_EQ(VerifyCell(0, TBatchRows::cVerdict), QStringLiteral("---"));
        for (int col = TBatchRows::cListKind; col <= TBatchRows::cVerdict; ++col)
            EXPECT_FALSE(v_->ListView1->isColumnHidden(col)) << col;

        RunVerify();
        const QString verdicts[] = {QStringLiteral("一致"), QStringLiteral("不一致"), QStringLiteral("見つかりません"),
                                    QStringLiteral("読めません")};
        for (int r = 0; r < 4; ++r) EXPECT_EQ(VerifyCell(r, TBatchRows::cVerdict), verdicts[r]) << r;
        // The changed file shows what it holds now; what could not be read shows nothing.
        EXPECT_EQ(VerifyCell(0, TBatchRows::cComputed), QString::fromStdString(c.good));
        EXPECT_EQ(VerifyCell(1, TBatchRows::cComputed), QString::fromStdString(c.good));
        EXPECT_EQ(VerifyCell(2, TBatchRows::cComputed), QStringLiteral("---"));
        EXPECT_EQ(VerifyCell(3, TBatchRows::cComputed), QStringLiteral("---"));
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[1].Text, QStringLiteral("作業が完了しました　error:3  一致:1  不一致:1  見つかりません:1  読めません:1"));
        EXPECT_EQ(v_->ProgressBar1->value(), 0);
        EXPECT_TRUE(v_->Action9->isEnabled());

        ExportAs(1, dir_->path() / "v/report.txt");
        const std::string bytes = ReadBytes(dir_->path() / "v/report.txt");
        std::vector<TBatchRow> rows;
        for (int r = 0; r < 4; ++r) rows.push_back(v_->Row(r));
        EXPECT_EQ(bytes, ExportBytes(ExportLines(rows, "2026/01/02 3:04:05")));
        const std::string changed = ExportBytes({std::string("検証 ") + c.kind + ": 不一致",
                                                 "  期待値: " + std::string(c.good.size(), '0'), "  計算値: " + c.good});
        EXPECT_NE(bytes.find(changed), std::string::npos);
        EXPECT_NE(bytes.find(ExportBytes({std::string("検証 ") + c.kind + ": 見つかりません"})), std::string::npos);
    }
}

// The abort leaves every row after the current one as it was; the closing box still counts.
TEST_F(BatchVerify, AbortingAVerificationLeavesTheRestOfTheRowsAsTheyWere) {
    std::string text;
    for (int i = 0; i < 6; ++i) {
        MakeFile(QStringLiteral("ab/%1.txt").arg(i), std::string("abc"));
        text += std::string(kMd5Abc) + "  " + std::to_string(i) + ".txt\n";
    }
    const QString list = MakeFile(QStringLiteral("ab/MD5SUMS"), text);
    v_->HandleDroppedFiles({TPath(list.toStdString())});
    ASSERT_EQ(v_->RowCount(), 6);
    AtPump([this] { return v_->FRunning && v_->Row(0).Verdict == "一致"; }, [this] { v_->Button4->click(); });
    RunVerify();
    EXPECT_EQ(VerifyCell(0, TBatchRows::cVerdict), QStringLiteral("一致"));
    for (int r = 2; r < 6; ++r) EXPECT_EQ(VerifyCell(r, TBatchRows::cVerdict), QStringLiteral("---")) << r;
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].Text.startsWith(QStringLiteral("作業が完了しました　error:0  一致:"))) << messages[1].Text.toStdString();
    EXPECT_FALSE(v_->FRunning);
    EXPECT_TRUE(v_->ActionMainMenuBar1->isEnabled());
}

// Both bars run during a verification: the row bar moves, and the file bar shows each file done.
TEST_F(BatchVerify, BothBarsRunWhileAListIsVerified) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        MakeFile(QStringLiteral("pb/%1.txt").arg(i), std::string("abc"));
        text += std::string(kMd5Abc) + "  " + std::to_string(i) + ".txt\n";
    }
    v_->HandleDroppedFiles({TPath(MakeFile(QStringLiteral("pb/list.md5"), text).toStdString())});
    int rowBarMax = 0, rowBarSeen = 0, fileBarSeen = 0;
    SetMessagePump([&] {
        if (!v_->FRunning) return;
        rowBarMax = v_->ProgressBar1->maximum();
        rowBarSeen = std::max(rowBarSeen, v_->ProgressBar1->value());
        fileBarSeen = std::max(fileBarSeen, v_->ProgressBar2->value());
    });
    RunVerify();
    EXPECT_EQ(rowBarMax, 4);
    EXPECT_GE(rowBarSeen, 1);
    EXPECT_EQ(fileBarSeen, 100);
    EXPECT_EQ(v_->ProgressBar2->value(), 0);   // reset after the closing box
}

// The dialog proposes CheckFileList.txt and the list takes its own name: a list of that name
// already there is replaced only after a Yes.
TEST_F(BatchVerify, AListExportAsksBeforeReplacingAListOfItsName) {
    MakeFile(QStringLiteral("keep/a.txt"), std::string("abc"));
    const QString old = MakeFile(QStringLiteral("keep/SHA256SUMS"), std::string("kept\n"));
    v_->AddFile(TPath((dir_->path() / "keep/a.txt").string()));
    RunVerify();
    const size_t before = dialogs_.Messages().size();
    ExportAs(2, dir_->path() / "keep/CheckFileList.txt");  // answered No
    ASSERT_EQ(dialogs_.Messages().size(), before + 1);
    EXPECT_EQ(dialogs_.Messages().back().Text, old + QStringLiteral(" はすでにあります。置き換えますか？"));
    EXPECT_EQ(dialogs_.Messages().back().Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(ReadBytes(dir_->path() / "keep/SHA256SUMS"), "kept\n");
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    ExportAs(2, dir_->path() / "keep/CheckFileList.txt");
    EXPECT_EQ(ReadBytes(dir_->path() / "keep/SHA256SUMS"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  a.txt\n");
    EXPECT_FALSE(fs::exists(dir_->path() / "keep/CheckFileList.txt"));
}

// A list export names what it could not write: an unreadable file and a name SFV cannot hold.
TEST_F(BatchVerify, AListExportSaysHowManyFilesItLeftOut) {
    MakeFile(QStringLiteral("lo/a.txt"), std::string("abc"));
    MakeFile(QStringLiteral("lo/;semi.txt"), std::string("abc"));
    const QString locked = MakeFile(QStringLiteral("lo/locked.txt"), std::string("abc"));
    for (const char* name : {"lo/a.txt", "lo/;semi.txt", "lo/locked.txt"})
        v_->AddFile(TPath((dir_->path() / name).string()));
    RunVerify();
    fs::permissions(locked.toStdString(), fs::perms::none);
    const bool rootReads = std::ifstream(locked.toStdString()).good();
    ExportAs(5, dir_->path() / "lo/CheckFileList.txt");
    fs::permissions(locked.toStdString(), fs::perms::owner_all);
    const std::string bytes = ReadBytes(dir_->path() / "lo/CheckFileList.sfv");
    EXPECT_EQ(bytes.substr(0, bytes.find('\n') + 1), "a.txt 352441C2\n");
    const QString box = dialogs_.Messages().back().Text;
    if (rootReads) {
        EXPECT_EQ(box, QStringLiteral("1 個のファイルはリストに書けませんでした（読めないファイル 0、この形式で書けない名前 1）"));
    } else {
        EXPECT_EQ(bytes, "a.txt 352441C2\n");
        EXPECT_EQ(box, QStringLiteral("2 個のファイルはリストに書けませんでした（読めないファイル 1、この形式で書けない名前 1）"));
    }
    EXPECT_EQ(dialogs_.Messages().back().Icon, TMsgIcon::Exclamation);
}

// What is not a list stays a file: a list name whose content is not a list, the program's
// own upper-case .MD5 sidecar, and any list among several dropped files.
TEST_F(BatchVerify, FilesThatAreNoListsAreAddedAsFiles) {
    const QString notList = MakeFile(QStringLiteral("SHA256SUMS"), std::string("just some text\n"));
    const QString sidecar = MakeFile(QStringLiteral("x.MD5"), std::string(kMd5Abc) + " a.txt\r\n");
    const QString list = MakeFile(QStringLiteral("MD5SUMS"), std::string(kMd5Abc) + "  a.txt\n");
    for (const QString& one : {notList, sidecar}) v_->HandleDroppedFiles({TPath(one.toStdString())});
    v_->HandleDroppedFiles({TPath(list.toStdString()), TPath(notList.toStdString())});
    ASSERT_EQ(v_->RowCount(), 4);
    EXPECT_EQ(v_->Row(1).Name, "x.MD5");
    EXPECT_EQ(v_->Row(2).Name, "MD5SUMS");
    EXPECT_TRUE(v_->Row(2).ListKind.empty());
    EXPECT_TRUE(v_->Action7->isChecked());
    EXPECT_FALSE(v_->ActionMainMenuBar1->actions()[1]->menu()->actions().contains(v_->Action14));
    for (int col = TBatchRows::cListKind; col <= TBatchRows::cVerdict; ++col)
        EXPECT_TRUE(v_->ListView1->isColumnHidden(col)) << col;
}

// The export's list formats over a tree: names relative to the chosen file's folder, the
// proposed name becoming the list's usual name, and lists the real tools check.
TEST_F(BatchVerify, ExportedListsAreCheckedBySha256sumMd5sumAndCksfv) {
    MakeFile(QStringLiteral("tree/a.txt"), std::string("abc"));
    MakeFile(QStringLiteral("tree/sub/b c.txt"), std::string("hello"));
    MakeFile(QStringLiteral("tree/sub/empty.bin"), std::string());
    MakeFile(QStringLiteral("tree/日本語.txt"), std::string("x"));
    fs::create_directories(dir_->path() / "out");
    dialogs_.FileAnswers.push_back(QString::fromStdString((dir_->path() / "tree").string()));
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);   // with subfolders
    v_->Action12->trigger();
    ASSERT_EQ(v_->RowCount(), 4);
    RunVerify();   // the MD5 type: the export is open after a run
    struct TExportCase {
        int filter;
        fs::path chosen, written;
        std::vector<std::string> checker;
        std::string firstLine;
    };
    const TExportCase cases[] = {
        {2, dir_->path() / "CheckFileList.txt", dir_->path() / "SHA256SUMS", {"sha256sum", "-c", "--strict"},
         std::string(kSha256OfAbc) + "  tree/a.txt"},
        {3, dir_->path() / "out/tree.sha512", dir_->path() / "out/tree.sha512", {"sha512sum", "-c", "--strict"},
         std::string(kSha512OfAbc) + "  ../tree/a.txt"},
        {4, dir_->path() / "tree/CheckFileList.txt", dir_->path() / "tree/MD5SUMS", {"md5sum", "-c", "--strict"},
         std::string(kMd5Abc) + "  a.txt"},
        {5, dir_->path() / "tree/CheckFileList.txt", dir_->path() / "tree/CheckFileList.sfv", {"cksfv", "-q", "-f"},
         "a.txt 352441C2"},
    };
    for (const TExportCase& c : cases) {
        SCOPED_TRACE(c.written.string());
        ExportAs(c.filter, c.chosen);
        ASSERT_TRUE(fs::exists(c.written));
        const std::string bytes = ReadBytes(c.written);
        EXPECT_NE(("\n" + bytes).find("\n" + c.firstLine + "\n"), std::string::npos) << bytes;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 4);
        EXPECT_EQ(bytes.find('\r'), std::string::npos);
        EXPECT_NE(bytes.find("日本語.txt"), std::string::npos);
        std::vector<std::string> argv = c.checker;
        argv.push_back(c.written.filename().string());
        ProcessOptions inFolder;
        inFolder.WorkDir = c.written.parent_path().string();
        const ProcessResult checked = RunProcess(argv, inFolder);
        EXPECT_EQ(checked.Status, 0) << bytes << checked.Out << checked.Err;
    }
    EXPECT_FALSE(fs::exists(dir_->path() / "CheckFileList.txt"));
    // Nothing went wrong: no box beyond the folder question and the run's two.
    ASSERT_EQ(dialogs_.Messages().size(), 3u) << dialogs_.Messages().back().Text.toStdString();
}

// The main window hands a list it is given to the handler instead of analysing it; the
// program's handler opens a batch window holding the list's files.
TEST_F(BatchVerify, TheMainWindowHandsListsToTheBatchWindow) {
    MakeFile(QStringLiteral("l/a.txt"), std::string("abc"));
    const QString list = MakeFile(QStringLiteral("l/list.sha256"), std::string(kSha256OfAbc) + "  a.txt\n");
    const QString plain = MakeFile(QStringLiteral("l/plain.txt"), std::string("abc"));
    const QString garbage = MakeFile(QStringLiteral("l/notes.txt"), std::string("no list here\n"));

    int shownRows = -1;
    QString shownTitle;
    w_->SetChecksumListHandler([this, &shownRows, &shownTitle](const TPath& path, bool forced) {
        QTimer::singleShot(0, [&shownRows, &shownTitle] {
            auto* shown = qobject_cast<Tallcheck*>(QApplication::activeModalWidget());
            if (!shown) return;
            shownRows = shown->RowCount();
            shownTitle = shown->windowTitle();
            shown->Action4->trigger();
        });
        return RunBatchWindowForList(*w_, path, forced);
    });
    dialogs_.FileAnswers.push_back(list);
    w_->Action1->trigger();
    EXPECT_EQ(shownRows, 1);
    EXPECT_EQ(shownTitle, QStringLiteral("チェックサムの検証"));
    EXPECT_TRUE(w_->CurrentPath().IsEmpty());   // not analysed

    shownRows = -1;
    w_->HandleDroppedFiles({TPath(plain.toStdString())});
    EXPECT_EQ(shownRows, -1);
    EXPECT_EQ(w_->CurrentPath(), TPath(plain.toStdString()));

    // A file the user asked to verify that is no list: a box says why, nothing is analysed.
    dialogs_.Calls.clear();
    EXPECT_TRUE(RunBatchWindowForList(*w_, TPath(garbage.toStdString()), true));
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_TRUE(dialogs_.Messages()[0].Text.startsWith(QStringLiteral("チェックサムファイルとして読めません: ")));
    EXPECT_EQ(dialogs_.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_FALSE(RunBatchWindowForList(*w_, TPath(garbage.toStdString()), false));

    // "-l": the window's own way in reads any name as a list; the next file opened is
    // analysed as before, nothing of the switch stays behind.
    dialogs_.Calls.clear();
    w_->VerifyList(TPath(garbage.toStdString()));
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_TRUE(dialogs_.Messages()[0].Text.startsWith(QStringLiteral("チェックサムファイルとして読めません: ")));
    w_->VerifyList(TPath(list.toStdString()));
    EXPECT_EQ(shownRows, 1);
    w_->HandleDroppedFiles({TPath(garbage.toStdString())});
    EXPECT_EQ(w_->CurrentPath(), TPath(garbage.toStdString()));
}

}  // namespace
