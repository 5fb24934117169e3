#include "engine/digest/Sha1.h"

#include "engine/FileSHA1.h"
#include "support/Reference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using digest::Sha1Context;
using digest::Sha1Impl;

namespace digest {
void PrintTo(Sha1Impl impl, std::ostream* os) { *os << Sha1ImplName(impl); }
}  // namespace digest

namespace {

const Sha1Impl kSha1Paths[] = {Sha1Impl::Reference, Sha1Impl::Shani};
// Every path that is not the reference, each checked against it.
const Sha1Impl kSha1FastPaths[] = {Sha1Impl::Shani};

std::string Result(Sha1Context& ctx) {
    uint8_t out[20];
    if (!digest::Sha1Result(ctx, out)) return "refused";
    return LowerHex(out, 20);
}

// Digest of `n` bytes fed in one call, on whatever path is selected.
std::string Sha1Of(const uint8_t* p, size_t n) {
    Sha1Context ctx;
    digest::Sha1Reset(ctx);
    digest::Sha1Input(ctx, p, n);
    return Result(ctx);
}

std::string Sha1Of(const std::string& s) { return Sha1Of(Bytes(s), s.size()); }

// One byte per call: the behaviour that bulk input has to reproduce exactly.
void FeedBytewise(Sha1Context& ctx, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) digest::Sha1Input(ctx, p + i, 1);
}

// Everything of the context that a later call can depend on.
void ExpectSameState(const Sha1Context& a, const Sha1Context& b) {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.hash[i], b.hash[i]) << "hash word " << i;
    EXPECT_EQ(a.lengthLow, b.lengthLow);
    EXPECT_EQ(a.lengthHigh, b.lengthHigh);
    EXPECT_EQ(a.index, b.index);
    EXPECT_EQ(a.computed, b.computed);
    EXPECT_EQ(a.corrupted, b.corrupted);
    if (a.index == b.index && a.index >= 0 && a.index <= 64) {
        EXPECT_EQ(0, std::memcmp(a.block, b.block, size_t(a.index)));
    }
}

std::string Repeat(const std::string& s, int times) {
    std::string r;
    for (int i = 0; i < times; ++i) r += s;
    return r;
}

class Sha1Path : public ::testing::TestWithParam<Sha1Impl> {
protected:
    void SetUp() override {
        saved_ = digest::Sha1Selected();
        if (!digest::Sha1Supported(GetParam()))
            GTEST_SKIP() << "this CPU lacks the SHA extensions for the " << digest::Sha1ImplName(GetParam())
                         << " path";
        digest::Sha1Select(GetParam());
    }
    void TearDown() override { digest::Sha1Select(saved_); }

    Sha1Impl saved_ = Sha1Impl::Reference;
};

std::string Sha1PathName(const ::testing::TestParamInfo<Sha1Impl>& info) {
    return info.param == Sha1Impl::Reference ? "Reference" : "Shani";
}

using Sha1AnyPath = Sha1Path;
using Sha1FastPath = Sha1Path;

TEST_P(Sha1AnyPath, GivesThePublishedVectors) {
    const struct {
        std::string text;
        const char* sha1;
    } cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        // 56 bytes: the 0x80 byte and the length need a block of their own.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
         "mnopqrstnopqrstu",
         "a49b2446a02c645bf419f995b67091253a04a259"},
        {Repeat("01234567", 80), "dea356a2cddd90c7a7ecedc5ebb563934f460452"},
    };
    for (const auto& c : cases) EXPECT_EQ(Sha1Of(c.text), c.sha1) << '"' << c.text << '"';
}

TEST_P(Sha1AnyPath, MillionAsOneByteAtATimeAndAtOnce) {
    const std::string a(1000000, 'a');
    Sha1Context ctx;
    digest::Sha1Reset(ctx);
    FeedBytewise(ctx, Bytes(a), a.size());
    EXPECT_EQ(Result(ctx), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    EXPECT_EQ(Sha1Of(a), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

// Every prefix length 0..300 (so 55, 56, 63, 64 and their next-block twins in the last block)
// against Python's hashlib.
TEST_P(Sha1AnyPath, MatchesHashlibOnEveryLengthUpTo300) {
    if (!HavePython()) GTEST_SKIP() << "python3 with hashlib is not available";
    TempDir dir;
    const std::string data = PatternBytes(300, 9);
    const std::string file = dir.write("data.bin", data);
    const std::string script = dir.write(
        "sha1.py", "import hashlib, sys\n"
                   "d = open(sys.argv[1], 'rb').read()\n"
                   "for n in range(len(d) + 1): print(hashlib.sha1(d[:n]).hexdigest())\n");
    std::istringstream out(RunCommand("python3 " + script + " " + file));
    for (size_t n = 0; n <= data.size(); ++n) {
        std::string expected;
        ASSERT_TRUE(out >> expected) << "python printed too little";
        EXPECT_EQ(Sha1Of(Bytes(data), n), expected) << "length " << n;
    }
}

TEST_P(Sha1FastPath, MatchesReferenceOnAllLengthsAndAlignments) {
    const std::string data = PatternBytes(300, 13);
    // Room to put the bytes at every offset from a 64-byte boundary.
    std::vector<uint8_t> space(300 + 128);
    uint8_t* base = space.data() + (64 - reinterpret_cast<uintptr_t>(space.data()) % 64) % 64;
    for (size_t n = 0; n <= data.size(); ++n) {
        digest::Sha1Select(Sha1Impl::Reference);
        const std::string expected = Sha1Of(Bytes(data), n);
        digest::Sha1Select(GetParam());
        for (size_t offset = 0; offset < 64; ++offset) {
            std::memcpy(base + offset, data.data(), n);
            ASSERT_EQ(Sha1Of(base + offset, n), expected) << "length " << n << " offset " << offset;
        }
    }
}

// Pieces of random size, empty ones included, leave the same state as one piece and as
// single bytes.
TEST_P(Sha1AnyPath, SplitFeedingEqualsOnePieceAndSingleBytes) {
    std::mt19937 rng(20240612);
    for (size_t total : {size_t(1), size_t(55), size_t(64), size_t(65), size_t(1000), size_t(4133), size_t(70000)}) {
        const std::string data = PatternBytes(total, unsigned(total) + 1);
        Sha1Context bytewise;
        digest::Sha1Reset(bytewise);
        FeedBytewise(bytewise, Bytes(data), total);
        const std::string whole = Sha1Of(data);
        for (int round = 0; round < 20; ++round) {
            std::uniform_int_distribution<size_t> piece(0, round % 2 ? 200 : 70);
            Sha1Context ctx;
            digest::Sha1Reset(ctx);
            size_t pos = 0;
            while (pos < total) {
                const size_t n = std::min(piece(rng), total - pos);
                digest::Sha1Input(ctx, Bytes(data) + pos, n);
                pos += n;
            }
            SCOPED_TRACE("length " + std::to_string(total) + " round " + std::to_string(round));
            ExpectSameState(ctx, bytewise);
            ASSERT_EQ(Result(ctx), whole);
        }
    }
}

// The 64-bit bit length overflows: the byte that carries out of it is still stored, the rest
// is dropped, error state 1 is set, and every later result is refused. Bulk input must leave
// exactly the state of byte-at-a-time input.
TEST_P(Sha1AnyPath, LengthOverflowSetsStateOneLikeByteAtATime) {
    const struct {
        size_t before;        // bytes already in the block
        uint64_t length;      // bit length set before the input
        size_t fed;
        bool overflows;
        int indexAfter;
        uint64_t lengthAfter;
    } cases[] = {
        {0, ~uint64_t(0) - 15, 5, true, 2, 0},            // room for one byte, the second overflows
        {62, ~uint64_t(0) - 7, 10, true, 63, 0},          // the first byte overflows
        {62, ~uint64_t(0) - 15, 10, true, 0, 0},          // the overflowing byte completes a block
        {0, ~uint64_t(0) - 8 * 200 + 1, 300, true, 8, 0},  // whole blocks before the overflow
        {5, ~uint64_t(0) - 8 * 300 - 7, 300, false, 49, ~uint64_t(0) - 7},  // exactly fits
        {0, ~uint64_t(0), 1, true, 1, 7},                 // a length that is no multiple of 8 still carries
    };
    const std::string data = PatternBytes(400, 17);
    for (const auto& c : cases) {
        SCOPED_TRACE("before " + std::to_string(c.before) + " fed " + std::to_string(c.fed));
        Sha1Context bulk, bytewise;
        for (Sha1Context* ctx : {&bulk, &bytewise}) {
            digest::Sha1Reset(*ctx);
            digest::Sha1Input(*ctx, Bytes(data), c.before);
            ctx->lengthLow = uint32_t(c.length);
            ctx->lengthHigh = uint32_t(c.length >> 32);
        }
        digest::Sha1Input(bulk, Bytes(data) + c.before, c.fed);
        FeedBytewise(bytewise, Bytes(data) + c.before, c.fed);
        ExpectSameState(bulk, bytewise);
        EXPECT_EQ(bulk.corrupted, c.overflows ? digest::Sha1InputTooLong : digest::Sha1Ok);
        EXPECT_EQ(bulk.index, c.indexAfter);
        EXPECT_EQ(uint64_t(bulk.lengthHigh) << 32 | bulk.lengthLow, c.lengthAfter);

        if (c.overflows) {
            // Later input is ignored, and no result comes out.
            const Sha1Context after = bulk;
            digest::Sha1Input(bulk, Bytes(data), 100);
            ExpectSameState(bulk, after);
            uint8_t out[20];
            std::memset(out, 0xAA, sizeof out);
            EXPECT_FALSE(digest::Sha1Result(bulk, out));
            EXPECT_EQ(LowerHex(out, 20), std::string(40, 'a')) << "a refused result wrote to the output";
        } else {
            EXPECT_EQ(Result(bulk), Result(bytewise));
            EXPECT_NE(Result(bulk), "refused");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha1AnyPath, ::testing::ValuesIn(kSha1Paths), Sha1PathName);
INSTANTIATE_TEST_SUITE_P(Paths, Sha1FastPath, ::testing::ValuesIn(kSha1FastPaths), Sha1PathName);

TEST(Sha1State, InputAfterTheResultSetsStateThreeAndRefusesTheResult) {
    Sha1Context ctx;
    digest::Sha1Reset(ctx);
    digest::Sha1Input(ctx, Bytes(std::string("abc")), 3);
    EXPECT_EQ(Result(ctx), "a9993e364706816aba3e25717850c26c9cd0d89d");
    // Asking again gives the same digest; feeding nothing is no input.
    EXPECT_EQ(Result(ctx), "a9993e364706816aba3e25717850c26c9cd0d89d");
    digest::Sha1Input(ctx, Bytes(std::string("x")), 0);
    EXPECT_EQ(ctx.corrupted, digest::Sha1Ok);

    digest::Sha1Input(ctx, Bytes(std::string("x")), 1);
    EXPECT_EQ(ctx.corrupted, digest::Sha1StateError);
    uint8_t out[20];
    std::memset(out, 0x55, sizeof out);
    EXPECT_FALSE(digest::Sha1Result(ctx, out));
    EXPECT_EQ(LowerHex(out, 20), std::string(40, '5')) << "a refused result wrote to the output";

    // A reset clears the error state.
    digest::Sha1Reset(ctx);
    digest::Sha1Input(ctx, Bytes(std::string("abc")), 3);
    EXPECT_EQ(Result(ctx), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

// Past 2^32 bits (512 MiB) the bit length carries into its high half.
TEST(Sha1Length, CarriesIntoTheHighHalf) {
    if (!HavePython()) GTEST_SKIP() << "python3 with hashlib is not available";
    TempDir dir;
    const size_t chunks = 513;
    const std::string chunk = PatternBytes(1 << 20, 4);
    const std::string file = dir.write("chunk.bin", chunk);
    const std::string expected = RunCommand(
        "python3 -c \"import hashlib, sys\nc = open(sys.argv[1], 'rb').read()\nh = hashlib.sha1()\n"
        "for _ in range(" + std::to_string(chunks) + "): h.update(c)\nprint(h.hexdigest())\" " + file);
    ASSERT_EQ(expected.size(), 41u) << expected;

    Sha1Context ctx;
    digest::Sha1Reset(ctx);
    for (size_t i = 0; i < chunks; ++i) digest::Sha1Input(ctx, Bytes(chunk), chunk.size());
    EXPECT_EQ(ctx.lengthLow, 8u << 20);
    EXPECT_EQ(ctx.lengthHigh, 1u);
    EXPECT_EQ(Result(ctx) + "\n", expected);
}

// The file engine, read in many buffers, against sha1sum; sizes straddle the 64-byte block
// and the 1 KiB and 64 KiB read buffers.
TEST(Sha1Engine, MatchesSha1sumWhateverTheBufferSize) {
    if (RunCommand("command -v sha1sum").empty()) GTEST_SKIP() << "sha1sum is not available";
    TempDir dir;
    const Sha1Impl saved = digest::Sha1Selected();
    const size_t sizes[] = {1, 55, 56, 63, 64, 65, 1023, 1024, 1025, 65535, 65536, 65537, 3 * 65536 + 57, 200001};
    for (size_t size : sizes) {
        const std::string path = dir.write("f" + std::to_string(size), PatternBytes(size, unsigned(size) + 6));
        const std::string sum = RunCommand("sha1sum " + path).substr(0, 40);
        ASSERT_EQ(sum.size(), 40u);
        for (Sha1Impl impl : kSha1Paths) {
            if (!digest::Sha1Supported(impl)) continue;
            digest::Sha1Select(impl);
            for (uint16_t kb : {uint16_t(1), uint16_t(64)}) {
                TFileSHA1 engine;
                engine.SetBufferSize(kb);
                engine.SetFileName(path);
                EXPECT_EQ(engine.GetHashText(false), sum)
                    << "size " << size << ", " << kb << " KiB buffer, " << digest::Sha1ImplName(impl);
                EXPECT_FALSE(engine.Canceled());
            }
        }
    }
    digest::Sha1Select(saved);

    TFileSHA1 engine;
    engine.SetFileName(dir.file("f65537"));
    std::string upper = RunCommand("sha1sum " + dir.file("f65537")).substr(0, 40);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(engine.GetHashText(true), upper);
}

}  // namespace
