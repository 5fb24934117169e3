// MD5 sidecars and the hash cache as the real window uses them, on disk.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/FileDigests.h"
#include "engine/FileUtils.h"
#include "engine/cache/FileCaches.h"
#include "fakes/AppFixture.h"
#include "support/CacheFixtures.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {


// An engine that counts, per digest, how often a read of the file computed it.
class TCounting : public TFileDigests {
public:
    TCounting(TDigestSet kinds, int& crc, int& sha1, int& md5)
        : TFileDigests(kinds), crc_(crc), sha1_(sha1), md5_(md5) {}
    void Execute() override {
        crc_ += Kinds().Has(TDigestKind::CRC32);
        sha1_ += Kinds().Has(TDigestKind::SHA1);
        md5_ += Kinds().Has(TDigestKind::MD5);
        TFileDigests::Execute();
    }

private:
    int &crc_, &sha1_, &md5_;
};

class SidecarCache : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        w_->ListView1->clear();
    }
    fs::path CacheFolder() const { return fs::path(platform_.Folder.toStdString()) / "Cache"; }
    std::vector<fs::path> CacheFiles() const {
        std::vector<fs::path> out;
        if (fs::exists(CacheFolder()))
            for (const auto& e : fs::directory_iterator(CacheFolder())) out.push_back(e.path());
        return out;
    }
    void CountEngineRuns() {
        w_->EngineFactory = [this](TDigestSet kinds) -> std::unique_ptr<TNormalFileInfo> {
            return std::make_unique<TCounting>(kinds, crcRuns_, sha1Runs_, md5Runs_);
        };
    }
    int crcRuns_ = 0, sha1Runs_ = 0, md5Runs_ = 0;
};

TEST_F(SidecarCache, ASidecarTurnsEitherFileIntoAnMD5Comparison) {
    const QString file = MakeFile(QStringLiteral("a.bin"), std::string("abc"));
    const std::string folder = dir_->path().string();
    // Written by this program, and by md5sum in its two layouts.
    const std::string layouts[] = {
        std::string(kMd5Abc) + " a.bin\r\n",
        RunCommand("cd '" + folder + "' && md5sum a.bin"),
        RunCommand("cd '" + folder + "' && md5sum -b a.bin"),
    };
    ASSERT_EQ(layouts[1], std::string(kMd5Abc) + "  a.bin\n");
    ASSERT_EQ(layouts[2], std::string(kMd5Abc) + " *a.bin\n");
    const std::vector<TLogLine> expected = {
        {QStringLiteral("MD5ファイルからハッシュを読み込みました"), lkInformation},
        {QStringLiteral("a.binのファイル情報を取得中です..しばらくお待ち下さい"), lkInformation},
        {QStringLiteral("a.binのMD5取得を開始"), lkInformation},
        {QStringLiteral("a.binのMD5取得完了"), lkInformation},
        {QStringLiteral("MD5を比較 ---> 一致"), lkInformation},
        {kElapsedZero, lkInformation},
    };
    for (const std::string& content : layouts) {
        MakeFile(QStringLiteral("a.bin.MD5"), content);
        for (const QString& opened : {file + QStringLiteral(".MD5"), file}) {
            SCOPED_TRACE(content + " opened as " + opened.toStdString());
            w_->CheckTheThree();   // all digests, to see the sidecar switch CRC32 off
            w_->CheckBox6->setChecked(false);
            w_->CheckBox3->setChecked(false);
            const int from = LogCount();
            w_->AnalyzeFile(TPath(opened));
            EXPECT_EQ(Log(from), expected);
            EXPECT_EQ(w_->CurrentPath(), TPath(file));
            EXPECT_TRUE(w_->CheckBox3->isChecked());
            EXPECT_FALSE(w_->CheckBox4->isChecked());
            EXPECT_EQ(w_->Edit1->text(), QString::fromLatin1(kMd5Abc));
        }
    }

    // Sidecars switched off, either way round: plain runs of the file opened.
    settings_.Values.UseMD5File = false;
    w_->CheckBox3->setChecked(false);
    int from = LogCount();
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(w_->CurrentPath(), TPath(file));
    EXPECT_EQ(Log(from).front().Text, QStringLiteral("a.binのファイル情報を取得中です..しばらくお待ち下さい"));
    EXPECT_FALSE(w_->CheckBox3->isChecked());
    settings_.Values.NotUseMD5File = true;
    from = LogCount();
    w_->AnalyzeFile(TPath(file + QStringLiteral(".MD5")));
    EXPECT_EQ(w_->CurrentPath(), TPath(file + QStringLiteral(".MD5")));
    EXPECT_EQ(Log(from).front().Text, QStringLiteral("a.bin.MD5のファイル情報を取得中です..しばらくお待ち下さい"));
    EXPECT_FALSE(w_->CheckBox3->isChecked());
}

TEST_F(SidecarCache, TheSidecarIsWrittenOnceInLowerCase) {
    settings_.Values.AutoCreateMD5 = true;
    w_->Action17->trigger();   // upper-case display
    const QString file = MakeFile(QStringLiteral("a.txt"), std::string("abc"));
    w_->AnalyzeFile(TPath(file));
    const fs::path sidecar = file.toStdString() + ".MD5";
    EXPECT_EQ(ReadBytes(sidecar), std::string(kMd5Abc) + " a.txt\r\n");
    const std::vector<TLogLine> tail = {
        {QStringLiteral("a.txtのMD5取得完了"), lkInformation},
        {QStringLiteral("MD5ファイルを生成しました"), lkInformation},
        {kElapsedZero, lkInformation},
    };
    EXPECT_EQ(Log(LogCount() - 3), tail);
    EXPECT_FALSE(w_->LastRunFailed());

    // Again: the sidecar is there now (and read), nothing is written or logged as written.
    std::ofstream(sidecar, std::ios::app) << "second line\r\n";
    const int from = LogCount();
    w_->AnalyzeFile(TPath(file));
    for (const TLogLine& line : Log(from)) EXPECT_NE(line.Text, QStringLiteral("MD5ファイルを生成しました"));
    EXPECT_EQ(ReadBytes(sidecar), std::string(kMd5Abc) + " a.txt\r\nsecond line\r\n");
}

TEST_F(SidecarCache, ASidecarThatCannotBeWrittenIsAWarningAndTheRunEnds) {
    settings_.Values.AutoCreateMD5 = true;
    const QString file = MakeFile(QStringLiteral("b.txt"), std::string("abc"));
    fs::create_directory(file.toStdString() + ".MD5");   // the name is taken
    w_->AnalyzeFile(TPath(file));
    const std::vector<TLogLine> tail = {
        {QStringLiteral("b.txtのMD5取得完了"), lkInformation},
        {QStringLiteral("MD5ファイルを生成できません: ") + file + QStringLiteral(".MD5 (") +
             QString::fromLocal8Bit(std::strerror(EEXIST)) + QStringLiteral(")"),
         lkWarning},
        {kElapsedZero, lkInformation},
    };
    EXPECT_EQ(Log(LogCount() - 3), tail);
    EXPECT_EQ(w_->LabeledEdit2->text(), QString::fromLatin1(kMd5Abc));
    EXPECT_TRUE(w_->LastRunFailed());
    EXPECT_TRUE(w_->ActionMainMenuBar1->isEnabled());
    EXPECT_FALSE(w_->Action20->isEnabled());
    EXPECT_TRUE(dialogs_.Messages().empty());
    EXPECT_TRUE(fs::is_directory(file.toStdString() + ".MD5"));
}

TEST_F(SidecarCache, ASecondRunTakesBothDigestsFromTheCacheWithoutReadingTheFile) {
    settings_.Values.UseFileCache = true;
    CountEngineRuns();
    w_->CheckTheThree();
    const QString file = MakeFile(QStringLiteral("abc.txt"), std::string("abc"));
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({1, 1, 1}));
    const std::vector<fs::path> first = CacheFiles();
    ASSERT_EQ(first.size(), 1u);
    // The record as the display shows the digests, with the fingerprint of the file's
    // identity (device, inode, size, modified and change time), computed by Python.
    const std::string record = ReadBytes(first[0]);
    ASSERT_EQ(record.size(), 101u);
    const std::string fingerprint = ReferenceFingerprint(file.toStdString());
    ASSERT_EQ(fingerprint.size(), 12u);
    EXPECT_EQ(record.substr(0, 17),
              fingerprint.substr(0, 8) + std::string("\1\0\0\0", 4) + fingerprint.substr(8, 4) + "\7");
    EXPECT_EQ(record.substr(17, 9), "\x08" + std::string(kCrcAbc));
    EXPECT_EQ(record.substr(26, 33), "\x20" + std::string(kMd5Abc));
    EXPECT_EQ(record.substr(59, 41), "\x28" + std::string(kSha1Abc));
    EXPECT_EQ(record[100], '\1');

    const int from = LogCount();
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({2, 1, 1}));
    const TRunLog::TLine cacheLine{"キャッシュを読み込み/使用", lkInformation};
    const std::vector<TLogLine> expected =
        Expected(TRunLog("abc.txt").Digest("CRC32").Digest("SHA1", {cacheLine}).Digest("MD5", {cacheLine}).Elapsed());
    EXPECT_EQ(Log(from), expected);
    EXPECT_EQ(w_->LabeledEdit2->text(), QString::fromLatin1(kMd5Abc));
    EXPECT_EQ(w_->LabeledEdit3->text(), QString::fromLatin1(kSha1Abc));
    EXPECT_EQ(CacheFiles(), first);   // no update after two hits
    EXPECT_EQ(ReadBytes(first[0]), record);

    // In upper case the key is another text: the old entry misses and a second one is made.
    w_->Action17->trigger();
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({3, 2, 2}));
    EXPECT_EQ(CacheFiles().size(), 2u);
}

TEST_F(SidecarCache, APartialEntryIsReplacedByACompleteOne) {
    settings_.Values.UseFileCache = true;
    CountEngineRuns();
    w_->CheckTheThree();
    const QString file = MakeFile(QStringLiteral("abc.txt"), std::string("abc"));
    const std::optional<TFileIdentity> id = TFileIdentity::Of(file.toStdString());
    ASSERT_TRUE(id);
    TFileCaches(CacheFolder().string()).Store(kCrcAbc, "", kSha1Abc, *id);
    ASSERT_EQ(CacheFiles().size(), 1u);
    const fs::path partial = CacheFolder() / "partial.dat";   // a name no new entry can take
    fs::rename(CacheFiles()[0], partial);
    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({1, 0, 1}));
    EXPECT_EQ(w_->LabeledEdit2->text(), QString::fromLatin1(kMd5Abc));
    const std::vector<fs::path> after = CacheFiles();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], partial);
    TFileCaches caches(CacheFolder().string());
    caches.Lookup(kCrcAbc, *id);
    EXPECT_EQ(caches.CurrentMD5(), kMd5Abc);
    EXPECT_EQ(caches.CurrentSHA1(), kSha1Abc);
    EXPECT_EQ(caches.Current().Flags, 7);
}

// A record of the previous version (the file's size and DOS time where the identity is now,
// none of it) is never used: the file is hashed and the record is replaced by one with the
// identity, which the next run uses.
TEST_F(SidecarCache, ARecordOfThePreviousVersionIsReplaced) {
    settings_.Values.UseFileCache = true;
    CountEngineRuns();
    w_->CheckTheThree();
    const QString file = MakeFile(QStringLiteral("abc.txt"), std::string("abc"));
    uint32_t age = 0;
    ASSERT_TRUE(FileExistsByAge(file.toStdString(), &age));
    std::string old(101, '\0');
    old[0] = 3;
    old[8] = 1;
    for (int i = 0; i < 4; ++i) old[size_t(12 + i)] = char(age >> (8 * i));
    old[16] = 7;
    old.replace(17, 9, "\x08" + std::string(kCrcAbc));
    old.replace(26, 33, "\x20" + std::string(kMd5Abc));
    old.replace(59, 41, "\x28" + std::string(kSha1Abc));
    fs::create_directories(CacheFolder());
    const fs::path oldRecord = CacheFolder() / "old.dat";
    std::ofstream(oldRecord, std::ios::binary) << old;

    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({1, 1, 1}));
    EXPECT_EQ(Log(), Expected(TRunLog::AllDigests("abc.txt")));
    const std::vector<fs::path> records = CacheFiles();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0], oldRecord);
    EXPECT_EQ(ReadBytes(records[0]).substr(16, 84), old.substr(16, 84));
    EXPECT_EQ(ReadBytes(records[0])[100], '\1');

    w_->AnalyzeFile(TPath(file));
    EXPECT_EQ(std::vector<int>({crcRuns_, sha1Runs_, md5Runs_}), std::vector<int>({2, 1, 1}));
}

TEST_F(SidecarCache, ClosingTheWindowClearsOrTrimsTheCache) {
    const struct {
        bool clearAll, limitOn;
        int entries, remaining;
    } cases[] = {
        {false, true, 49, 49}, {false, true, 50, 0}, {false, true, 60, 10}, {true, true, 60, 0}, {false, false, 60, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        fs::remove_all(CacheFolder());
        fs::create_directories(CacheFolder());
        for (int i = 0; i < c.entries; ++i)
            std::ofstream(CacheFolder() / (std::to_string(i) + ".dat")) << std::string(i % 2 ? 101 : 100, 'x');
        settings_.Values.DeleteCacheFiles = c.clearAll;
        settings_.Values.CacheOver = c.limitOn;
        settings_.Values.CacheCount = 0;   // 50
        w_ = std::make_unique<TTavrenneUnderTest>();
        w_->close();
        EXPECT_EQ(int(CacheFiles().size()), c.remaining);
    }
}

}  // namespace
