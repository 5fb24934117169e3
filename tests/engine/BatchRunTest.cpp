// The batch runs without a window: hash phases, Time Walker and renaming by pattern.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "engine/BatchList.h"
#include "engine/BatchRun.h"
#include "engine/FileUtils.h"
#include "support/RunAs.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Records what a phase tells; aborts after `abortAfter` rows.
struct TRecordingSink : TBatchHashSink {
    std::vector<std::string> Paths;
    int AbortAfter = -1;
    int Ended = 0;
    std::map<int, std::pair<std::string, std::string>> Done;   // row: size, digest
    std::map<int, std::string> Reasons;
    std::map<int, std::string> Failed;   // row: reason
    std::vector<TNormalFileInfo*> Engines;

    int RowCount() override { return int(Paths.size()); }
    std::string RowPath(int row) override { return Paths[size_t(row)]; }
    bool Aborted() override { return AbortAfter >= 0 && Ended >= AbortAfter; }
    void EngineChanged(TNormalFileInfo* engine) override { Engines.push_back(engine); }
    void RowDone(int row, const std::string& size, const std::string& digest, const std::string& reason) override {
        Done[row] = {size, digest};
        Reasons[row] = reason;
    }
    void RowFailed(int row, const std::string& reason) override { Failed[row] = reason; }
    void RowEnded(int) override { ++Ended; }
};

std::string Size(int64_t n) { return BatchSizeText(n, ","); }

TEST(BatchRun, HashPhaseGivesLowerCaseDigestsAndLeavesFilesWithoutOne) {
    TempDir dir;
    TRecordingSink sink;
    sink.Paths = {dir.write("abc", "abc"), dir.write("empty", ""), dir.file("gone")};
    RunBatchHashPhase(DigestKindInfo(TDigestKind::MD5), 64, nullptr, ",", sink);
    EXPECT_EQ(sink.Done[0], std::make_pair(Size(3), std::string("900150983cd24fb0d6963f7d28e17f72")));
    EXPECT_EQ(sink.Done[1], std::make_pair(Size(0), std::string()));
    EXPECT_EQ(sink.Reasons[1], "empty file");
    // A file that is gone is an error of the run, not a row of size 0.
    EXPECT_EQ(sink.Done.count(2), 0u);
    EXPECT_EQ(sink.Failed, (std::map<int, std::string>{{2, "no such file"}}));
    EXPECT_EQ(sink.Ended, 3);
    ASSERT_EQ(sink.Engines.size(), 2u);
    EXPECT_NE(sink.Engines[0], nullptr);
    EXPECT_EQ(sink.Engines[1], nullptr);

    TRecordingSink crc;
    crc.Paths = {sink.Paths[0]};
    RunBatchHashPhase(DigestKindInfo(TDigestKind::CRC32), 64, nullptr, ",", crc);
    EXPECT_EQ(crc.Done[0].second, "352441c2");
    TRecordingSink sha;
    sha.Paths = {sink.Paths[0]};
    RunBatchHashPhase(DigestKindInfo(TDigestKind::SHA1), 64, nullptr, ",", sha);
    EXPECT_EQ(sha.Done[0].second, "a9993e364706816aba3e25717850c26c9cd0d89d");
}

int g_iconLookups = 0;
TIconHandle CountingIconLookup(const std::string&, bool) {
    ++g_iconLookups;
    return 1;
}

// Hash phases show no icons, so they ask the desktop for none: a lookup per file and phase
// costs more than hashing a small file.
TEST(BatchRun, HashPhaseAsksForNoIcons) {
    TempDir dir;
    TRecordingSink sink;
    sink.Paths = {dir.write("a.exe", "abc"), dir.write("b.txt", "abc")};
    g_iconLookups = 0;
    SetIconLookup(&CountingIconLookup);
    for (TDigestKind kind : {TDigestKind::CRC32, TDigestKind::MD5, TDigestKind::SHA1})
        RunBatchHashPhase(DigestKindInfo(kind), 64, nullptr, ",", sink);
    EXPECT_EQ(g_iconLookups, 0);
    EXPECT_EQ(sink.Done[1].second, "a9993e364706816aba3e25717850c26c9cd0d89d");
    // An engine of the main window still asks.
    DigestKindInfo(TDigestKind::MD5).MakeEngine()->SetFileName(sink.Paths[0]);
    EXPECT_EQ(g_iconLookups, 2);
    SetIconLookup(nullptr);
}

TEST(BatchRun, AbortSkipsEveryRowLeft) {
    TempDir dir;
    TRecordingSink sink;
    sink.Paths = {dir.write("a", "a"), dir.write("b", "b"), dir.write("c", "c")};
    sink.AbortAfter = 1;
    RunBatchHashPhase(DigestKindInfo(TDigestKind::CRC32), 64, nullptr, ",", sink);
    EXPECT_EQ(sink.Done.size(), 1u);
    EXPECT_EQ(sink.Ended, 3);
}

TEST(BatchRun, UnreadableFileKeepsItsCellsAndThePhaseGoesOn) {
    TempDir dir;
    const std::string locked = dir.write("locked", "x"), ok = dir.write("ok", "abc");
    chmod(locked.c_str(), 0);
    // As an ordinary user: root reads every file.
    const int status = AsOrdinaryUser(dir.path(), [&] {
        TRecordingSink sink;
        sink.Paths = {locked, ok};
        RunBatchHashPhase(DigestKindInfo(TDigestKind::SHA1), 64, nullptr, ",", sink);
        const bool kept = sink.Done.count(0) == 0 && sink.Failed.count(0) == 1;
        return kept && sink.Done[1].second == "a9993e364706816aba3e25717850c26c9cd0d89d" ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

TEST(BatchRun, PacerLetsMessagesRunAtMostEveryInterval) {
    int64_t now = 1000;
    TBatchPacer pacer([&] { return now; }, 50);
    EXPECT_FALSE(pacer.Due());
    now += 49;
    EXPECT_FALSE(pacer.Due());
    now += 1;
    EXPECT_TRUE(pacer.Due());
    EXPECT_FALSE(pacer.Due());
    now += 500;
    EXPECT_TRUE(pacer.Due());
}

TEST(BatchRun, TimestampLandsOnAnEvenSecondAndLeavesTheAccessTime) {
    TempDir dir;
    const std::string file = dir.write("f.txt", "x");
    SetLocalTime(file, 2001, 2, 3, 4, 5, 6);
    struct stat before;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    ASSERT_TRUE(SetFileTimestamp(file, {2004, 8, 1, 12, 30, 5, 0}));
    struct stat after;
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, LocalTime(2004, 8, 1, 12, 30, 4));
    EXPECT_EQ(after.st_atime, before.st_atime);

    EXPECT_FALSE(SetFileTimestamp(file, {1979, 12, 31, 0, 0, 0, 0}));
    EXPECT_FALSE(SetFileTimestamp(file, {2108, 1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(SetFileTimestamp(dir.file("missing"), {2004, 8, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(SetFileTimestamp(dir.path().string(), {2004, 8, 1, 0, 0, 0, 0}));
    if (geteuid() != 0) {
        chmod(file.c_str(), 0444);
        EXPECT_FALSE(SetFileTimestamp(file, {2005, 1, 1, 0, 0, 0, 0}));
    }
}

TEST(BatchRun, SequenceNumbersAndNewNames) {
    const std::pair<int, const char*> numbers[] = {{0, "000"}, {7, "007"}, {42, "042"}, {999, "999"}, {1000, "1000"}};
    for (const auto& [index, text] : numbers) EXPECT_EQ(SequenceNumber(index), text);
    uint32_t age = 0;
    PackDosDateTime({2004, 8, 1, 12, 30, 5, 0}, age);
    EXPECT_EQ(RenamedPath("/d/abc.txt", TRenameType::Sequence, "x_", 7, age), "/d/007.txt");
    EXPECT_EQ(RenamedPath("/d/abc.txt", TRenameType::TextAndSequence, "x_", 7, age), "/d/x_007.txt");
    EXPECT_EQ(RenamedPath("/d/abc.tar.gz", TRenameType::Timestamp, "x_", 7, age), "/d/20040801123004.gz");
    EXPECT_EQ(RenamedPath("/d.e/abc", TRenameType::Sequence, "", 0, age), "/d.e/000");
    EXPECT_EQ(RenameExample(TRenameType::TextAndSequence), "指定値＋連番\r\nabc.txt->NewFilename_xxx.txt");
}

TEST(BatchRun, RenameNeverReplacesAndCountsOnlyRefusedMoves) {
    TempDir dir;
    fs::create_directories(dir.path() / "one");
    fs::create_directories(dir.path() / "two");
    const std::string a = dir.write("one/a.txt", "a");
    const std::string b = dir.write("two/b.jpg", "b");
    EXPECT_EQ(RenameByPattern(a, TRenameType::TextAndSequence, "NewFilename_", 0), TRenameResult::Renamed);
    EXPECT_EQ(RenameByPattern(b, TRenameType::TextAndSequence, "NewFilename_", 1), TRenameResult::Renamed);
    EXPECT_EQ(ReadBytes(dir.path() / "one/NewFilename_000.txt"), "a");
    EXPECT_EQ(ReadBytes(dir.path() / "two/NewFilename_001.jpg"), "b");
    // The old paths are gone: a second run renames nothing.
    EXPECT_EQ(RenameByPattern(a, TRenameType::TextAndSequence, "NewFilename_", 0), TRenameResult::Skipped);
    // A text naming another folder moves nothing, however it is called; dots alone name a file.
    const std::string d = dir.write("one/d.txt", "d");
    for (const char* text : {"../", "../two/x", "sub/"}) {
        EXPECT_FALSE(RenameTextAllowed(text)) << text;
        EXPECT_EQ(RenameByPattern(d, TRenameType::TextAndSequence, text, 5), TRenameResult::Failed) << text;
    }
    EXPECT_EQ(ReadBytes(d), "d");
    EXPECT_EQ(RenameByPattern(d, TRenameType::TextAndSequence, "..", 5), TRenameResult::Renamed);
    EXPECT_EQ(ReadBytes(dir.path() / "one/..005.txt"), "d");

    const std::string c = dir.write("c.txt", "c");
    const std::string taken = dir.write("000.txt", "keep");
    EXPECT_EQ(RenameByPattern(c, TRenameType::Sequence, "", 0), TRenameResult::Skipped);
    EXPECT_EQ(ReadBytes(taken), "keep");
    EXPECT_EQ(ReadBytes(c), "c");

    // A folder holding the new name refuses the move.
    fs::create_directory(dir.path() / "001.txt");
    EXPECT_EQ(RenameByPattern(c, TRenameType::Sequence, "", 1), TRenameResult::Failed);
    EXPECT_EQ(ReadBytes(c), "c");

    const std::string bare = dir.write("bare", "n");
    EXPECT_EQ(RenameByPattern(bare, TRenameType::Sequence, "", 2), TRenameResult::Renamed);
    EXPECT_TRUE(fs::exists(dir.path() / "002"));
}

// Names the existence check does not see as taken (it sees only files dated 1980 to 2107):
// the move itself must refuse to replace them.
TEST(BatchRun, RenameReplacesNoNameTheExistenceCheckMisses) {
    TempDir dir;
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
    } taken[] = {
        {"000.txt", [](const fs::path& p) { fs::create_symlink("nowhere", p); }},
        {"001.txt", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
        {"002.txt", [](const fs::path& p) {
             std::ofstream(p) << "from 1970";
             SetLocalTime(p.string(), 1970, 1, 2, 0, 0, 0);
         }},
    };
    for (int i = 0; i < 3; ++i) {
        const fs::path name = dir.path() / taken[i].name;
        taken[i].make(name);
        const std::string file = dir.write("f" + std::to_string(i) + ".txt", "mine");
        EXPECT_EQ(RenameByPattern(file, TRenameType::Sequence, "", i), TRenameResult::Failed) << taken[i].name;
        EXPECT_EQ(ReadBytes(file), "mine") << taken[i].name;
        const fs::file_status st = fs::symlink_status(name);
        EXPECT_EQ(st.type(), i == 0 ? fs::file_type::symlink : i == 1 ? fs::file_type::fifo : fs::file_type::regular)
            << taken[i].name;
    }
    EXPECT_EQ(fs::read_symlink(dir.path() / "000.txt"), "nowhere");
    EXPECT_EQ(ReadBytes(dir.path() / "002.txt"), "from 1970");
}

TEST(BatchRun, TimestampNamesOfTwoFilesOfOneTimeRenameOnlyTheFirst) {
    TempDir dir;
    const std::string a = dir.write("a.txt", "a"), b = dir.write("b.txt", "b");
    SetLocalTime(a, 2004, 8, 1, 12, 30, 4);
    SetLocalTime(b, 2004, 8, 1, 12, 30, 5);
    EXPECT_EQ(RenameByPattern(a, TRenameType::Timestamp, "", 0), TRenameResult::Renamed);
    EXPECT_EQ(RenameByPattern(b, TRenameType::Timestamp, "", 1), TRenameResult::Skipped);
    EXPECT_EQ(ReadBytes(dir.path() / "20040801123004.txt"), "a");
    EXPECT_EQ(ReadBytes(b), "b");
}

}  // namespace
