// The run shared by the three engines: buffers, pumping, progress, cancel and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "support/TempDir.h"

namespace {

struct Call {
    int64_t processed, total;
    bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;
void Record(int64_t processed, int64_t total) { g_calls.push_back({processed, total}); }

enum class Kind { CRC32, MD5, SHA1 };

std::unique_ptr<TNormalFileInfo> Make(Kind k) {
    switch (k) {
        case Kind::CRC32: return std::make_unique<TFileCRC32Info>();
        case Kind::MD5: return std::make_unique<TFileMD5Info>();
        case Kind::SHA1: return std::make_unique<TFileSHA1>();
    }
    return nullptr;
}

// Digests of "abc", independent of our code.
std::string Expected(Kind k) {
    switch (k) {
        case Kind::CRC32: return "352441C2";
        case Kind::MD5: return "900150983CD24FB0D6963F7D28E17F72";
        case Kind::SHA1: return "A9993E364706816ABA3E25717850C26C9CD0D89D";
    }
    return {};
}

class EngineContract : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        g_calls.clear();
        pumps_ = 0;
        onPump_ = nullptr;
        SetMessagePump([this] {
            ++pumps_;
            if (onPump_) onPump_();
        });
    }
    void TearDown() override { SetMessagePump(nullptr); }

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
    EXPECT_EQ(e->GetHashText(true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
    EXPECT_EQ(pumps_, 0);
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));
}

TEST_P(EngineContract, PumpAndProgressAfterEvery101Buffers) {
    // 101 full buffers: one pump with its progress call; 202 buffers + 1 byte: two.
    for (int64_t size : {int64_t(101 * 1024), int64_t(202 * 1024 + 1)}) {
        SetUp();
        auto e = Engine(dir_.write("f", PatternBytes(size_t(size))));
        EXPECT_FALSE(e->GetHashText(false).empty());
        std::vector<Call> want;
        for (int64_t n = 101 * 1024; n <= size; n += 101 * 1024) want.push_back({n, size});
        want.push_back({100, 100});
        EXPECT_EQ(g_calls, want) << size;
        EXPECT_EQ(pumps_, int(want.size() - 1)) << size;
    }
}

TEST_P(EngineContract, BufferSizeDoesNotChangeTheDigest) {
    const std::string path = dir_.write("f", PatternBytes(300 * 1024 + 77));
    std::string first;
    for (uint16_t kb : {1, 3, 16, 64, 128}) {
        const std::string text = Engine(path, kb)->GetHashText(true);
        if (first.empty()) first = text;
        EXPECT_EQ(text, first) << kb << " KB";
    }
    EXPECT_FALSE(first.empty());
}

TEST_P(EngineContract, CaseOfTheText) {
    const std::string path = dir_.write("abc", "abc");
    std::string lower = Expected(GetParam());
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Engine(path)->GetHashText(false), lower);
    EXPECT_EQ(Engine(path)->GetHashText(true), Expected(GetParam()));
}

TEST_P(EngineContract, CancelAtAPumpEndsTheRunWithoutDigest) {
    auto e = Engine(dir_.write("f", PatternBytes(500 * 1024)));
    onPump_ = [&] { e->SetCanceled(true); };
    EXPECT_EQ(e->GetHashText(true), "");
    EXPECT_TRUE(e->Canceled());
    EXPECT_EQ(pumps_, 1);
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));   // no progress call after the cancel

    // The same engine, reused for the next file, starts clean.
    onPump_ = nullptr;
    g_calls.clear();
    e->SetFileName(dir_.write("abc", "abc"));
    EXPECT_EQ(e->GetHashText(true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
}

TEST_P(EngineContract, CancelBeforeTheRunIsWiped) {
    auto e = Engine(dir_.write("abc", "abc"));
    e->SetCanceled(true);
    EXPECT_EQ(e->GetHashText(true), Expected(GetParam()));
    EXPECT_FALSE(e->Canceled());
}

TEST_P(EngineContract, EmptyFileGivesEmptyTextAndCanceled) {
    auto e = Engine(dir_.write("empty", ""));
    ASSERT_FALSE(e->Info().FileName.empty());
    EXPECT_EQ(e->GetHashText(true), "");
    EXPECT_TRUE(e->Canceled());
    EXPECT_EQ(g_calls, (std::vector<Call>{{100, 100}}));
}

TEST_P(EngineContract, NoFileSelectedDoesNothing) {
    for (const std::string& path : {dir_.file("missing"), dir_.path().string()}) {
        auto e = Engine(path);
        EXPECT_EQ(e->Info().FileName, "");
        e->SetCanceled(true);
        EXPECT_EQ(e->GetHashText(true), "");
        EXPECT_TRUE(e->Canceled()) << "kept its value";
        EXPECT_TRUE(g_calls.empty());
    }
}

TEST_P(EngineContract, OpenFailureIsAbsorbedByCrc32AndRaisedByTheOthers) {
    const std::string path = dir_.write("gone", "abc");
    auto e = Engine(path);
    std::filesystem::remove(path);
    if (GetParam() == Kind::CRC32) {
        EXPECT_EQ(e->GetHashText(true), "");
    } else {
        try {
            e->GetHashText(true);
            ADD_FAILURE() << "no error raised";
        } catch (const EFileOpenError& err) {
            EXPECT_EQ(err.Path(), path);
            EXPECT_EQ(err.Reason(), "No such file or directory");
        }
    }
    EXPECT_FALSE(e->Canceled());
    EXPECT_EQ(e->Info().CRC32 + e->Info().MD5 + e->Info().SHA1, "");
    EXPECT_TRUE(g_calls.empty());
}

TEST_P(EngineContract, FifoInTheFilesPlaceDoesNotHang) {
    const std::string path = dir_.write("f", "abc");
    auto e = Engine(path);
    std::filesystem::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    if (GetParam() == Kind::CRC32) EXPECT_EQ(e->GetHashText(true), "");
    else EXPECT_THROW(e->GetHashText(true), EFileOpenError);
}

TEST_P(EngineContract, FileCutShortDuringTheRunGivesTheDigestOfWhatWasRead) {
    const std::string content = PatternBytes(300 * 1024);
    const std::string path = dir_.write("f", content);
    auto e = Engine(path);
    onPump_ = [&] { ASSERT_EQ(truncate(path.c_str(), 101 * 1024), 0); };
    const std::string text = e->GetHashText(true);
    EXPECT_FALSE(e->Canceled());
    onPump_ = nullptr;

    // MD5 and SHA-1 read ahead on a second thread, up to a ring of buffers, so they may have
    // read a few more buffers of the old content before the file was cut.
    const int ahead = GetParam() == Kind::CRC32 ? 0 : 8;
    std::vector<std::string> possible;
    for (int kb = 101; kb <= 101 + ahead; ++kb)
        possible.push_back(Engine(dir_.write("g", content.substr(0, size_t(kb) * 1024)))->GetHashText(true));
    EXPECT_NE(std::find(possible.begin(), possible.end(), text), possible.end()) << text;
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineContract, ::testing::Values(Kind::CRC32, Kind::MD5, Kind::SHA1),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Kind::CRC32: return std::string("CRC32");
                                 case Kind::MD5: return std::string("MD5");
                                 default: return std::string("SHA1");
                             }
                         });

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
