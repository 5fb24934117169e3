#include "engine/digest/Sha256.h"

#include <cstring>

#include "engine/digest/PathChoice.h"

namespace digest {

// Transform `blocks` consecutive 64-byte blocks; the SHA-extension one lives in Sha256Shani.cpp.
void Sha256BlocksReference(uint32_t state[8], const uint8_t* data, size_t blocks);
#if defined(__x86_64__) || defined(__i386__)
void Sha256BlocksShani(uint32_t state[8], const uint8_t* data, size_t blocks);
#endif

// Shared with Sha256Shani.cpp.
alignas(64) extern const uint32_t kSha256K[64];
alignas(64) const uint32_t kSha256K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

namespace {

inline uint32_t Rotr(uint32_t x, int s) { return (x >> s) | (x << (32 - s)); }

inline uint32_t LoadBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void StoreBe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// One round with the eight working variables renamed instead of moved; (x & y) ^ (~x & z)
// and the majority are written in their three-operation forms.
#define SHA256_ROUND(a, b, c, d, e, f, g, h, wk)                                          \
    do {                                                                                  \
        h += (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + (((f ^ g) & e) ^ g) + (wk);         \
        d += h;                                                                           \
        h += (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + (((a | b) & c) | (a & b));          \
    } while (0)

void TransformReference(uint32_t state[8], const uint8_t* block) {
    uint32_t w[64];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe32(block + 4 * t);
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = Rotr(w[t - 15], 7) ^ Rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = Rotr(w[t - 2], 17) ^ Rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int t = 0; t < 64; t += 8) {
        SHA256_ROUND(a, b, c, d, e, f, g, h, w[t] + kSha256K[t]);
        SHA256_ROUND(h, a, b, c, d, e, f, g, w[t + 1] + kSha256K[t + 1]);
        SHA256_ROUND(g, h, a, b, c, d, e, f, w[t + 2] + kSha256K[t + 2]);
        SHA256_ROUND(f, g, h, a, b, c, d, e, w[t + 3] + kSha256K[t + 3]);
        SHA256_ROUND(e, f, g, h, a, b, c, d, w[t + 4] + kSha256K[t + 4]);
        SHA256_ROUND(d, e, f, g, h, a, b, c, w[t + 5] + kSha256K[t + 5]);
        SHA256_ROUND(c, d, e, f, g, h, a, b, w[t + 6] + kSha256K[t + 6]);
        SHA256_ROUND(b, c, d, e, f, g, h, a, w[t + 7] + kSha256K[t + 7]);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#undef SHA256_ROUND

}  // namespace

void Sha256BlocksReference(uint32_t state[8], const uint8_t* data, size_t blocks) {
    for (; blocks; --blocks, data += 64) TransformReference(state, data);
}

namespace {

bool Always(const CpuFeatures&) { return true; }

using BlocksFn = void (*)(uint32_t*, const uint8_t*, size_t);

#if defined(__x86_64__) || defined(__i386__)
bool HasShani(const CpuFeatures& cpu) { return cpu.sha && cpu.sse41 && cpu.ssse3; }

constinit PathChoice<Sha256Impl, BlocksFn, 2> g_paths{{{
    {Sha256Impl::Shani, "shani", HasShani, Sha256BlocksShani},
    {Sha256Impl::Reference, "reference", Always, Sha256BlocksReference},
}}};
#else
bool Never(const CpuFeatures&) { return false; }

// No SHA extensions here: the row names the path and is never chosen.
constinit PathChoice<Sha256Impl, BlocksFn, 2> g_paths{{{
    {Sha256Impl::Shani, "shani", Never, Sha256BlocksReference},
    {Sha256Impl::Reference, "reference", Always, Sha256BlocksReference},
}}};
#endif

}  // namespace

bool Sha256Supported(Sha256Impl impl, const CpuFeatures& cpu) { return g_paths.Supported(impl, cpu); }
Sha256Impl Sha256Best(const CpuFeatures& cpu) { return g_paths.Best(cpu); }
Sha256Impl Sha256Selected() { return g_paths.Selected(); }
void Sha256Select(Sha256Impl impl, const CpuFeatures& cpu) { g_paths.Select(impl, cpu); }
const char* Sha256ImplName(Sha256Impl impl) { return g_paths.Name(impl); }

void Sha256Init(Sha256Context& ctx) {
    static constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::memcpy(ctx.state, kInitial, sizeof kInitial);
    ctx.bytes = 0;
    std::memset(ctx.block, 0, sizeof ctx.block);
}

void Sha256Update(Sha256Context& ctx, const uint8_t* data, size_t len) {
    if (len == 0) return;
    const BlocksFn blocksFn = g_paths.SelectedFn();
    const size_t held = size_t(ctx.bytes % 64);
    ctx.bytes += len;
    if (held) {
        const size_t part = 64 - held;
        if (len < part) {
            std::memcpy(ctx.block + held, data, len);
            return;
        }
        std::memcpy(ctx.block + held, data, part);
        blocksFn(ctx.state, ctx.block, 1);
        data += part;
        len -= part;
    }
    if (const size_t whole = len / 64) {
        blocksFn(ctx.state, data, whole);
        data += whole * 64;
        len -= whole * 64;
    }
    if (len) std::memcpy(ctx.block, data, len);
}

void Sha256Final(Sha256Context& ctx, uint8_t out[32]) {
    const BlocksFn blocksFn = g_paths.SelectedFn();
    size_t i = size_t(ctx.bytes % 64);
    ctx.block[i++] = 0x80;
    if (i > 56) {
        // No room for the length after the 0x80 byte: pad out this block first.
        std::memset(ctx.block + i, 0, 64 - i);
        blocksFn(ctx.state, ctx.block, 1);
        i = 0;
    }
    std::memset(ctx.block + i, 0, 56 - i);
    const uint64_t bits = ctx.bytes * 8;
    StoreBe32(ctx.block + 56, uint32_t(bits >> 32));
    StoreBe32(ctx.block + 60, uint32_t(bits));
    blocksFn(ctx.state, ctx.block, 1);
    for (int k = 0; k < 8; ++k) StoreBe32(out + 4 * k, ctx.state[k]);
    // Leave nothing of the message behind.
    std::memset(&ctx, 0, sizeof ctx);
}

}  // namespace digest
