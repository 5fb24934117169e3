// Whole analysis runs through the real window: log lines, boxes, states, sounds, shutdown.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "fakes/AppFixture.h"
#include "text/Cp932.h"

namespace {


class Analysis : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        w_->ListView1->clear();
        w_->CheckTheThree();  // all three digests
    }
    QString Abc() { return MakeFile(QStringLiteral("abc.txt"), std::string("abc")); }
};

TEST_F(Analysis, FullRunLogsEveryStepAndFillsTheWindow) {
    settings_.Values.UseSound = true;
    settings_.Values.SoundFile1 = MakeFile(QStringLiteral("done.wav"), std::string("RIFF")).toStdString();
    const QString path = Abc();
    w_->AnalyzeFile(TPath(path));

    EXPECT_EQ(Log(), Expected(TRunLog::AllDigests("abc.txt")));
    EXPECT_EQ(w_->LabeledEdit1->text(), kCrcAbc);
    EXPECT_EQ(w_->LabeledEdit2->text(), kMd5Abc);
    EXPECT_EQ(w_->LabeledEdit3->text(), kSha1Abc);
    EXPECT_EQ(w_->Label1->text(), QStringLiteral("ファイル名: abc.txt"));
    EXPECT_EQ(w_->Label2->text(), QStringLiteral("ファイルサイズ: 3 Bytes"));
    EXPECT_EQ(w_->Label3->text(), QStringLiteral("ファイルバージョン:"));
    EXPECT_EQ(w_->Label5->text(), QStringLiteral("著作権:"));
    EXPECT_TRUE(w_->Label4->text().startsWith(QStringLiteral("更新日時: ")));
    EXPECT_TRUE(w_->Label4->text().contains(QStringLiteral("年")));
    EXPECT_EQ(w_->CurrentPath(), TPath(path));
    EXPECT_EQ(w_->StatusText(1), path);
    EXPECT_NE(w_->WatchedAge, 0u);
    EXPECT_FALSE(w_->LastRunFailed());
    EXPECT_FALSE(w_->CurrentEngine);

    // Idle again: every command back, abort gone, progress hidden after the blink.
    EXPECT_TRUE(w_->ActionMainMenuBar1->isEnabled());
    for (QAction* a : {w_->Action1, w_->Action2, w_->Action5, w_->Action6, w_->Action7, w_->Action8, w_->Action19,
                       w_->Action21, w_->Action22})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(w_->Action20->isEnabled());
    EXPECT_TRUE(w_->BitBtn1->isHidden());
    EXPECT_TRUE(w_->ProgressBar1->isHidden());
    EXPECT_TRUE(w_->Label6->isHidden());
    EXPECT_EQ(waits_, (std::vector<int>{220, 220, 220, 220}));
    EXPECT_EQ(platform_.Sounds, QStringList{QString::fromStdString(settings_.Values.SoundFile1)});
    EXPECT_TRUE(platform_.Started.empty());
}

TEST_F(Analysis, UpperCaseFormatGivesUpperCaseDigests) {
    w_->Action17->trigger();
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(w_->LabeledEdit1->text(), QString::fromLatin1(kCrcAbc).toUpper());
    EXPECT_EQ(w_->LabeledEdit2->text(), QString::fromLatin1(kMd5Abc).toUpper());
    EXPECT_EQ(w_->LabeledEdit3->text(), QString::fromLatin1(kSha1Abc).toUpper());
    // Switching back converts what is shown.
    w_->Action18->trigger();
    EXPECT_EQ(w_->LabeledEdit2->text(), QString::fromLatin1(kMd5Abc));
    EXPECT_FALSE(w_->Action17->isChecked());
}

TEST_F(Analysis, WhileRunningOnlyAbortAndComparisonAreUsable) {
    SmallBuffers();
    const QString path = MakeFile(QStringLiteral("big.bin"), 150 * 1024, 'a');
    bool seen = false;
    AtPump([] { return true; }, [&] {
        seen = true;
        EXPECT_FALSE(w_->ActionMainMenuBar1->isEnabled());
        EXPECT_FALSE(w_->ToolBarA->isEnabled());
        for (QAction* a : {w_->Action1, w_->Action2, w_->Action4, w_->Action5, w_->Action6, w_->Action7, w_->Action8,
                           w_->Action12, w_->Action13, w_->Action16, w_->Action19, w_->Action21, w_->Action22})
            EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        EXPECT_FALSE(w_->CheckBox4->isEnabled());
        EXPECT_FALSE(w_->Button4->isEnabled());
        EXPECT_TRUE(w_->Action20->isEnabled());
        EXPECT_FALSE(w_->BitBtn1->isHidden());
        EXPECT_TRUE(w_->CheckBox3->isEnabled());
        // Byte progress on a small file: the bar counts bytes.
        EXPECT_EQ(w_->ProgressBar1->maximum(), 150 * 1024);
        EXPECT_FALSE(w_->ProgressBar1->isHidden());
    });
    w_->AnalyzeFile(TPath(path));
    EXPECT_TRUE(seen);
    EXPECT_GT(pumps_, 0);
}

// Cancel during each digest: the digest canceled and every later one log their cancel line.
struct CancelCase {
    const char* during;                      // start line of the digest to cancel in
    std::vector<std::pair<const char*, int>> tail;  // lines after the information line
    // With the cache on, CRC32 reads the file before SHA-1 and MD5 share their read; with it
    // off, all three share one read.
    bool cache = false;
    bool sha1 = true;
};

class AnalysisCancel : public Analysis, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(AnalysisCancel, CancelLinesAndKinds) {
    SmallBuffers();
    settings_.Values.UseSound = true;
    settings_.Values.SoundFile1 = MakeFile(QStringLiteral("ok.wav"), std::string("x")).toStdString();
    settings_.Values.SoundFile2 = MakeFile(QStringLiteral("err.wav"), std::string("x")).toStdString();
    settings_.Values.UseFileCache = GetParam().cache;
    w_->CheckBox6->setChecked(GetParam().sha1);
    w_->CheckBox7->show();
    w_->CheckBox7->setChecked(true);
    const QString path = MakeFile(QStringLiteral("c.bin"), 150 * 1024, 'q');
    const QString during = QString::fromUtf8(GetParam().during);
    AtPump([&] { return Log().back().Text == during; }, [&] { w_->Action20->trigger(); });
    w_->AnalyzeFile(TPath(path));

    std::vector<TLogLine> expected = {{QStringLiteral("c.binのファイル情報を取得中です..しばらくお待ち下さい"), lkInformation}};
    for (const auto& [text, kind] : GetParam().tail) expected.push_back({QString::fromUtf8(text), kind});
    expected.push_back({kElapsedZero, lkInformation});
    EXPECT_EQ(Log(), expected);
    EXPECT_FALSE(w_->CheckBox7->isChecked());
    EXPECT_TRUE(w_->LastRunFailed());
    EXPECT_EQ(platform_.Sounds, QStringList{QString::fromStdString(settings_.Values.SoundFile2)});
    EXPECT_TRUE(platform_.Started.empty());
    EXPECT_TRUE(waits_.empty());  // no blink after an error
    EXPECT_TRUE(w_->ActionMainMenuBar1->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    EachDigest, AnalysisCancel,
    ::testing::Values(
        CancelCase{"c.binのCRC32取得を開始",
                   {{"c.binのCRC32取得を開始", lkInformation},
                    {"処理の中断", lkWarning},
                    {"CRC32の取得時にユーザーによるキャンセルを受付ました", lkWarning},
                    {"c.binのSHA1取得を開始", lkInformation},
                    {"SHA1の取得時にユーザーによるキャンセルを受付ました", lkWarning},
                    {"c.binのMD5取得を開始", lkInformation},
                    {"MD5の取得時にユーザーによるキャンセルを受付ました", lkWarning}}},
        // SHA-1 and MD5 share one read: a cancel ends both.
        CancelCase{"c.binのSHA1取得を開始",
                   {{"c.binのCRC32取得を開始", lkInformation},
                    {"c.binのCRC32取得完了", lkInformation},
                    {"c.binのSHA1取得を開始", lkInformation},
                    {"処理の中断", lkWarning},
                    {"SHA1の取得時にユーザーによるキャンセルを受付ました", lkWarning},
                    {"c.binのMD5取得を開始", lkInformation},
                    {"MD5の取得時にユーザーによるキャンセルを受付ました", lkWarning}},
                   true},
        CancelCase{"c.binのMD5取得を開始",
                   {{"c.binのCRC32取得を開始", lkInformation},
                    {"c.binのCRC32取得完了", lkInformation},
                    {"c.binのMD5取得を開始", lkInformation},
                    {"処理の中断", lkWarning},
                    {"MD5の取得時にユーザーによるキャンセルを受付ました", lkWarning}},
                   true, false}));

TEST_F(Analysis, EmptyFileIsReportedAndNeverDisablesTheCommands) {
    settings_.Values.UseSound = true;
    settings_.Values.SoundFile2 = MakeFile(QStringLiteral("err.wav"), std::string("x")).toStdString();
    const QString path = MakeFile(QStringLiteral("empty.dat"), std::string());
    bool pumped = false;
    AtPump([] { return true; }, [&] { pumped = true; });
    w_->AnalyzeFile(TPath(path));

    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Text, QStringLiteral("ファイルがオープン出来ません :理由File size of zero or run"));
    EXPECT_EQ(messages[0].Caption, QStringLiteral("Tavrenne 2.46"));
    EXPECT_EQ(messages[0].Icon, TMsgIcon::Error);
    const std::vector<TLogLine> expected = {
        {QStringLiteral("empty.datのファイル情報を取得中です..しばらくお待ち下さい"), lkInformation},
        {QStringLiteral("File Open Error 634"), lkError},
    };
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(w_->Label1->text(), QStringLiteral("ファイル名: empty.dat"));
    EXPECT_EQ(w_->Label2->text(), QStringLiteral("ファイルサイズ:"));
    EXPECT_EQ(w_->CurrentPath(), TPath(path));
    EXPECT_TRUE(w_->LabeledEdit1->text().isEmpty());
    EXPECT_TRUE(w_->Action2->isEnabled());
    EXPECT_FALSE(pumped);
    EXPECT_EQ(platform_.Sounds, QStringList{QString::fromStdString(settings_.Values.SoundFile2)});
    EXPECT_TRUE(w_->LastRunFailed());
}

TEST_F(Analysis, MissingFileOrFolderLeavesThePreviousDisplay) {
    settings_.Values.UseSound = true;
    settings_.Values.SoundFile2 = MakeFile(QStringLiteral("err.wav"), std::string("x")).toStdString();
    const QString first = Abc();
    w_->AnalyzeFile(TPath(first));
    const int lines = LogCount();
    platform_.Sounds.clear();
    for (const QString& bad : {QString::fromStdString(dir_->file("missing.bin")), QString::fromStdString(dir_->path().string())}) {
        dialogs_.Calls.clear();
        w_->AnalyzeFile(TPath(bad));
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].Text, QStringLiteral("ファイルが見当たりません"));
        EXPECT_EQ(messages[0].Caption, QStringLiteral("Tavrenne 2.46"));
        EXPECT_EQ(messages[0].Icon, TMsgIcon::Exclamation);
        EXPECT_EQ(LogCount(), lines);
        EXPECT_EQ(w_->CurrentPath(), TPath(first));
        EXPECT_EQ(w_->LabeledEdit2->text(), kMd5Abc);
        EXPECT_EQ(w_->RecentFiles[0], TPath(first));
        EXPECT_TRUE(platform_.Sounds.isEmpty());
        EXPECT_TRUE(w_->LastRunFailed());
    }
}

TEST_F(Analysis, NoDigestChosenStillFillsInformationAndElapsedTime) {
    w_->Button5->click();
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(Log(), Expected(TRunLog("abc.txt").Elapsed()));
    EXPECT_EQ(w_->Label2->text(), QStringLiteral("ファイルサイズ: 3 Bytes"));
    EXPECT_TRUE(waits_.empty());
    EXPECT_TRUE(platform_.Sounds.isEmpty());
}

TEST_F(Analysis, ElapsedTimeIsHoursMinutesSeconds) {
    w_->Button5->click();
    uint32_t ticks[] = {1999, 1999 + 3725000 + 1};  // start, end: 3726 s by whole seconds
    int call = 0;
    w_->TickCount = [&] { return ticks[std::min(call++, 1)]; };
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(Log().back().Text, QStringLiteral("経過時間:  1時間 2分 6秒"));
    // Each tick is truncated to seconds before the unsigned 32-bit subtraction, so across a
    // wrap of the counter the difference is (9 - 4294966) modulo 2^32 seconds.
    call = 0;
    ticks[0] = 0xFFFFFC18u;  // 4294966296 ms
    ticks[1] = 9000;
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(Log().back().Text, QStringLiteral("経過時間: 1191853時間25分39秒"));
}

struct SizeCase {
    int64_t size;
    bool byteLen;
    const char* text;
};
class AnalysisSize : public Analysis, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(AnalysisSize, SizeText) {
    w_->Button5->click();
    settings_.Values.ByteLen = GetParam().byteLen;
    w_->SizeOverride = [](const std::string&, int64_t) { return GetParam().size; };
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(w_->Label2->text(), QStringLiteral("ファイルサイズ: ") + QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, AnalysisSize,
                         ::testing::Values(SizeCase{1024, false, "1024 Bytes"}, SizeCase{1025, false, "1.0 KB"},
                                           SizeCase{1048576, false, "1024.0 KB"}, SizeCase{1048577, false, "1.0 MB"},
                                           SizeCase{1073741824, false, "1024.0 MB"},
                                           SizeCase{1073741825, false, "1.0 GB"},
                                           SizeCase{5000000000LL, false, "4.7 GB"},
                                           SizeCase{1073741825, true, "1073741825 Bytes"}));

// Up to 2,147,483,647 bytes the bar counts bytes; above, percent, so its range always fits.
struct ProgressCase {
    int64_t size;
    int maximum;
    int secondValue;   // the second pump sees the first report: 101 KB of 250 KB read
};
class AnalysisProgress : public Analysis, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(AnalysisProgress, BytesOrPercent) {
    SmallBuffers();
    const QString path = MakeFile(QStringLiteral("large.bin"), 250 * 1024, 'L');
    w_->SizeOverride = [](const std::string&, int64_t) { return GetParam().size; };
    std::vector<std::pair<int, int>> seen;  // maximum, value at each pump
    SetMessagePump([&] { seen.emplace_back(w_->ProgressBar1->maximum(), w_->ProgressBar1->value()); });
    w_->Button5->click();
    w_->CheckBox4->setChecked(true);
    w_->AnalyzeFile(TPath(path));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, GetParam().maximum);
    EXPECT_EQ(seen[1].second, GetParam().secondValue);
}

INSTANTIATE_TEST_SUITE_P(Boundary, AnalysisProgress,
                         ::testing::Values(ProgressCase{2147483647LL, 2147483647, 101 * 1024},
                                           ProgressCase{2147483648LL, 100, 101 * 100 / 250}));

// SHA-1 and MD5 from one read: the bar runs once from 0 to the size for the pair.
TEST_F(Analysis, SharedReadRunsTheBarOnce) {
    SmallBuffers();
    settings_.Values.UseFileCache = true;   // CRC32 reads on its own first
    const QString path = MakeFile(QStringLiteral("pair.bin"), 450 * 1024, 'p');
    std::vector<std::pair<QString, int>> seen;  // last log line and bar value at each pump
    SetMessagePump([&] { seen.emplace_back(Log().back().Text, w_->ProgressBar1->value()); });
    w_->AnalyzeFile(TPath(path));
    std::vector<int> pair;
    for (const auto& [line, value] : seen)
        if (line == QStringLiteral("pair.binのSHA1取得を開始")) pair.push_back(value);
    ASSERT_GE(pair.size(), 3u);
    EXPECT_TRUE(std::is_sorted(pair.begin(), pair.end()));
    EXPECT_EQ(w_->ProgressBar1->maximum(), 450 * 1024);
    for (const auto& [line, value] : seen) EXPECT_NE(line, QStringLiteral("pair.binのMD5取得を開始"));
    EXPECT_EQ(w_->LabeledEdit2->text().size(), 32);
    EXPECT_EQ(w_->LabeledEdit3->text().size(), 40);
}

// Comparison on each digest kind: its line and where it stands.
struct CompareCase {
    int index;              // ComboBox1
    QString expected;       // typed by the user
    const char* line;
    int kind;
    const char* before;     // the completion line the verdict must follow (or precede for CRC32)
    bool verdictFirst;
};
class AnalysisCompare : public Analysis, public ::testing::WithParamInterface<CompareCase> {};

TEST_P(AnalysisCompare, VerdictLine) {
    const CompareCase& c = GetParam();
    w_->CheckBox3->setChecked(true);
    w_->ComboBox1->setCurrentIndex(c.index);
    w_->Edit1->setText(c.expected);
    w_->AnalyzeFile(TPath(Abc()));
    const auto log = Log();
    const QString verdict = QString::fromUtf8(c.line);
    auto find = [&](const QString& t) {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i].Text == t) return int(i);
        return -1;
    };
    const int v = find(verdict);
    const int done = find(QString::fromUtf8(c.before));
    ASSERT_GE(v, 0);
    ASSERT_GE(done, 0);
    EXPECT_EQ(log[size_t(v)].Kind, c.kind);
    EXPECT_EQ(v, c.verdictFirst ? done - 1 : done + 1);
    EXPECT_EQ(w_->CompareRemark, c.kind == lkInformation ? QStringLiteral("\\w9\\w9\\h\\s5\\nうん。一致したよー")
                                                          : QStringLiteral("\\w9\\w9\\h\\s4\\nあれ？一致しないよ…\\w9\\u\\s0\\n…壊れてんのか？"));
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, AnalysisCompare,
    ::testing::Values(
        CompareCase{2, QString::fromLatin1(kCrcAbc).toUpper(), "CRC32を比較 ---> 一致", lkInformation, "abc.txtのCRC32取得完了", true},
        CompareCase{1, QString::fromLatin1(kSha1Abc) + QStringLiteral(" "), "SHA-1を比較 ---> 一致", lkInformation, "abc.txtのSHA1取得完了", false},
        CompareCase{0, QString::fromLatin1(kMd5Abc).toUpper(), "MD5を比較 ---> 一致", lkInformation, "abc.txtのMD5取得完了", false},
        CompareCase{0, QString::fromLatin1(kMd5Abc) + QStringLiteral("  "), "MD5を比較 ---> 不一致", lkWarning, "abc.txtのMD5取得完了", false},
        CompareCase{2, QStringLiteral("00000000"), "CRC32を比較 ---> 不一致", lkWarning, "abc.txtのCRC32取得完了", true}));

TEST_F(Analysis, ComparisonOnWithoutValueIsSwitchedOff) {
    w_->CheckBox3->setChecked(true);
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_FALSE(w_->CheckBox3->isChecked());
    EXPECT_FALSE(w_->ComboBox1->isEnabled());
    EXPECT_FALSE(w_->Edit1->isEnabled());
    for (const auto& line : Log()) EXPECT_FALSE(line.Text.contains(QStringLiteral("を比較")));
}

// An MD5 engine whose file cannot be opened.
class TUnopenableMD5 : public TFileMD5Info {
public:
    void Execute() override { throw EFileOpenError(Info().FileName, "Permission denied"); }
};

TEST_F(Analysis, OpenFailureOfMD5IsReportedAndTheRunStillCloses) {
    // With the cache on and no SHA-1, CRC32 reads the file on its own before MD5 does.
    settings_.Values.UseFileCache = true;
    w_->CheckBox6->setChecked(false);
    w_->CheckBox7->setChecked(true);
    w_->EngineFactory = [](TDigestSet kinds) -> std::unique_ptr<TNormalFileInfo> {
        if (kinds.Has(TDigestKind::MD5)) return std::make_unique<TUnopenableMD5>();
        return TAnalysisRun::MakeEngine(kinds);
    };
    const QString path = Abc();
    w_->AnalyzeFile(TPath(path));
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Icon, TMsgIcon::Error);
    EXPECT_TRUE(messages[0].Text.startsWith(QStringLiteral("ファイルがオープン出来ません :理由Permission denied")));
    EXPECT_TRUE(messages[0].Text.contains(path));
    EXPECT_EQ(Log().back(), (TLogLine{QStringLiteral("MD5 Error!!"), lkError}));
    EXPECT_EQ(w_->LabeledEdit1->text(), kCrcAbc);  // digests before the failure stay
    EXPECT_TRUE(w_->LabeledEdit2->text().isEmpty());
    EXPECT_TRUE(w_->ActionMainMenuBar1->isEnabled());
    EXPECT_FALSE(w_->Action20->isEnabled());
    EXPECT_TRUE(w_->ProgressBar1->isHidden());
    EXPECT_TRUE(w_->LastRunFailed());
    EXPECT_TRUE(platform_.Started.empty());  // no shutdown after an error
    EXPECT_TRUE(waits_.empty());
}

TEST_F(Analysis, ShutdownWritesTheResultTextAndStartsTheHelper) {
    w_->CheckBox7->show();
    w_->CheckBox7->setChecked(true);
    const QString path = MakeFile(QStringLiteral("sub/setup.exe"), std::string("abc"));
    w_->AnalyzeFile(TPath(path));
    const QString log = platform_.Folder + QStringLiteral("/setup.log");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, QByteArray::fromStdString(cp932::FromUtf8(w_->ResultLines().join(QStringLiteral("\r\n")).toStdString() + "\r\n")));
    EXPECT_TRUE(bytes.contains(QByteArray("MD5  :") + kMd5Abc + "\r\n"));
    ASSERT_EQ(platform_.Started.size(), 1u);
    EXPECT_EQ(platform_.Started[0].first, platform_.Folder + QStringLiteral("/tavrfix"));
    EXPECT_EQ(platform_.Started[0].second, QStringLiteral("-W"));
}

// Hooks standing in for the sidecar and the cache.
class TRecordingHooks : public TAnalysisHooks {
public:
    TCacheHit Hit;
    std::string Sidecar;
    std::vector<std::string> ReadFor;
    std::vector<std::vector<std::string>> Stored;
    std::vector<std::string> Deleted;
    std::optional<std::string> ReadSidecar(const std::string& path) override {
        ReadFor.push_back(path);
        if (!std::filesystem::exists(path + ".MD5")) return std::nullopt;
        return Sidecar;
    }
    TSidecarWriteResult WriteSidecar(const std::string&, const std::string&) override {
        return {TSidecarWrite::Exists, {}};
    }
    TCacheHit CacheLookup(const std::string&, const TFileIdentity&) override { return Hit; }
    bool CacheDeleteRecord(const std::string& file) override {
        Deleted.push_back(file);
        return true;
    }
    void CacheStore(const std::string& crc, const std::string& md5, const std::string& sha1,
                    const TFileIdentity&) override {
        Stored.push_back({crc, md5, sha1});
    }
};

TEST_F(Analysis, CacheHitsSkipReadingAndStoreNothing) {
    TRecordingHooks hooks;
    hooks.Hit = {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB", "/cache/1.dat"};
    w_->SetHooks(&hooks);
    settings_.Values.UseFileCache = true;
    w_->AnalyzeFile(TPath(Abc()));
    const TRunLog::TLine cacheLine{"キャッシュを読み込み/使用", lkInformation};
    const std::vector<TLogLine> expected =
        Expected(TRunLog("abc.txt").Digest("CRC32").Digest("SHA1", {cacheLine}).Digest("MD5", {cacheLine}).Elapsed());
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(w_->LabeledEdit2->text(), QString(32, QLatin1Char('a')));
    EXPECT_EQ(w_->LabeledEdit3->text(), QString(40, QLatin1Char('b')));
    EXPECT_TRUE(hooks.Stored.empty());
    EXPECT_TRUE(hooks.Deleted.empty());
    w_->SetHooks(nullptr);
}

TEST_F(Analysis, CacheMissStoresTheThreeTextsAndPartialHitCompletesTheRecord) {
    TRecordingHooks hooks;
    w_->SetHooks(&hooks);
    settings_.Values.UseFileCache = true;
    w_->AnalyzeFile(TPath(Abc()));
    ASSERT_EQ(hooks.Stored.size(), 1u);
    EXPECT_EQ(hooks.Stored[0], (std::vector<std::string>{kCrcAbc, kMd5Abc, kSha1Abc}));

    hooks.Stored.clear();
    hooks.Hit = {"", std::string(kSha1Abc), "/cache/2.dat"};
    w_->AnalyzeFile(TPath(Abc()));
    EXPECT_EQ(hooks.Deleted, std::vector<std::string>{"/cache/2.dat"});
    ASSERT_EQ(hooks.Stored.size(), 1u);
    EXPECT_EQ(hooks.Stored[0], (std::vector<std::string>{kCrcAbc, kMd5Abc, kSha1Abc}));
    w_->SetHooks(nullptr);
}

TEST_F(Analysis, SidecarTurnsTheRunIntoAnMD5Comparison) {
    TRecordingHooks hooks;
    hooks.Sidecar = std::string(kMd5Abc);
    w_->SetHooks(&hooks);
    const QString file = MakeFile(QStringLiteral("a.bin"), std::string("abc"));
    MakeFile(QStringLiteral("a.bin.MD5"), std::string(kMd5Abc) + " a.bin\r\n");
    for (const QString& opened : {file + QStringLiteral(".MD5"), file}) {
        hooks.ReadFor.clear();
        w_->CheckTheThree();
        w_->CheckBox3->setChecked(false);
        w_->AnalyzeFile(TPath(opened));
        EXPECT_EQ(hooks.ReadFor, std::vector<std::string>{file.toStdString()});
        EXPECT_EQ(w_->CurrentPath(), TPath(file));
        EXPECT_TRUE(w_->CheckBox3->isChecked());
        EXPECT_FALSE(w_->CheckBox4->isChecked());
        EXPECT_TRUE(w_->CheckBox5->isChecked());
        EXPECT_EQ(w_->ComboBox1->currentIndex(), 0);
        const auto log = Log();
        EXPECT_EQ(log[log.size() - 2].Text, QStringLiteral("MD5を比較 ---> 一致"));
    }
    // ".md5" in lower case: the case-sensitive search finds no ".MD5" to remove, so the file
    // itself is analysed and its own (missing) sidecar gives no value.
    const QString lower = MakeFile(QStringLiteral("x.md5"), std::string("abc"));
    MakeFile(QStringLiteral("x"), std::string("zzz"));
    hooks.ReadFor.clear();
    w_->CheckBox3->setChecked(false);
    w_->AnalyzeFile(TPath(lower));
    EXPECT_EQ(hooks.ReadFor, std::vector<std::string>{lower.toStdString()});
    EXPECT_EQ(w_->CurrentPath(), TPath(lower));
    EXPECT_FALSE(w_->CheckBox3->isChecked());
    w_->SetHooks(nullptr);
}

}  // namespace
