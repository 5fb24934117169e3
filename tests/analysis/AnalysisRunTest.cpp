// The analysis run on its own, without a window: what it tells its sink and its hooks when
// the file changes or cannot be read while it is being hashed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "analysis/AnalysisRun.h"
#include "engine/FileDigests.h"
#include "engine/FileReader.h"
#include "support/RunLog.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class TRecordingSink : public TAnalysisSink {
public:
    void Log(const std::string& text, int kind) override { Lines.push_back({text, kind}); }
    void Message(const std::string& text, TBoxIcon) override { Boxes.push_back(text); }
    void PlaySound(bool error) override { Sounds.push_back(error); }
    void Blink() override { ++Blinks; }

    std::vector<TRunLog::TLine> Lines;
    std::vector<std::string> Boxes;
    std::vector<bool> Sounds;
    int Blinks = 0;
};

class TRecordingHooks : public TAnalysisHooks {
public:
    std::optional<std::string> ReadSidecar(const std::string&) override { return std::nullopt; }
    TSidecarWriteResult WriteSidecar(const std::string&, const std::string&) override {
        return {TSidecarWrite::Exists, {}};
    }
    TCacheHit CacheLookup(const std::string&, const TFileIdentity&) override { return {}; }
    bool CacheDeleteRecord(const std::string&) override { return false; }
    void CacheStore(const std::string& crc, const std::string&, const std::string&, const TFileIdentity&) override {
        Stored.push_back(crc);
    }
    std::vector<std::string> Stored;
};

// Runs `after` once the first read of the file (the CRC32 of a run with the cache on) is done.
class TAfterFirstRead : public TFileDigests {
public:
    TAfterFirstRead(TDigestSet kinds, std::function<void()>& after) : TFileDigests(kinds), after_(after) {}
    void Execute() override {
        TFileDigests::Execute();
        if (after_) std::exchange(after_, nullptr)();
    }

private:
    std::function<void()>& after_;
};

class AnalysisRun : public ::testing::Test {
protected:
    TAnalysisOutcome Run(const std::string& path, bool useCache = true) {
        TAnalysisRun run(sink_, hooks_);
        run.EngineFactory = [this](TDigestSet kinds) -> std::unique_ptr<TNormalFileInfo> {
            return std::make_unique<TAfterFirstRead>(kinds, afterFirstRead_);
        };
        TAnalysisRequest request;
        request.Path = path;
        request.Digests = {TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5};
        request.UseCache = useCache;   // on: CRC32 reads first, SHA-1 and MD5 after it
        request.ProgramFolder = dir_.path().string();
        return run.Run(request);
    }

    TempDir dir_;
    TRecordingSink sink_;
    TRecordingHooks hooks_;
    std::function<void()> afterFirstRead_;
};

// A file replaced, or rewritten with the same size, between the passes: the digests would
// describe two contents, so nothing is kept and the run fails.
TEST_F(AnalysisRun, AFileChangedBetweenThePassesIsReportedAndNotCached) {
    const std::string path = dir_.file("f.bin");
    struct Change {
        const char* what;
        std::function<void()> change;
    };
    const Change changes[] = {
        {"replaced", [&] {
             dir_.write("new.bin", "xyz");
             fs::rename(dir_.file("new.bin"), path);
         }},
        {"rewritten in place, same size, new time", [&] {
             std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "xyz";
             const struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 0}};
             ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         }},
        // A fast writer: the modified time moves by a microsecond within the same second.
        {"rewritten in place, same size, same second", [&] {
             struct stat before;
             ASSERT_EQ(::stat(path.c_str(), &before), 0);
             std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "xyz";
             const long ns = before.st_mtim.tv_nsec;
             const struct timespec times[2] = {{0, UTIME_OMIT},
                                               {before.st_mtim.tv_sec, ns >= 500000000 ? ns - 1000 : ns + 1000}};
             ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
             struct stat after;
             ASSERT_EQ(::stat(path.c_str(), &after), 0);
             ASSERT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
             ASSERT_EQ(after.st_ino, before.st_ino);
             ASSERT_EQ(after.st_size, before.st_size);
         }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        dir_.write("f.bin", "abc");
        sink_ = {};
        hooks_.Stored.clear();
        afterFirstRead_ = c.change;
        const TAnalysisOutcome outcome = Run(path);
        EXPECT_TRUE(outcome.Error);
        EXPECT_TRUE(outcome.Changed);
        EXPECT_FALSE(outcome.Canceled);
        TRunLog expected("f.bin");
        expected.Digest("CRC32").Digest("SHA1").Digest("MD5");
        expected.Line("f.binは解析中に変更されました。結果は保存しません", lkWarning).Elapsed();
        EXPECT_EQ(sink_.Lines, expected.Lines());
        EXPECT_TRUE(hooks_.Stored.empty());
        EXPECT_EQ(sink_.Sounds, std::vector<bool>{true});
        EXPECT_EQ(sink_.Blinks, 0);
    }

    // Unchanged, the same run stores its digests and blinks.
    dir_.write("f.bin", "abc");
    sink_ = {};
    EXPECT_FALSE(Run(path).Error);
    EXPECT_EQ(hooks_.Stored, std::vector<std::string>{"352441c2"});
    EXPECT_EQ(sink_.Blinks, 1);
}

// Each run reports progress to its own sink: a second run that starts and ends while the
// first one pumps neither takes the first one's progress nor ends it.
TEST_F(AnalysisRun, ProgressGoesToTheRunsOwnSink) {
    struct TProgressSink : TRecordingSink {
        void Progress(int64_t position, int64_t) override { Positions.push_back(position); }
        std::vector<int64_t> Positions;
    };
    const std::string outer = dir_.write("outer.bin", std::string(250 * 1024, 'o'));
    const std::string inner = dir_.write("inner.bin", std::string(150 * 1024, 'i'));
    auto request = [&](const std::string& path) {
        TAnalysisRequest r;
        r.Path = path;
        r.Digests = {TDigestKind::MD5};
        r.BufferKB = 1;
        r.ProgramFolder = dir_.path().string();
        return r;
    };
    TProgressSink outerSink, innerSink;
    bool nested = false;
    SetMessagePump([&] {
        if (std::exchange(nested, true)) return;
        TAnalysisRun second(innerSink, hooks_);
        EXPECT_FALSE(second.Run(request(inner)).Error);
    });
    TAnalysisRun first(outerSink, hooks_);
    EXPECT_FALSE(first.Run(request(outer)).Error);
    SetMessagePump(nullptr);
    // Every 101 buffers, then the engines' final (100, 100).
    EXPECT_EQ(outerSink.Positions, (std::vector<int64_t>{101 * 1024, 202 * 1024, 100}));
    EXPECT_EQ(innerSink.Positions, (std::vector<int64_t>{101 * 1024, 100}));
}

// Every read of the file fails after the first buffer.
ssize_t FailAfterFirstRead(int fd, void* buffer, size_t count) {
    static thread_local int reads = 0;
    if (::lseek(fd, 0, SEEK_CUR) == 0) reads = 0;
    if (reads++ == 0) return ::read(fd, buffer, count);
    errno = EIO;
    return -1;
}

// A read that fails part-way gives no digest, never the digest of what was read and never the
// cancel line: CRC32 logs its error, and the first of SHA-1 and MD5 names the file and the
// system's reason, where the run ends.
TEST_F(AnalysisRun, AReadThatFailsGivesNoDigestAndSaysWhy) {
    const std::string path = dir_.write("big.bin", std::string(300 * 1024, 'r'));
    SetReadFunction(&FailAfterFirstRead);
    for (bool useCache : {false, true}) {
        SCOPED_TRACE(useCache ? "CRC32 on its own, then SHA-1 with MD5" : "all three in one read");
        sink_ = {};
        const TAnalysisOutcome outcome = Run(path, useCache);
        EXPECT_TRUE(outcome.Error);
        EXPECT_FALSE(outcome.Canceled);
        for (TDigestKind kind : {TDigestKind::CRC32, TDigestKind::SHA1, TDigestKind::MD5})
            EXPECT_TRUE(outcome.Text(kind).empty());
        TRunLog expected("big.bin");
        expected.Start("CRC32").Line("CRC32 Error!!", lkWarning).Start("SHA1").Line("SHA1 Error!!", lkError);
        EXPECT_EQ(sink_.Lines, expected.Lines());
        EXPECT_EQ(sink_.Boxes, std::vector<std::string>{"ファイルを読み込めません :理由Input/output error\n" + path});
        EXPECT_EQ(sink_.Sounds, std::vector<bool>{true});
        EXPECT_TRUE(hooks_.Stored.empty());
    }
    SetReadFunction(nullptr);
}

}  // namespace
