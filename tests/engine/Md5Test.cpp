#include "engine/digest/Md5.h"

#include "engine/FileMD5Info.h"
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

using digest::Md5Impl;

namespace digest {
void PrintTo(Md5Impl impl, std::ostream* os) { *os << Md5ImplName(impl); }
}  // namespace digest

namespace {

const Md5Impl kMd5Paths[] = {Md5Impl::Reference, Md5Impl::Fast};
// Every path that is not the reference, each checked against it.
const Md5Impl kMd5FastPaths[] = {Md5Impl::Fast};

// Digest of `n` bytes fed in one update, on whatever path is selected.
std::string Md5Of(const uint8_t* p, size_t n) {
    digest::Md5Context ctx;
    digest::Md5Init(ctx);
    digest::Md5Update(ctx, p, n);
    uint8_t out[16];
    digest::Md5Final(ctx, out);
    return LowerHex(out, 16);
}

std::string Md5Of(const std::string& s) { return Md5Of(Bytes(s), s.size()); }

class Md5Path : public ::testing::TestWithParam<Md5Impl> {
protected:
    void SetUp() override {
        saved_ = digest::Md5Selected();
        if (!digest::Md5Supported(GetParam()))
            GTEST_SKIP() << "this CPU cannot run the " << digest::Md5ImplName(GetParam()) << " path";
        digest::Md5Select(GetParam());
    }
    void TearDown() override { digest::Md5Select(saved_); }

    Md5Impl saved_ = Md5Impl::Reference;
};

std::string Md5PathName(const ::testing::TestParamInfo<Md5Impl>& info) {
    return info.param == Md5Impl::Reference ? "Reference" : "Fast";
}

using Md5AnyPath = Md5Path;
using Md5FastPath = Md5Path;

TEST_P(Md5AnyPath, GivesTheRfc1321TestSuite) {
    const struct {
        std::string text;
        const char* md5;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        // 62 bytes: the 0x80 byte and the bit count need a block of their own.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) EXPECT_EQ(Md5Of(c.text), c.md5) << '"' << c.text << '"';
}

// Every prefix length 0..300 (so 55, 56, 63, 64 and their next-block twins in the last block)
// against Python's hashlib.
TEST_P(Md5AnyPath, MatchesHashlibOnEveryLengthUpTo300) {
    if (!HavePython()) GTEST_SKIP() << "python3 with hashlib is not available";
    TempDir dir;
    const std::string data = PatternBytes(300, 7);
    const std::string file = dir.write("data.bin", data);
    const std::string script = dir.write(
        "md5.py", "import hashlib, sys\n"
                  "d = open(sys.argv[1], 'rb').read()\n"
                  "for n in range(len(d) + 1): print(hashlib.md5(d[:n]).hexdigest())\n");
    std::istringstream out(RunCommand("python3 " + script + " " + file));
    for (size_t n = 0; n <= data.size(); ++n) {
        std::string expected;
        ASSERT_TRUE(out >> expected) << "python printed too little";
        EXPECT_EQ(Md5Of(Bytes(data), n), expected) << "length " << n;
    }
}

TEST_P(Md5FastPath, MatchesReferenceOnAllLengthsAndAlignments) {
    const std::string data = PatternBytes(300, 11);
    // Room to put the bytes at every offset from a 64-byte boundary.
    std::vector<uint8_t> space(300 + 128);
    uint8_t* base = space.data() + (64 - reinterpret_cast<uintptr_t>(space.data()) % 64) % 64;
    for (size_t n = 0; n <= data.size(); ++n) {
        digest::Md5Select(Md5Impl::Reference);
        const std::string expected = Md5Of(Bytes(data), n);
        digest::Md5Select(GetParam());
        for (size_t offset = 0; offset < 64; ++offset) {
            std::memcpy(base + offset, data.data(), n);
            ASSERT_EQ(Md5Of(base + offset, n), expected) << "length " << n << " offset " << offset;
        }
    }
}

// Pieces of random size, empty ones included, give the digest of the whole.
TEST_P(Md5AnyPath, SplitFeedingEqualsOnePiece) {
    std::mt19937 rng(20240611);
    for (size_t total : {size_t(1), size_t(63), size_t(64), size_t(65), size_t(1000), size_t(4133), size_t(70000)}) {
        const std::string data = PatternBytes(total, unsigned(total));
        const std::string whole = Md5Of(data);
        for (int round = 0; round < 20; ++round) {
            std::uniform_int_distribution<size_t> piece(0, round % 2 ? 200 : 70);
            digest::Md5Context ctx;
            digest::Md5Init(ctx);
            size_t pos = 0;
            while (pos < total) {
                const size_t n = std::min(piece(rng), total - pos);
                digest::Md5Update(ctx, Bytes(data) + pos, n);
                pos += n;
            }
            uint8_t out[16];
            digest::Md5Final(ctx, out);
            ASSERT_EQ(LowerHex(out, 16), whole) << "length " << total << " round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Md5AnyPath, ::testing::ValuesIn(kMd5Paths), Md5PathName);
INSTANTIATE_TEST_SUITE_P(Paths, Md5FastPath, ::testing::ValuesIn(kMd5FastPaths), Md5PathName);

// Past 2^32 bits (512 MiB) the bit count carries into its high half.
TEST(Md5Length, CarriesIntoTheHighHalfOfTheBitCount) {
    if (!HavePython()) GTEST_SKIP() << "python3 with hashlib is not available";
    TempDir dir;
    const size_t chunks = 513;
    const std::string chunk = PatternBytes(1 << 20, 3);
    const std::string file = dir.write("chunk.bin", chunk);
    const std::string expected = RunCommand(
        "python3 -c \"import hashlib, sys\nc = open(sys.argv[1], 'rb').read()\nh = hashlib.md5()\n"
        "for _ in range(" + std::to_string(chunks) + "): h.update(c)\nprint(h.hexdigest())\" " + file);
    ASSERT_EQ(expected.size(), 33u) << expected;

    digest::Md5Context ctx;
    digest::Md5Init(ctx);
    for (size_t i = 0; i < chunks; ++i) digest::Md5Update(ctx, Bytes(chunk), chunk.size());
    EXPECT_EQ(ctx.count[0], 8u << 20);
    EXPECT_EQ(ctx.count[1], 1u);
    uint8_t out[16];
    digest::Md5Final(ctx, out);
    EXPECT_EQ(LowerHex(out, 16) + "\n", expected);
}

// The file engine, read in many buffers, against md5sum; sizes straddle the 64-byte block and
// the 1 KiB and 64 KiB read buffers.
TEST(Md5Engine, MatchesMd5sumWhateverTheBufferSize) {
    if (RunCommand("command -v md5sum").empty()) GTEST_SKIP() << "md5sum is not available";
    TempDir dir;
    const Md5Impl saved = digest::Md5Selected();
    const size_t sizes[] = {1, 55, 56, 63, 64, 65, 1023, 1024, 1025, 65535, 65536, 65537, 3 * 65536 + 57, 200001};
    for (size_t size : sizes) {
        const std::string path = dir.write("f" + std::to_string(size), PatternBytes(size, unsigned(size) + 5));
        const std::string sum = RunCommand("md5sum " + path).substr(0, 32);
        ASSERT_EQ(sum.size(), 32u);
        for (Md5Impl impl : kMd5Paths) {
            if (!digest::Md5Supported(impl)) continue;
            digest::Md5Select(impl);
            for (uint16_t kb : {uint16_t(1), uint16_t(64)}) {
                TFileMD5Info engine;
                engine.SetBufferSize(kb);
                engine.SetFileName(path);
                EXPECT_EQ(engine.GetHashText(false), sum)
                    << "size " << size << ", " << kb << " KiB buffer, " << digest::Md5ImplName(impl);
                EXPECT_FALSE(engine.Canceled());
            }
        }
    }
    digest::Md5Select(saved);

    TFileMD5Info engine;
    engine.SetFileName(dir.file("f65537"));
    std::string upper = RunCommand("md5sum " + dir.file("f65537")).substr(0, 32);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(engine.GetHashText(true), upper);
}

}  // namespace
