#include "engine/digest/Md5.h"

#include <cstring>

#include "engine/digest/PathChoice.h"

namespace digest {

// Transform `blocks` consecutive 64-byte blocks; the fast one lives in Md5Fast.cpp.
void Md5BlocksReference(uint32_t state[4], const uint8_t* data, size_t blocks);
void Md5BlocksFast(uint32_t state[4], const uint8_t* data, size_t blocks);

namespace {

inline uint32_t Rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline uint32_t LoadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// The four auxiliary functions and the step, as RFC 1321 writes them.
#define MD5_F(x, y, z) (((x) & (y)) | (~(x) & (z)))
#define MD5_G(x, y, z) (((x) & (z)) | ((y) & ~(z)))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, s, t) \
    a = b + Rotl(a + f(b, c, d) + (x) + uint32_t(t), s)

void TransformReference(uint32_t state[4], const uint8_t* block) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = LoadLe32(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    MD5_STEP(MD5_F, a, b, c, d, x[0], 7, 0xd76aa478);
    MD5_STEP(MD5_F, d, a, b, c, x[1], 12, 0xe8c7b756);
    MD5_STEP(MD5_F, c, d, a, b, x[2], 17, 0x242070db);
    MD5_STEP(MD5_F, b, c, d, a, x[3], 22, 0xc1bdceee);
    MD5_STEP(MD5_F, a, b, c, d, x[4], 7, 0xf57c0faf);
    MD5_STEP(MD5_F, d, a, b, c, x[5], 12, 0x4787c62a);
    MD5_STEP(MD5_F, c, d, a, b, x[6], 17, 0xa8304613);
    MD5_STEP(MD5_F, b, c, d, a, x[7], 22, 0xfd469501);
    MD5_STEP(MD5_F, a, b, c, d, x[8], 7, 0x698098d8);
    MD5_STEP(MD5_F, d, a, b, c, x[9], 12, 0x8b44f7af);
    MD5_STEP(MD5_F, c, d, a, b, x[10], 17, 0xffff5bb1);
    MD5_STEP(MD5_F, b, c, d, a, x[11], 22, 0x895cd7be);
    MD5_STEP(MD5_F, a, b, c, d, x[12], 7, 0x6b901122);
    MD5_STEP(MD5_F, d, a, b, c, x[13], 12, 0xfd987193);
    MD5_STEP(MD5_F, c, d, a, b, x[14], 17, 0xa679438e);
    MD5_STEP(MD5_F, b, c, d, a, x[15], 22, 0x49b40821);

    MD5_STEP(MD5_G, a, b, c, d, x[1], 5, 0xf61e2562);
    MD5_STEP(MD5_G, d, a, b, c, x[6], 9, 0xc040b340);
    MD5_STEP(MD5_G, c, d, a, b, x[11], 14, 0x265e5a51);
    MD5_STEP(MD5_G, b, c, d, a, x[0], 20, 0xe9b6c7aa);
    MD5_STEP(MD5_G, a, b, c, d, x[5], 5, 0xd62f105d);
    MD5_STEP(MD5_G, d, a, b, c, x[10], 9, 0x02441453);
    MD5_STEP(MD5_G, c, d, a, b, x[15], 14, 0xd8a1e681);
    MD5_STEP(MD5_G, b, c, d, a, x[4], 20, 0xe7d3fbc8);
    MD5_STEP(MD5_G, a, b, c, d, x[9], 5, 0x21e1cde6);
    MD5_STEP(MD5_G, d, a, b, c, x[14], 9, 0xc33707d6);
    MD5_STEP(MD5_G, c, d, a, b, x[3], 14, 0xf4d50d87);
    MD5_STEP(MD5_G, b, c, d, a, x[8], 20, 0x455a14ed);
    MD5_STEP(MD5_G, a, b, c, d, x[13], 5, 0xa9e3e905);
    MD5_STEP(MD5_G, d, a, b, c, x[2], 9, 0xfcefa3f8);
    MD5_STEP(MD5_G, c, d, a, b, x[7], 14, 0x676f02d9);
    MD5_STEP(MD5_G, b, c, d, a, x[12], 20, 0x8d2a4c8a);

    MD5_STEP(MD5_H, a, b, c, d, x[5], 4, 0xfffa3942);
    MD5_STEP(MD5_H, d, a, b, c, x[8], 11, 0x8771f681);
    MD5_STEP(MD5_H, c, d, a, b, x[11], 16, 0x6d9d6122);
    MD5_STEP(MD5_H, b, c, d, a, x[14], 23, 0xfde5380c);
    MD5_STEP(MD5_H, a, b, c, d, x[1], 4, 0xa4beea44);
    MD5_STEP(MD5_H, d, a, b, c, x[4], 11, 0x4bdecfa9);
    MD5_STEP(MD5_H, c, d, a, b, x[7], 16, 0xf6bb4b60);
    MD5_STEP(MD5_H, b, c, d, a, x[10], 23, 0xbebfbc70);
    MD5_STEP(MD5_H, a, b, c, d, x[13], 4, 0x289b7ec6);
    MD5_STEP(MD5_H, d, a, b, c, x[0], 11, 0xeaa127fa);
    MD5_STEP(MD5_H, c, d, a, b, x[3], 16, 0xd4ef3085);
    MD5_STEP(MD5_H, b, c, d, a, x[6], 23, 0x04881d05);
    MD5_STEP(MD5_H, a, b, c, d, x[9], 4, 0xd9d4d039);
    MD5_STEP(MD5_H, d, a, b, c, x[12], 11, 0xe6db99e5);
    MD5_STEP(MD5_H, c, d, a, b, x[15], 16, 0x1fa27cf8);
    MD5_STEP(MD5_H, b, c, d, a, x[2], 23, 0xc4ac5665);

    MD5_STEP(MD5_I, a, b, c, d, x[0], 6, 0xf4292244);
    MD5_STEP(MD5_I, d, a, b, c, x[7], 10, 0x432aff97);
    MD5_STEP(MD5_I, c, d, a, b, x[14], 15, 0xab9423a7);
    MD5_STEP(MD5_I, b, c, d, a, x[5], 21, 0xfc93a039);
    MD5_STEP(MD5_I, a, b, c, d, x[12], 6, 0x655b59c3);
    MD5_STEP(MD5_I, d, a, b, c, x[3], 10, 0x8f0ccc92);
    MD5_STEP(MD5_I, c, d, a, b, x[10], 15, 0xffeff47d);
    MD5_STEP(MD5_I, b, c, d, a, x[1], 21, 0x85845dd1);
    MD5_STEP(MD5_I, a, b, c, d, x[8], 6, 0x6fa87e4f);
    MD5_STEP(MD5_I, d, a, b, c, x[15], 10, 0xfe2ce6e0);
    MD5_STEP(MD5_I, c, d, a, b, x[6], 15, 0xa3014314);
    MD5_STEP(MD5_I, b, c, d, a, x[13], 21, 0x4e0811a1);
    MD5_STEP(MD5_I, a, b, c, d, x[4], 6, 0xf7537e82);
    MD5_STEP(MD5_I, d, a, b, c, x[11], 10, 0xbd3af235);
    MD5_STEP(MD5_I, c, d, a, b, x[2], 15, 0x2ad7d2bb);
    MD5_STEP(MD5_I, b, c, d, a, x[9], 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I
#undef MD5_STEP

}  // namespace

void Md5BlocksReference(uint32_t state[4], const uint8_t* data, size_t blocks) {
    for (; blocks; --blocks, data += 64) TransformReference(state, data);
}

namespace {

bool Always(const CpuFeatures&) { return true; }

using BlocksFn = void (*)(uint32_t*, const uint8_t*, size_t);

// The fast path is plain C, fast wherever the compiler keeps the words in registers.
constinit PathChoice<Md5Impl, BlocksFn, 2> g_paths{{{
    {Md5Impl::Fast, "fast", Always, Md5BlocksFast},
    {Md5Impl::Reference, "reference", Always, Md5BlocksReference},
}}};

}  // namespace

bool Md5Supported(Md5Impl impl, const CpuFeatures& cpu) { return g_paths.Supported(impl, cpu); }
Md5Impl Md5Best(const CpuFeatures& cpu) { return g_paths.Best(cpu); }
Md5Impl Md5Selected() { return g_paths.Selected(); }
void Md5Select(Md5Impl impl, const CpuFeatures& cpu) { g_paths.Select(impl, cpu); }
const char* Md5ImplName(Md5Impl impl) { return g_paths.Name(impl); }

void Md5Init(Md5Context& ctx) {
    ctx.state[0] = 0x67452301;
    ctx.state[1] = 0xefcdab89;
    ctx.state[2] = 0x98badcfe;
    ctx.state[3] = 0x10325476;
    ctx.count[0] = ctx.count[1] = 0;
    std::memset(ctx.buffer, 0, sizeof ctx.buffer);
}

void Md5Update(Md5Context& ctx, const uint8_t* data, size_t len) {
    if (len == 0) return;
    size_t index = (ctx.count[0] >> 3) & 63;

    // 64-bit bit count in two halves; the count wraps modulo 2^64 like the original.
    const uint32_t addLow = uint32_t(len << 3);
    ctx.count[0] += addLow;
    if (ctx.count[0] < addLow) ++ctx.count[1];
    ctx.count[1] += uint32_t(uint64_t(len) >> 29);

    const BlocksFn blocksFn = g_paths.SelectedFn();
    if (index) {
        const size_t part = 64 - index;
        if (len < part) {
            std::memcpy(ctx.buffer + index, data, len);
            return;
        }
        std::memcpy(ctx.buffer + index, data, part);
        blocksFn(ctx.state, ctx.buffer, 1);
        data += part;
        len -= part;
    }
    const size_t whole = len / 64;
    if (whole) {
        blocksFn(ctx.state, data, whole);
        data += whole * 64;
        len -= whole * 64;
    }
    if (len) std::memcpy(ctx.buffer, data, len);
}

void Md5Final(Md5Context& ctx, uint8_t out[16]) {
    uint8_t bits[8];
    StoreLe32(bits, ctx.count[0]);
    StoreLe32(bits + 4, ctx.count[1]);

    const size_t index = (ctx.count[0] >> 3) & 63;
    const BlocksFn blocksFn = g_paths.SelectedFn();
    ctx.buffer[index] = 0x80;
    if (index >= 56) {
        // No room for the bit count after the 0x80 byte: pad out this block first.
        std::memset(ctx.buffer + index + 1, 0, 63 - index);
        blocksFn(ctx.state, ctx.buffer, 1);
        std::memset(ctx.buffer, 0, 56);
    } else {
        std::memset(ctx.buffer + index + 1, 0, 55 - index);
    }
    std::memcpy(ctx.buffer + 56, bits, 8);
    blocksFn(ctx.state, ctx.buffer, 1);

    for (int i = 0; i < 4; ++i) StoreLe32(out + 4 * i, ctx.state[i]);
    // Leave nothing of the message behind.
    std::memset(&ctx, 0, sizeof ctx);
}

}  // namespace digest
