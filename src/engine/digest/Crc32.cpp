// CRC-32: the portable paths (byte table, slicing-by-16) and the run-time choice of path.
#include "engine/digest/Crc32.h"

#include "engine/digest/CpuFeatures.h"

#include <array>
#include <cstring>

#include "engine/digest/PathChoice.h"

namespace digest {

// Carry-less multiply paths, in Crc32Clmul.cpp; only called when the CPU has them.
uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data, size_t len);
uint32_t Crc32Vpclmul(uint32_t reg, const uint8_t* data, size_t len);
uint32_t Crc32Slice16(uint32_t reg, const uint8_t* data, size_t len);

namespace {

constexpr uint32_t kPoly = 0xEDB88320u;   // reflected x^32 + x^26 + ... + 1

constexpr void FillTable(uint32_t* table) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ kPoly : c >> 1;
        table[i] = c;
    }
}

// Slice k maps a byte to its contribution k bytes further on: slice[k][b] is the register
// after feeding b followed by k zero bytes, starting from zero.
using SliceTables = std::array<std::array<uint32_t, 256>, 16>;

constexpr SliceTables MakeSlices() {
    SliceTables t{};
    FillTable(t[0].data());
    for (int k = 1; k < 16; ++k)
        for (int i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr SliceTables kSlices = MakeSlices();

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

const uint32_t* ByteTable() {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        Crc32BuildTable(t.data());
        return t;
    }();
    return table.data();
}

uint32_t FeedTable(uint32_t reg, const uint8_t* data, size_t len) {
    const uint32_t* table = ByteTable();
    for (size_t i = 0; i < len; ++i) reg = (reg >> 8) ^ table[(reg ^ data[i]) & 0xFF];
    return reg;
}

}  // namespace

uint32_t Crc32Slice16(uint32_t reg, const uint8_t* p, size_t len) {
    const auto& t = kSlices;
    while (len >= 16) {
        const uint32_t a = Load32(p) ^ reg;
        const uint32_t b = Load32(p + 4);
        const uint32_t c = Load32(p + 8);
        const uint32_t d = Load32(p + 12);
        reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        len -= 16;
    }
    while (len--) reg = (reg >> 8) ^ t[0][(reg ^ *p++) & 0xFF];
    return reg;
}

namespace {

bool Always(const CpuFeatures&) { return true; }

bool HasPclmul([[maybe_unused]] const CpuFeatures& cpu) {
#if defined(__x86_64__)
    return cpu.sse41 && cpu.ssse3 && cpu.pclmul;
#else
    return false;
#endif
}

bool HasVpclmul([[maybe_unused]] const CpuFeatures& cpu) {
#if defined(__x86_64__)
    return HasPclmul(cpu) && cpu.avx512f && cpu.avx512vl && cpu.avx512bw && cpu.vpclmulqdq;
#else
    return false;
#endif
}

using FeedFn = uint32_t (*)(uint32_t, const uint8_t*, size_t);

constinit PathChoice<Crc32Impl, FeedFn, 4> g_paths{{{
    {Crc32Impl::Vpclmul, "vpclmulqdq-avx512", HasVpclmul, Crc32Vpclmul},
    {Crc32Impl::Pclmul, "pclmulqdq", HasPclmul, Crc32Pclmul},
    {Crc32Impl::Slice16, "slice-by-16", Always, Crc32Slice16},
    {Crc32Impl::Table, "table", Always, FeedTable},
}}};

}  // namespace

void Crc32BuildTable(uint32_t table[256]) { FillTable(table); }

bool Crc32Supported(Crc32Impl impl, const CpuFeatures& cpu) { return g_paths.Supported(impl, cpu); }
Crc32Impl Crc32Best(const CpuFeatures& cpu) { return g_paths.Best(cpu); }
Crc32Impl Crc32Selected() { return g_paths.Selected(); }
void Crc32Select(Crc32Impl impl, const CpuFeatures& cpu) { g_paths.Select(impl, cpu); }
const char* Crc32ImplName(Crc32Impl impl) { return g_paths.Name(impl); }

uint32_t Crc32FeedWith(Crc32Impl impl, uint32_t reg, const uint8_t* data, size_t len) {
    return g_paths.FnOf(impl)(reg, data, len);
}

uint32_t Crc32Feed(uint32_t reg, const uint8_t* data, size_t len) {
    return g_paths.SelectedFn()(reg, data, len);
}

}  // namespace digest
