// The run shared by every engine of the kind table and by one read for several digests:
// buffers, pumping, progress, cancel and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

#include "engine/DigestKinds.h"
#include "engine/FileDigests.h"
#include "engine/FileMD5Info.h"
#include "engine/FileReader.h"
#include "support/TempDir.h"

namespace {

struct Call {
    int64_t processed, total;
    bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;
void Record(int64_t processed, int64_t total) { g_calls.push_back({processed, total}); }

// Each kind's own engine, and one read shared by several kinds, all from the kind table.
struct TContractRun {
    std::string name;
    TDigestSet kinds;
    bool shared;
};

void PrintTo(const TContractRun& r, std::ostream* os) { *os << r.name; }

std::vector<TContractRun> ContractRuns() {
    std::vector<TContractRun> runs;
    TDigestSet every;
    for (const TDigestKindInfo& k : DigestKinds()) {
        runs.push_back({k.Name, {k.Kind}, false});
        every.Add(k.Kind);
    }
    runs.push_back({"SharedSHA1MD5", {TDigestKind::SHA1, TDigestKind::MD5}, true});
    runs.push_back({"SharedCRC32SHA1MD5", AllDigestKinds(), true});
    runs.push_back({"SharedEveryKind", every, true});
    return runs;
}

// CRC32 absorbs its failures; every other engine raises them; the shared read only records them.
bool Raises(const TContractRun& r) { return !r.shared && !r.kinds.Has(TDigestKind::CRC32); }

std::unique_ptr<TNormalFileInfo> Make(const TContractRun& r) {
    if (r.shared) return std::make_unique<TFileDigests>(r.kinds);
    for (const TDigestKindInfo& k : DigestKinds())
        if (r.kinds.Has(k.Kind)) return k.MakeEngine();
    return nullptr;
}

// Runs the engine as its callers do: the texts of its kinds (in the table's order), joined by
// spaces. Raised errors pass through.
std::string Hash(TNormalFileInfo& e, const TContractRun& r, bool upper) {
    if (!r.shared) return e.GetHashText(upper);
    e.Execute();
    std::string out;
    for (const TDigestKindInfo& info : DigestKinds()) {
        if (!r.kinds.Has(info.Kind)) continue;
        if (!out.empty()) out += ' ';
        out += static_cast<TFileDigests&>(e).HashText(info.Kind, upper);
    }
    return out;
}

// The same with raised errors caught, as the analysis catches them.
std::string HashCatching(TNormalFileInfo& e, const TContractRun& r) {
    try {
        return Hash(e, r, true);
    } catch (const EFileOpenError&) {
        return "raised";
    }
}

// Digests of "abc" as FIPS 180 and RFC 1321 publish them (CRC32: zlib's), by the table's
// names; a kind added to the table without its value here fails every test.
std::string Expected(const TContractRun& r) {
    const std::map<std::string, std::string> abc = {
        {"CRC32", "352441C2"},
        {"MD5", "900150983CD24FB0D6963F7D28E17F72"},
        {"SHA1", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"SHA256", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {"SHA512", "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
                   "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
    };
    std::string out;
    for (const TDigestKindInfo& info : DigestKinds()) {
        if (!r.kinds.Has(info.Kind)) continue;
        if (!out.empty()) out += ' ';
        const auto it = abc.find(info.Name);
        out += it == abc.end() ? std::string("no published value for ") + info.Name : it->second;
    }
    return out;
}

// Every digest field of the record, concatenated.
std::string AllTexts(const TNormalFileInfo& e) {
    std::string out;
    for (const TDigestKindInfo& k : DigestKinds()) out += e.Info().*k.Field;
    return out;
}

// The read seam: an EIO after some reads, or reads past an offset held until a flag is set.
std::atomic<int> g_reads{0};
std::atomic<int> g_failAfter{-1};
std::atomic<off_t> g_holdFrom{-1};
std::atomic<bool> g_release{false};

ssize_t SeamRead(int fd, void* buffer, size_t count) {
    if (g_failAfter >= 0 && g_reads.fetch_add(1) >= g_failAfter) {
        errno = EIO;
        return -1;
    }
    if (g_holdFrom >= 0 && lseek(fd, 0, SEEK_CUR) >= g_holdFrom)
        while (!g_release) std::this_thread::sleep_for(std::chrono::microseconds(100));
    return ::read(fd, buffer, count);
}

class EngineContract : public ::testing::TestWithParam<TContractRun> {
protected:
    void SetUp() override {
        g_calls.clear();
        g_reads = 0;
        g_failAfter = -1;
        g_holdFrom = -1;
        g_release = false;
        pumps_ = 0;
        onPump_ = nullptr;
        SetMessagePump([this] {
            ++pumps_;
            if (onPump_) onPump_();
        });
    }
    void TearDown() override {
        SetMessagePump(nullptr);
        SetReadFunction(nullptr);
    }

    std::unique_ptr<TNormalFileInfo> Engine(const std::string& path, uint16_t kb = 1) {
        auto e = Make(GetParam());
        e->SetBufferSize(kb);
        e->SetProgressProc(Record);
        e->SetFileName(path);
        return e;
    }

    TempDir dir_;
    int pumps_ = 0;
    std::function<void()> onPump_;
};

TEST_P(EngineContract, SmallFileGetsOnlyTheFinalProgressCall) {
    auto e = Engine(dir_.write("abc", "abc"));
    EXPECT_EQ(Hash(*e, GetParam(), true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
    EXPECT_EQ(pumps_, 0);
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));
}

TEST_P(EngineContract, PumpAndProgressAfterEvery101Buffers) {
    // 101 full buffers: one pump with its progress call; 202 buffers + 1 byte: two.
    for (int64_t size : {int64_t(101 * 1024), int64_t(202 * 1024 + 1)}) {
        SetUp();
        auto e = Engine(dir_.write("f", PatternBytes(size_t(size))));
        EXPECT_FALSE(Hash(*e, GetParam(), false).empty());
        std::vector<Call> want;
        for (int64_t n = 101 * 1024; n <= size; n += 101 * 1024) want.push_back({n, size});
        want.push_back({100, 100});
        EXPECT_EQ(g_calls, want) << size;
        EXPECT_EQ(pumps_, int(want.size() - 1)) << size;
    }
}

// A handler with state of its own gets exactly the calls the plain procedure gets; either
// replaces the other, and a null procedure reports nothing.
TEST_P(EngineContract, AProgressHandlerGetsTheProceduresCalls) {
    const std::string path = dir_.write("f", PatternBytes(202 * 1024 + 1));
    auto e = Engine(path);
    EXPECT_FALSE(Hash(*e, GetParam(), false).empty());
    const std::vector<Call> byProcedure = g_calls;
    ASSERT_EQ(byProcedure.size(), 3u);

    g_calls.clear();
    std::vector<Call> byHandler;
    e = Engine(path);
    e->SetProgressHandler([&byHandler](int64_t processed, int64_t total) { byHandler.push_back({processed, total}); });
    EXPECT_FALSE(Hash(*e, GetParam(), false).empty());
    EXPECT_EQ(byHandler, byProcedure);
    EXPECT_TRUE(g_calls.empty());

    byHandler.clear();
    e->SetProgressProc(nullptr);
    EXPECT_FALSE(Hash(*e, GetParam(), false).empty());
    EXPECT_TRUE(byHandler.empty());
    EXPECT_TRUE(g_calls.empty());
}

TEST_P(EngineContract, BufferSizeDoesNotChangeTheDigest) {
    const std::string path = dir_.write("f", PatternBytes(300 * 1024 + 77));
    std::string first;
    for (uint16_t kb : {1, 3, 16, 64, 128}) {
        const std::string text = Hash(*Engine(path, kb), GetParam(), true);
        if (first.empty()) first = text;
        EXPECT_EQ(text, first) << kb << " KB";
    }
    EXPECT_FALSE(first.empty());
}

TEST_P(EngineContract, CaseOfTheText) {
    const std::string path = dir_.write("abc", "abc");
    std::string lower = Expected(GetParam());
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Hash(*Engine(path), GetParam(), false), lower);
    EXPECT_EQ(Hash(*Engine(path), GetParam(), true), Expected(GetParam()));
}

TEST_P(EngineContract, CancelAtAPumpEndsTheRunWithoutDigest) {
    auto e = Engine(dir_.write("f", PatternBytes(500 * 1024)));
    onPump_ = [&] { e->SetCanceled(true); };
    EXPECT_EQ(Hash(*e, GetParam(), true), "");
    EXPECT_TRUE(e->Canceled());
    EXPECT_EQ(pumps_, 1);
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));   // no progress call after the cancel

    // The same engine, reused for the next file, starts clean.
    onPump_ = nullptr;
    g_calls.clear();
    e->SetFileName(dir_.write("abc", "abc"));
    EXPECT_EQ(Hash(*e, GetParam(), true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
}

TEST_P(EngineContract, CancelBeforeTheRunIsWiped) {
    auto e = Engine(dir_.write("abc", "abc"));
    e->SetCanceled(true);
    EXPECT_EQ(Hash(*e, GetParam(), true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
}

TEST_P(EngineContract, EmptyFileGivesEmptyTextAndCanceled) {
    auto e = Engine(dir_.write("empty", ""));
    ASSERT_FALSE(e->Info().FileName.empty());
    e->ReadSize();   // sized as empty too: an empty file, not one that was emptied
    EXPECT_EQ(Hash(*e, GetParam(), true), "");
    EXPECT_TRUE(e->Canceled());
    EXPECT_EQ(e->Failure(), TRunFailure::None);
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));
}

TEST_P(EngineContract, NoFileSelectedDoesNothing) {
    for (const std::string& path : {dir_.file("missing"), dir_.path().string()}) {
        auto e = Engine(path);
        EXPECT_EQ(e->Info().FileName, "");
        e->SetCanceled(true);
        EXPECT_EQ(Hash(*e, GetParam(), true), "");
        EXPECT_TRUE(e->Canceled()) << "kept its value";
        EXPECT_TRUE(g_calls.empty());
    }
}

// A file that cannot be opened: no text, not canceled, the system's reason, no progress call;
// every engine but CRC32's raises it as EFileOpenError.
TEST_P(EngineContract, OpenFailureGivesTheSystemsReason) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"removed", [](const std::string& p) { std::filesystem::remove(p); }, "No such file or directory"},
        // A FIFO put in the file's place must not hang the run.
        {"a FIFO", [](const std::string& p) { std::filesystem::remove(p); ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         "Not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_calls.clear();
        const std::string path = dir_.write(c.what, "abc");
        auto e = Engine(path);
        c.make(path);
        if (Raises(GetParam())) {
            try {
                Hash(*e, GetParam(), true);
                ADD_FAILURE() << "no error raised";
            } catch (const EFileReadError&) {
                ADD_FAILURE() << "raised as a read error";
            } catch (const EFileOpenError& err) {
                EXPECT_EQ(err.Path(), path);
                EXPECT_EQ(err.Reason(), c.reason);
            }
        } else {
            EXPECT_EQ(Hash(*e, GetParam(), true), "");
        }
        EXPECT_FALSE(e->Canceled());
        EXPECT_EQ(e->Failure(), TRunFailure::Open);
        EXPECT_EQ(e->FailureReason(), c.reason);
        EXPECT_EQ(AllTexts(*e), "");
        EXPECT_TRUE(g_calls.empty());
    }
}

// A read that fails part-way gives no digest (never that of the bytes read before it), is no
// cancel, and names the system's reason; every engine but CRC32's raises it as EFileReadError.
TEST_P(EngineContract, ReadErrorGivesNoDigest) {
    const std::string path = dir_.write("f", PatternBytes(300 * 1024));
    for (int failAfter : {0, 5, 150}) {
        SCOPED_TRACE(failAfter);
        g_calls.clear();
        g_reads = 0;
        g_failAfter = failAfter;
        SetReadFunction(SeamRead);
        auto e = Engine(path);
        e->ReadSize();
        if (Raises(GetParam())) {
            try {
                Hash(*e, GetParam(), true);
                ADD_FAILURE() << "no error raised";
            } catch (const EFileReadError& err) {
                EXPECT_EQ(err.Path(), path);
                EXPECT_EQ(err.Reason(), "Input/output error");
            }
        } else {
            EXPECT_EQ(Hash(*e, GetParam(), true), "");
        }
        EXPECT_FALSE(e->Canceled());
        EXPECT_EQ(e->Failure(), TRunFailure::Read);
        EXPECT_EQ(e->FailureReason(), "Input/output error");
        EXPECT_EQ(AllTexts(*e), "");
        EXPECT_EQ(g_calls.back(), (Call{100, 100}));

        // The next run on the same engine starts clean.
        SetReadFunction(nullptr);
        e->SetFileName(dir_.write("abc", "abc"));
        EXPECT_EQ(Hash(*e, GetParam(), true), Expected(GetParam()));
        EXPECT_EQ(e->Failure(), TRunFailure::None);
        EXPECT_EQ(e->FailureReason(), "");
    }
}

// A file cut short while it is read (here from the pump, after 101 of its 300 buffers), or
// emptied after it was sized for the run, gives no digest and no cancel.
TEST_P(EngineContract, FileCutShortGivesNoDigestAndNoCancel) {
    const std::string content = PatternBytes(300 * 1024);
    const char* const reason = "the file ended before its size was read";
    for (off_t cutTo : {off_t(101 * 1024), off_t(50 * 1024), off_t(0)}) {
        SCOPED_TRACE(cutTo);
        const std::string path = dir_.write("f", content);
        auto e = Engine(path);
        e->ReadSize();
        // Digest threads need not wait for the pump: reads past 120 buffers wait for the cut.
        g_holdFrom = 120 * 1024;
        g_release = false;
        SetReadFunction(SeamRead);
        onPump_ = [&] {
            ASSERT_EQ(truncate(path.c_str(), cutTo), 0);
            g_release = true;
        };
        EXPECT_EQ(HashCatching(*e, GetParam()), Raises(GetParam()) ? "raised" : "");
        EXPECT_FALSE(e->Canceled());
        EXPECT_EQ(e->Failure(), TRunFailure::Read);
        EXPECT_EQ(e->FailureReason(), reason);
        EXPECT_EQ(pumps_, 1);
        SetReadFunction(nullptr);
        onPump_ = nullptr;
        pumps_ = 0;
    }

    // Sized with its bytes, then emptied before the run opens it.
    const std::string path = dir_.write("g", "abc");
    auto e = Engine(path);
    e->ReadSize();
    ASSERT_EQ(truncate(path.c_str(), 0), 0);
    EXPECT_EQ(HashCatching(*e, GetParam()), Raises(GetParam()) ? "raised" : "");
    EXPECT_FALSE(e->Canceled());
    EXPECT_EQ(e->Failure(), TRunFailure::Read);
    EXPECT_EQ(e->FailureReason(), reason);
}

// A file that grows while it is read gives the digest of the size it had when it was opened.
TEST_P(EngineContract, FileGrownDuringTheRunGivesTheDigestOfItsOpenedSize) {
    const std::string content = PatternBytes(202 * 1024);
    const std::string path = dir_.write("f", content);
    auto e = Engine(path);
    onPump_ = [&] {
        std::FILE* f = std::fopen(path.c_str(), "ab");
        ASSERT_NE(f, nullptr);
        std::fputs("more", f);
        std::fclose(f);
    };
    const std::string text = Hash(*e, GetParam(), true);
    onPump_ = nullptr;
    EXPECT_EQ(text, Hash(*Engine(dir_.write("g", content)), GetParam(), true));
    EXPECT_EQ(e->Failure(), TRunFailure::None);
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineContract, ::testing::ValuesIn(ContractRuns()),
                         [](const auto& info) { return info.param.name; });

TEST(MD5HashString, HashesShiftJisBytes) {
    TFileMD5Info md5;
    EXPECT_EQ(md5.HashString("", true), "");
    EXPECT_EQ(md5.HashString("", false), "");
    EXPECT_EQ(md5.HashString("abc", false), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5.HashString("abc", true), "900150983CD24FB0D6963F7D28E17F72");
    // あ is 0x82 0xA0 in Shift_JIS; the expected value is md5sum of those two bytes.
    EXPECT_EQ(md5.HashString("あ", false),
              RunCommand("printf '\\202\\240' | md5sum | cut -c1-32 | tr -d '\\n'"));
}

}  // namespace
