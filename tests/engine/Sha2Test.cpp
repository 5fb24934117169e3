// SHA-256 and SHA-512 on every code path: NIST's SHAVS vectors (short, long and Monte Carlo
// messages, as Debian's python3-cryptography-vectors ships them), sha256sum and sha512sum on
// every length 0 to 300 at every alignment, split input, and the file engines against the tools.
#include "engine/digest/Sha256.h"
#include "engine/digest/Sha512.h"

#include "engine/FileSHA256Info.h"
#include "engine/FileSHA512Info.h"
#include "support/Reference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Where python3-cryptography-vectors installs NIST's SHAVS response files.
const char* const kShavsFolder = "/usr/lib/python3/dist-packages/cryptography_vectors/hashes/SHA2";

// Digest of `n` bytes on the selected path, fed in pieces of `piece` bytes (all at once for 0).
template <class Ctx, void (*Init)(Ctx&), void (*Update)(Ctx&, const uint8_t*, size_t),
          void (*Final)(Ctx&, uint8_t*), size_t N>
std::string Sha2Hex(const uint8_t* p, size_t n, const std::vector<size_t>& pieces) {
    Ctx ctx;
    Init(ctx);
    size_t pos = 0;
    for (size_t piece : pieces) {
        const size_t take = std::min(piece, n - pos);
        Update(ctx, p + pos, take);
        pos += take;
    }
    Update(ctx, p + pos, n - pos);
    uint8_t out[N];
    Final(ctx, out);
    return LowerHex(out, N);
}

// One of the two digests, with its paths, its tool and its file engine.
struct TSha2Algo {
    const char* name;   // "SHA256": the response files' prefix
    const char* tool;
    size_t hexLength;
    std::vector<int> paths;   // the enum's values, reference first
    std::string (*hash)(const uint8_t*, size_t, const std::vector<size_t>& pieces);
    bool (*supported)(int);
    void (*select)(int);
    int (*selected)();
    const char* (*pathName)(int);
    std::unique_ptr<TNormalFileInfo> (*engine)();
};

const TSha2Algo kSha256Algo = {
    "SHA256",
    "sha256sum",
    64,
    {int(digest::Sha256Impl::Reference), int(digest::Sha256Impl::Shani)},
    &Sha2Hex<digest::Sha256Context, digest::Sha256Init, digest::Sha256Update, digest::Sha256Final, 32>,
    [](int i) { return digest::Sha256Supported(digest::Sha256Impl(i)); },
    [](int i) { digest::Sha256Select(digest::Sha256Impl(i)); },
    [] { return int(digest::Sha256Selected()); },
    [](int i) { return digest::Sha256ImplName(digest::Sha256Impl(i)); },
    []() -> std::unique_ptr<TNormalFileInfo> { return std::make_unique<TFileSHA256Info>(); },
};

const TSha2Algo kSha512Algo = {
    "SHA512",
    "sha512sum",
    128,
    {int(digest::Sha512Impl::Reference), int(digest::Sha512Impl::Avx512)},
    &Sha2Hex<digest::Sha512Context, digest::Sha512Init, digest::Sha512Update, digest::Sha512Final, 64>,
    [](int i) { return digest::Sha512Supported(digest::Sha512Impl(i)); },
    [](int i) { digest::Sha512Select(digest::Sha512Impl(i)); },
    [] { return int(digest::Sha512Selected()); },
    [](int i) { return digest::Sha512ImplName(digest::Sha512Impl(i)); },
    []() -> std::unique_ptr<TNormalFileInfo> { return std::make_unique<TFileSHA512Info>(); },
};

std::string Sha2Of(const TSha2Algo& algo, const uint8_t* p, size_t n) { return algo.hash(p, n, {}); }
std::string Sha2Of(const TSha2Algo& algo, const std::string& s) { return Sha2Of(algo, Bytes(s), s.size()); }

std::string BytesFromHex(const std::string& hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

// "Name = value" lines of a response file, in order; comments and section headers left out.
std::vector<std::pair<std::string, std::string>> RspLines(const std::string& file) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::ifstream in(std::string(kShavsFolder) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t eq = line.find(" = ");
        if (line.empty() || line[0] == '#' || line[0] == '[' || eq == std::string::npos) continue;
        lines.emplace_back(line.substr(0, eq), line.substr(eq + 3));
    }
    return lines;
}

// The tool's digest of every prefix 0..data.size() of `data`, from one run over as many files.
std::vector<std::string> ToolPrefixSums(const std::string& tool, const std::string& data) {
    TempDir dir;
    std::string command = tool;
    for (size_t n = 0; n <= data.size(); ++n) command += " " + dir.write("p" + std::to_string(n), data.substr(0, n));
    std::istringstream out(RunCommand(command));
    std::vector<std::string> sums;
    std::string sum, name;
    while (out >> sum >> name) sums.push_back(sum);
    return sums;
}

struct TSha2PathParam {
    const TSha2Algo* algo;
    int impl;
};

void PrintTo(const TSha2PathParam& p, std::ostream* os) { *os << p.algo->name << " " << p.algo->pathName(p.impl); }

std::vector<TSha2PathParam> Sha2Paths() {
    std::vector<TSha2PathParam> params;
    for (const TSha2Algo* algo : {&kSha256Algo, &kSha512Algo})
        for (int impl : algo->paths) params.push_back({algo, impl});
    return params;
}

class Sha2Path : public ::testing::TestWithParam<TSha2PathParam> {
protected:
    void SetUp() override {
        saved_ = Algo().selected();
        if (!Algo().supported(GetParam().impl))
            GTEST_SKIP() << "this CPU cannot run the " << Algo().pathName(GetParam().impl) << " path";
        Algo().select(GetParam().impl);
    }
    void TearDown() override { Algo().select(saved_); }
    const TSha2Algo& Algo() const { return *GetParam().algo; }

    int saved_ = 0;
};

TEST_P(Sha2Path, GivesNistShortAndLongMessageDigests) {
    if (!std::filesystem::is_directory(kShavsFolder)) GTEST_SKIP() << "python3-cryptography-vectors is not installed";
    for (const char* kind : {"ShortMsg", "LongMsg"}) {
        const std::string file = std::string(Algo().name) + kind + ".rsp";
        size_t bits = 0, checked = 0;
        std::string message;
        for (const auto& [name, value] : RspLines(file)) {
            if (name == "Len") bits = std::stoul(value);
            if (name == "Msg") message = BytesFromHex(value).substr(0, bits / 8);   // "Len = 0" has "Msg = 00"
            if (name != "MD") continue;
            ASSERT_EQ(bits % 8, 0u) << file << ": a message that is no whole number of bytes";
            ASSERT_EQ(message.size(), bits / 8) << file;
            EXPECT_EQ(Sha2Of(Algo(), message), value) << file << ", " << bits << " bits";
            ++checked;
        }
        EXPECT_GT(checked, 60u) << file << " was not read";
    }
}

// Each of the 100 checkpoints hashes the last three digests 1000 times over.
TEST_P(Sha2Path, GivesNistMonteCarloDigests) {
    if (!std::filesystem::is_directory(kShavsFolder)) GTEST_SKIP() << "python3-cryptography-vectors is not installed";
    const std::string file = std::string(Algo().name) + "Monte.rsp";
    std::string seed;
    size_t checked = 0;
    for (const auto& [name, value] : RspLines(file)) {
        if (name == "Seed") seed = BytesFromHex(value);
        if (name != "MD") continue;
        ASSERT_FALSE(seed.empty()) << file;
        std::string md[3] = {seed, seed, seed};
        for (int i = 3; i < 1003; ++i) {
            const std::string m = md[0] + md[1] + md[2];
            md[0] = md[1];
            md[1] = md[2];
            md[2] = BytesFromHex(Sha2Of(Algo(), m));
        }
        seed = md[2];
        ASSERT_EQ(LowerHex(Bytes(seed), seed.size()), value) << file << ", checkpoint " << checked;
        ++checked;
    }
    EXPECT_EQ(checked, 100u) << file;
}

// Lengths 0..300 cover the last block's 0x80 byte and length landing in the same block, on
// its boundary and in a block of their own; offsets 0..63 from a 64-byte boundary put the
// whole blocks the transform reads straight from the input at every alignment.
TEST_P(Sha2Path, MatchesTheToolOnEveryLengthUpTo300AtEveryAlignment) {
    if (RunCommand(std::string("command -v ") + Algo().tool).empty()) GTEST_SKIP() << Algo().tool << " is not available";
    const std::string data = PatternBytes(300, 23);
    const std::vector<std::string> sums = ToolPrefixSums(Algo().tool, data);
    ASSERT_EQ(sums.size(), data.size() + 1) << Algo().tool << " printed too little";
    std::vector<uint8_t> space(300 + 128);
    uint8_t* base = space.data() + (64 - reinterpret_cast<uintptr_t>(space.data()) % 64) % 64;
    for (size_t n = 0; n <= data.size(); ++n) {
        ASSERT_EQ(sums[n].size(), Algo().hexLength);
        for (size_t offset = 0; offset < 64; ++offset) {
            std::memcpy(base + offset, data.data(), n);
            ASSERT_EQ(Sha2Of(Algo(), base + offset, n), sums[n]) << "length " << n << " offset " << offset;
        }
    }
}

// Pieces of random size, empty ones included, give the digest of one piece.
TEST_P(Sha2Path, SplitInputEqualsOnePiece) {
    std::mt19937 rng(20250117);
    for (size_t total : {size_t(1), size_t(111), size_t(112), size_t(127), size_t(128), size_t(129), size_t(1000),
                         size_t(4133), size_t(70000)}) {
        const std::string data = PatternBytes(total, unsigned(total) + 2);
        const std::string whole = Sha2Of(Algo(), data);
        for (int round = 0; round < 20; ++round) {
            std::uniform_int_distribution<size_t> piece(0, round % 2 ? 300 : 70);
            std::vector<size_t> pieces;
            for (size_t pos = 0; pos < total;) {
                pieces.push_back(piece(rng));
                pos += pieces.back();
            }
            ASSERT_EQ(Algo().hash(Bytes(data), total, pieces), whole) << "length " << total << " round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha2Path, ::testing::ValuesIn(Sha2Paths()), [](const auto& info) {
    return std::string(info.param.algo->name) + "_" + info.param.algo->pathName(info.param.impl);
});

// The file engines, read in many buffers, against the tools; sizes straddle both block sizes
// and the 1 KiB and 64 KiB read buffers.
TEST(Sha2Engines, MatchTheToolsWhateverTheBufferSizeAndPath) {
    TempDir dir;
    const size_t sizes[] = {1, 111, 112, 127, 128, 129, 1023, 1024, 1025, 65535, 65536, 65537, 3 * 65536 + 57, 200001};
    for (const TSha2Algo* algo : {&kSha256Algo, &kSha512Algo}) {
        SCOPED_TRACE(algo->name);
        if (RunCommand(std::string("command -v ") + algo->tool).empty()) GTEST_SKIP() << algo->tool << " is not available";
        const int saved = algo->selected();
        for (size_t size : sizes) {
            const std::string path = dir.write("f" + std::to_string(size), PatternBytes(size, unsigned(size) + 8));
            const std::string sum = RunCommand(std::string(algo->tool) + " " + path).substr(0, algo->hexLength);
            ASSERT_EQ(sum.size(), algo->hexLength);
            std::string upper = sum;
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            for (int impl : algo->paths) {
                if (!algo->supported(impl)) continue;
                algo->select(impl);
                for (uint16_t kb : {uint16_t(1), uint16_t(64)}) {
                    auto engine = algo->engine();
                    engine->SetBufferSize(kb);
                    engine->SetFileName(path);
                    const std::string where = "size " + std::to_string(size) + ", " + std::to_string(kb) +
                                              " KiB buffer, " + algo->pathName(impl);
                    EXPECT_EQ(engine->GetHashText(false), sum) << where;
                    EXPECT_EQ(engine->GetHashText(true), upper) << where;
                    EXPECT_FALSE(engine->Canceled());
                }
            }
        }
        algo->select(saved);
    }
}

}  // namespace
