#include "engine/digest/Sha512.h"

#include <cstring>

#include "engine/digest/PathChoice.h"

namespace digest {

// Transform `blocks` consecutive 128-byte blocks; the vector one lives in Sha512Avx512.cpp.
void Sha512BlocksReference(uint64_t state[8], const uint8_t* data, size_t blocks);
#if defined(__x86_64__)
void Sha512BlocksAvx512(uint64_t state[8], const uint8_t* data, size_t blocks);
#endif

// Shared with Sha512Avx512.cpp.
alignas(64) extern const uint64_t kSha512K[80];
alignas(64) const uint64_t kSha512K[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc, 0x3956c25bf348b538,
    0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118, 0xd807aa98a3030242, 0x12835b0145706fbe,
    0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2, 0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235,
    0xc19bf174cf692694, 0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5, 0x983e5152ee66dfab,
    0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4, 0xc6e00bf33da88fc2, 0xd5a79147930aa725,
    0x06ca6351e003826f, 0x142929670a0e6e70, 0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed,
    0x53380d139d95b3df, 0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30, 0xd192e819d6ef5218,
    0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8, 0x19a4c116b8d2d0c8, 0x1e376c085141ab53,
    0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8, 0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373,
    0x682e6ff3d6b2b8a3, 0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b, 0xca273eceea26619c,
    0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178, 0x06f067aa72176fba, 0x0a637dc5a2c898a6,
    0x113f9804bef90dae, 0x1b710b35131c471b, 0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc,
    0x431d67c49c100d4c, 0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817,
};

namespace {

inline uint64_t Rotr(uint64_t x, int s) { return (x >> s) | (x << (64 - s)); }

inline uint64_t LoadBe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | p[i];
    return v;
}

inline void StoreBe64(uint8_t* p, uint64_t v) {
    for (int i = 7; i >= 0; --i, v >>= 8) p[i] = uint8_t(v);
}

// One round with the eight working variables renamed instead of moved.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, wk)                                          \
    do {                                                                                  \
        h += (Rotr(e, 14) ^ Rotr(e, 18) ^ Rotr(e, 41)) + (((f ^ g) & e) ^ g) + (wk);        \
        d += h;                                                                           \
        h += (Rotr(a, 28) ^ Rotr(a, 34) ^ Rotr(a, 39)) + (((a | b) & c) | (a & b));         \
    } while (0)

void TransformReference(uint64_t state[8], const uint8_t* block) {
    uint64_t w[80];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe64(block + 8 * t);
    for (int t = 16; t < 80; ++t) {
        const uint64_t s0 = Rotr(w[t - 15], 1) ^ Rotr(w[t - 15], 8) ^ (w[t - 15] >> 7);
        const uint64_t s1 = Rotr(w[t - 2], 19) ^ Rotr(w[t - 2], 61) ^ (w[t - 2] >> 6);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int t = 0; t < 80; t += 8) {
        SHA512_ROUND(a, b, c, d, e, f, g, h, w[t] + kSha512K[t]);
        SHA512_ROUND(h, a, b, c, d, e, f, g, w[t + 1] + kSha512K[t + 1]);
        SHA512_ROUND(g, h, a, b, c, d, e, f, w[t + 2] + kSha512K[t + 2]);
        SHA512_ROUND(f, g, h, a, b, c, d, e, w[t + 3] + kSha512K[t + 3]);
        SHA512_ROUND(e, f, g, h, a, b, c, d, w[t + 4] + kSha512K[t + 4]);
        SHA512_ROUND(d, e, f, g, h, a, b, c, w[t + 5] + kSha512K[t + 5]);
        SHA512_ROUND(c, d, e, f, g, h, a, b, w[t + 6] + kSha512K[t + 6]);
        SHA512_ROUND(b, c, d, e, f, g, h, a, w[t + 7] + kSha512K[t + 7]);
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

#undef SHA512_ROUND

}  // namespace

void Sha512BlocksReference(uint64_t state[8], const uint8_t* data, size_t blocks) {
    for (; blocks; --blocks, data += 128) TransformReference(state, data);
}

namespace {

bool Always(const CpuFeatures&) { return true; }

using BlocksFn = void (*)(uint64_t*, const uint8_t*, size_t);

#if defined(__x86_64__)
bool HasAvx512(const CpuFeatures& cpu) {
    return cpu.avx512f && cpu.avx512vl && cpu.bmi1 && cpu.bmi2 && cpu.ssse3;
}

constinit PathChoice<Sha512Impl, BlocksFn, 2> g_paths{{{
    {Sha512Impl::Avx512, "avx512", HasAvx512, Sha512BlocksAvx512},
    {Sha512Impl::Reference, "reference", Always, Sha512BlocksReference},
}}};
#else
bool Never(const CpuFeatures&) { return false; }

// Not an x86-64 processor: the row names the path and is never chosen.
constinit PathChoice<Sha512Impl, BlocksFn, 2> g_paths{{{
    {Sha512Impl::Avx512, "avx512", Never, Sha512BlocksReference},
    {Sha512Impl::Reference, "reference", Always, Sha512BlocksReference},
}}};
#endif

}  // namespace

bool Sha512Supported(Sha512Impl impl, const CpuFeatures& cpu) { return g_paths.Supported(impl, cpu); }
Sha512Impl Sha512Best(const CpuFeatures& cpu) { return g_paths.Best(cpu); }
Sha512Impl Sha512Selected() { return g_paths.Selected(); }
void Sha512Select(Sha512Impl impl, const CpuFeatures& cpu) { g_paths.Select(impl, cpu); }
const char* Sha512ImplName(Sha512Impl impl) { return g_paths.Name(impl); }

void Sha512Init(Sha512Context& ctx) {
    static constexpr uint64_t kInitial[8] = {0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b,
                                             0xa54ff53a5f1d36f1, 0x510e527fade682d1, 0x9b05688c2b3e6c1f,
                                             0x1f83d9abfb41bd6b, 0x5be0cd19137e2179};
    std::memcpy(ctx.state, kInitial, sizeof kInitial);
    ctx.bytes = 0;
    std::memset(ctx.block, 0, sizeof ctx.block);
}

void Sha512Update(Sha512Context& ctx, const uint8_t* data, size_t len) {
    if (len == 0) return;
    const BlocksFn blocksFn = g_paths.SelectedFn();
    const size_t held = size_t(ctx.bytes % 128);
    ctx.bytes += len;
    if (held) {
        const size_t part = 128 - held;
        if (len < part) {
            std::memcpy(ctx.block + held, data, len);
            return;
        }
        std::memcpy(ctx.block + held, data, part);
        blocksFn(ctx.state, ctx.block, 1);
        data += part;
        len -= part;
    }
    if (const size_t whole = len / 128) {
        blocksFn(ctx.state, data, whole);
        data += whole * 128;
        len -= whole * 128;
    }
    if (len) std::memcpy(ctx.block, data, len);
}

void Sha512Final(Sha512Context& ctx, uint8_t out[64]) {
    const BlocksFn blocksFn = g_paths.SelectedFn();
    size_t i = size_t(ctx.bytes % 128);
    ctx.block[i++] = 0x80;
    if (i > 112) {
        // No room for the 128-bit length after the 0x80 byte: pad out this block first.
        std::memset(ctx.block + i, 0, 128 - i);
        blocksFn(ctx.state, ctx.block, 1);
        i = 0;
    }
    std::memset(ctx.block + i, 0, 112 - i);
    StoreBe64(ctx.block + 112, ctx.bytes >> 61);
    StoreBe64(ctx.block + 120, ctx.bytes << 3);
    blocksFn(ctx.state, ctx.block, 1);
    for (int k = 0; k < 8; ++k) StoreBe64(out + 8 * k, ctx.state[k]);
    // Leave nothing of the message behind.
    std::memset(&ctx, 0, sizeof ctx);
}

}  // namespace digest
