#include "engine/digest/Crc32.h"

#include "support/Reference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using digest::Crc32Impl;

namespace digest {
void PrintTo(Crc32Impl impl, std::ostream* os) { *os << Crc32ImplName(impl); }
}  // namespace digest

namespace {

const Crc32Impl kCrc32Paths[] = {Crc32Impl::Table, Crc32Impl::Slice16, Crc32Impl::Pclmul,
                               Crc32Impl::Vpclmul};
const Crc32Impl kCrc32FastPaths[] = {Crc32Impl::Slice16, Crc32Impl::Pclmul, Crc32Impl::Vpclmul};

uint32_t Standard(Crc32Impl impl, const uint8_t* p, size_t n) {
    return ~digest::Crc32FeedWith(impl, 0xFFFFFFFFu, p, n);
}

// A pattern buffer whose first byte sits on a 64-byte boundary, so offsets 0..63 cover
// every alignment of the start.
class AlignedPattern {
public:
    AlignedPattern(size_t n, unsigned seed) : raw_(PatternBytes(n + 64, seed)) {
        const auto addr = reinterpret_cast<uintptr_t>(raw_.data());
        data_ = Bytes(raw_) + ((64 - addr % 64) % 64);
    }
    const uint8_t* data() const { return data_; }

private:
    std::string raw_;
    const uint8_t* data_;
};

class Crc32Path : public ::testing::TestWithParam<Crc32Impl> {
protected:
    void SetUp() override {
        saved_ = digest::Crc32Selected();
        if (!digest::Crc32Supported(GetParam()))
            GTEST_SKIP() << "this CPU cannot run " << digest::Crc32ImplName(GetParam());
    }
    void TearDown() override { digest::Crc32Select(saved_); }

    Crc32Impl saved_ = Crc32Impl::Table;
};

std::string Crc32PathName(const ::testing::TestParamInfo<Crc32Impl>& info) {
    switch (info.param) {
    case Crc32Impl::Table: return "Table";
    case Crc32Impl::Slice16: return "Slice16";
    case Crc32Impl::Pclmul: return "Pclmul";
    case Crc32Impl::Vpclmul: return "Vpclmul";
    }
    return "Unknown";
}

using Crc32AnyPath = Crc32Path;
using Crc32FastPath = Crc32Path;

TEST(Crc32Table, HoldsTheReflectedPolynomialTable) {
    uint32_t table[256];
    digest::Crc32BuildTable(table);
    EXPECT_EQ(table[0], 0x00000000u);
    EXPECT_EQ(table[1], 0x77073096u);
    EXPECT_EQ(table[128], 0xEDB88320u);
    EXPECT_EQ(table[255], 0x2D02EF8Du);
}

TEST_P(Crc32AnyPath, GivesTheCheckValueThroughFeedAndFeedWith) {
    const std::string check = "123456789";
    EXPECT_EQ(Standard(GetParam(), Bytes(check), check.size()), 0xCBF43926u);

    digest::Crc32Select(GetParam());
    ASSERT_EQ(digest::Crc32Selected(), GetParam());
    EXPECT_EQ(~digest::Crc32Feed(0xFFFFFFFFu, Bytes(check), check.size()), 0xCBF43926u);
    // Nothing fed leaves the register as it was.
    EXPECT_EQ(digest::Crc32Feed(0x12345678u, nullptr, 0), 0x12345678u);
}

// zlib through Python, as an implementation independent of ours. zlib's crc32(c, p, n)
// equals ~Crc32Feed(~c, p, n), which also checks a start value other than all ones.
TEST_P(Crc32AnyPath, MatchesZlib) {
    if (RunCommand("python3 -c 'import zlib; print(1)' 2>/dev/null") != "1\n")
        GTEST_SKIP() << "python3 with zlib is not available";
    TempDir dir;
    const size_t sizes[] = {0, 1, 3, 15, 16, 17, 63, 64, 65, 255, 256, 511, 512, 1000, 4096 + 7,
                            65536, 65536 + 13, 3 * 1024 * 1024 + 5};
    std::string script = "import zlib\n";
    std::vector<std::string> contents;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        contents.push_back(PatternBytes(sizes[i], unsigned(i + 7)));
        const std::string file = dir.write("f" + std::to_string(i), contents.back());
        script += "d = open('" + file + "', 'rb').read()\n"
                  "print('%08x %08x' % (zlib.crc32(d), zlib.crc32(d, 0x5a5a1234)))\n";
    }
    const std::string scriptFile = dir.write("crc.py", script);
    std::istringstream out(RunCommand("python3 " + scriptFile));
    for (size_t i = 0; i < contents.size(); ++i) {
        uint32_t plain = 0, seeded = 0;
        ASSERT_TRUE(out >> std::hex >> plain >> seeded) << "python printed too little";
        const uint8_t* p = Bytes(contents[i]);
        EXPECT_EQ(Standard(GetParam(), p, sizes[i]), plain) << "size " << sizes[i];
        EXPECT_EQ(~digest::Crc32FeedWith(GetParam(), ~0x5a5a1234u, p, sizes[i]), seeded)
            << "size " << sizes[i];
    }
}

// Feeding in pieces of any size gives the register of one feed, also when the pieces go
// through different paths (the engine may switch paths between two files, never inside one,
// but the register format is the contract between them).
TEST_P(Crc32AnyPath, PiecesGiveTheSameRegisterAsOneFeed) {
    const std::string data = PatternBytes(300000, 3);
    const uint32_t whole = digest::Crc32FeedWith(Crc32Impl::Table, 0xFFFFFFFFu, Bytes(data), data.size());
    std::mt19937 rng(42);
    for (int round = 0; round < 20; ++round) {
        std::uniform_int_distribution<size_t> piece(0, round < 10 ? 40 : 20000);
        uint32_t reg = 0xFFFFFFFFu;
        size_t at = 0;
        while (at < data.size()) {
            const size_t n = std::min(piece(rng), data.size() - at);
            const bool other = round % 2 && (at & 1);
            reg = digest::Crc32FeedWith(other ? Crc32Impl::Slice16 : GetParam(), reg, Bytes(data) + at, n);
            at += n;
        }
        EXPECT_EQ(reg, whole) << "round " << round;
    }
}

// Every length up to 1100 from every start alignment, against the byte table. The lengths
// cross each path's thresholds (16-byte lanes, the 128-byte and 256-byte loops) and every
// tail size; the non-trivial start register catches a misplaced initial xor.
TEST_P(Crc32FastPath, AgreesWithTheByteTableAtEveryLengthAndStart) {
    constexpr size_t kMaxLen = 1100;
    const AlignedPattern buf(kMaxLen + 64, 11);
    const uint32_t starts[] = {0xFFFFFFFFu, 0x00000000u, 0x89ABCDEFu};
    for (size_t offset = 0; offset < 64; ++offset) {
        const uint8_t* p = buf.data() + offset;
        for (uint32_t start : starts) {
            uint32_t expected = start;   // the table register grows one byte at a time
            for (size_t len = 0; len <= kMaxLen; ++len) {
                const uint32_t got = digest::Crc32FeedWith(GetParam(), start, p, len);
                if (got != expected) {
                    ADD_FAILURE() << "offset " << offset << " length " << len << " start " << std::hex
                                  << start << ": " << got << " != " << expected;
                    return;
                }
                expected = digest::Crc32FeedWith(Crc32Impl::Table, expected, p + len, 1);
            }
        }
    }
}

TEST_P(Crc32FastPath, AgreesWithTheByteTableOnLargeBuffers) {
    std::mt19937 rng(7);
    const AlignedPattern buf(8 * 1024 * 1024 + 64, 5);
    for (int round = 0; round < 6; ++round) {
        const size_t offset = rng() % 64;
        const size_t len = round == 0 ? 8 * 1024 * 1024 : rng() % (8 * 1024 * 1024);
        const uint32_t start = rng();
        EXPECT_EQ(digest::Crc32FeedWith(GetParam(), start, buf.data() + offset, len),
                  digest::Crc32FeedWith(Crc32Impl::Table, start, buf.data() + offset, len))
            << "offset " << offset << " length " << len;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Crc32AnyPath, ::testing::ValuesIn(kCrc32Paths), Crc32PathName);
INSTANTIATE_TEST_SUITE_P(Paths, Crc32FastPath, ::testing::ValuesIn(kCrc32FastPaths), Crc32PathName);

}  // namespace
