#include "engine/digest/Sha1.h"

#include <cstring>

#include "engine/digest/CpuFeatures.h"
#include "engine/digest/PathChoice.h"

namespace digest {

// Transform `blocks` consecutive 64-byte blocks; the SHA-extension one lives in Sha1Shani.cpp.
void Sha1BlocksReference(uint32_t hash[5], const uint8_t* data, size_t blocks);
#if defined(__x86_64__) || defined(__i386__)
void Sha1BlocksShani(uint32_t hash[5], const uint8_t* data, size_t blocks);
#endif

namespace {

inline uint32_t Rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline uint32_t LoadBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void StoreBe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void TransformReference(uint32_t hash[5], const uint8_t* block) {
    uint32_t w[80];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe32(block + 4 * t);

    uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3], e = hash[4];
    // The schedule word is formed in the round that uses it: filled in a separate loop, the
    // compiler vectorises it into overlapping stores that stall on store forwarding.
    auto round = [&](int t, uint32_t f, uint32_t k) {
        if (t >= 16) w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
        const uint32_t temp = Rotl(a, 5) + f + e + w[t] + k;
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = temp;
    };
    for (int t = 0; t < 20; ++t) round(t, (b & c) | (~b & d), 0x5A827999);
    for (int t = 20; t < 40; ++t) round(t, b ^ c ^ d, 0x6ED9EBA1);
    for (int t = 40; t < 60; ++t) round(t, (b & c) | (b & d) | (c & d), 0x8F1BBCDC);
    for (int t = 60; t < 80; ++t) round(t, b ^ c ^ d, 0xCA62C1D6);
    hash[0] += a;
    hash[1] += b;
    hash[2] += c;
    hash[3] += d;
    hash[4] += e;
}

}  // namespace

void Sha1BlocksReference(uint32_t hash[5], const uint8_t* data, size_t blocks) {
    for (; blocks; --blocks, data += 64) TransformReference(hash, data);
}

namespace {

bool Always(const CpuFeatures&) { return true; }

using BlocksFn = void (*)(uint32_t*, const uint8_t*, size_t);

#if defined(__x86_64__) || defined(__i386__)
bool HasShani(const CpuFeatures& cpu) { return cpu.sha && cpu.sse41 && cpu.ssse3; }

constinit PathChoice<Sha1Impl, BlocksFn, 2> g_paths{{{
    {Sha1Impl::Shani, "shani", HasShani, Sha1BlocksShani},
    {Sha1Impl::Reference, "reference", Always, Sha1BlocksReference},
}}};
#else
bool Never(const CpuFeatures&) { return false; }

// No SHA extensions here: the row names the path and is never chosen.
constinit PathChoice<Sha1Impl, BlocksFn, 2> g_paths{{{
    {Sha1Impl::Shani, "shani", Never, Sha1BlocksReference},
    {Sha1Impl::Reference, "reference", Always, Sha1BlocksReference},
}}};
#endif

}  // namespace

bool Sha1Supported(Sha1Impl impl, const CpuFeatures& cpu) { return g_paths.Supported(impl, cpu); }
Sha1Impl Sha1Best(const CpuFeatures& cpu) { return g_paths.Best(cpu); }
Sha1Impl Sha1Selected() { return g_paths.Selected(); }
void Sha1Select(Sha1Impl impl, const CpuFeatures& cpu) { g_paths.Select(impl, cpu); }
const char* Sha1ImplName(Sha1Impl impl) { return g_paths.Name(impl); }

void Sha1Reset(Sha1Context& ctx) {
    ctx.hash[0] = 0x67452301;
    ctx.hash[1] = 0xEFCDAB89;
    ctx.hash[2] = 0x98BADCFE;
    ctx.hash[3] = 0x10325476;
    ctx.hash[4] = 0xC3D2E1F0;
    ctx.lengthLow = ctx.lengthHigh = 0;
    std::memset(ctx.block, 0, sizeof ctx.block);
    ctx.index = 0;
    ctx.computed = false;
    ctx.corrupted = Sha1Ok;
}

// Gives exactly the state that storing the bytes one at a time would give, checking the
// finished flag, the error state and the length per byte, but moves whole blocks at once.
void Sha1Input(Sha1Context& ctx, const uint8_t* data, size_t len) {
    if (len == 0) return;
    if (ctx.computed) {
        ctx.corrupted = Sha1StateError;
        return;
    }
    if (ctx.corrupted) return;

    // Bytes that still fit under the 64-bit bit length; the byte that would carry out of it
    // is still stored (and a block it completes still transformed), and the rest is ignored.
    const uint64_t length = uint64_t(ctx.lengthHigh) << 32 | ctx.lengthLow;
    const uint64_t room = ~length / 8;
    size_t take = len;
    bool overflow = false;
    if (uint64_t(len) > room) {
        take = size_t(room) + 1;
        overflow = true;
    }
    const uint64_t newLength = length + uint64_t(take) * 8;   // wraps on overflow
    ctx.lengthLow = uint32_t(newLength);
    ctx.lengthHigh = uint32_t(newLength >> 32);
    if (overflow) ctx.corrupted = Sha1InputTooLong;

    const BlocksFn blocksFn = g_paths.SelectedFn();
    if (ctx.index) {
        const size_t part = 64 - size_t(ctx.index);
        if (take < part) {
            std::memcpy(ctx.block + ctx.index, data, take);
            ctx.index += int(take);
            return;
        }
        std::memcpy(ctx.block + ctx.index, data, part);
        blocksFn(ctx.hash, ctx.block, 1);
        ctx.index = 0;
        data += part;
        take -= part;
    }
    const size_t whole = take / 64;
    if (whole) {
        blocksFn(ctx.hash, data, whole);
        data += whole * 64;
        take -= whole * 64;
    }
    if (take) {
        std::memcpy(ctx.block, data, take);
        ctx.index = int(take);
    }
}

bool Sha1Result(Sha1Context& ctx, uint8_t out[20]) {
    if (ctx.corrupted) return false;
    if (!ctx.computed) {
        const BlocksFn blocksFn = g_paths.SelectedFn();
        int i = ctx.index;
        ctx.block[i++] = 0x80;
        if (i > 56) {
            // No room for the length after the 0x80 byte: pad out this block first.
            std::memset(ctx.block + i, 0, 64 - i);
            blocksFn(ctx.hash, ctx.block, 1);
            i = 0;
        }
        std::memset(ctx.block + i, 0, 56 - i);
        StoreBe32(ctx.block + 56, ctx.lengthHigh);
        StoreBe32(ctx.block + 60, ctx.lengthLow);
        blocksFn(ctx.hash, ctx.block, 1);

        // Leave nothing of the message behind; the hash stays for repeated calls.
        std::memset(ctx.block, 0, sizeof ctx.block);
        ctx.index = 0;
        ctx.lengthLow = ctx.lengthHigh = 0;
        ctx.computed = true;
    }
    for (int i = 0; i < 5; ++i) StoreBe32(out + 4 * i, ctx.hash[i]);
    return true;
}

}  // namespace digest
