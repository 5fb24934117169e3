// CRC-32 by carry-less multiplication: 128-bit folding (PCLMULQDQ) and 512-bit folding
// (AVX-512 VPCLMULQDQ), both finished by a Barrett reduction.
//
// Bit order. A 16-byte lane loaded little-endian holds the message bits in the order the
// reflected CRC consumes them: bit k of the lane is the coefficient of x^(127-k), counted
// from the end of the lane. Its low quadword H carries x^127..x^64, its high quadword L
// x^63..x^0, each one a 64-bit reflected polynomial (bit i = coefficient of x^(63-i)).
//
// Multiplying two reflected values. If a has bit i = coefficient of x^(63-i) and c has
// bit j = coefficient of x^(s-j), bit k of the carry-less product a*c is the coefficient of
// x^(63+s-k). With s = 64 the product lands in the lane's own order (bit k = x^(127-k)).
// A constant of degree below 32 would need bit 64 for its x^0 term, so fold constants are
// taken one step around: x^n = (x^(n-32) mod P) * x^32, whose terms x^32..x^63 sit at bits
// 32..1. Hence
//     M(n) = reflect32(x^(n-32) mod P) << 1
// multiplies a quadword of the lane by x^n (mod P) and leaves the product in lane order.
//
// Folding a lane forward by D bits: H*x^64 + L becomes H*M(D+64) xor L*M(D) (below 127
// bits), to be xored into the lane D bits further on.
//
// Final reduction of the last lane X (the register wanted is X*x^32 mod P):
//   1. S = H*(x^96 mod P) + L*x^32 (96 bits). With the constant M(128) the product comes
//      out with bit k = x^(95-k), which is where L lands when X is shifted down 64 bits.
//   2. T = S_hi*(x^64 mod P) + S_lo (64 bits), S_hi its top 32 bits: constant M(96), and S
//      shifted down 32 bits.
//   3. Barrett: with T = T1*x^32 + T0, q = floor(T1*mu / x^32), mu = floor(x^64 / P), and
//      T mod P = T0 xor low32(q*P). Here mu and P are 33-bit values, reflected over 33 bits
//      (bit j = coefficient of x^(32-j)), so both products come out with bit k = x^(63-k)
//      and the remainder sits in bits 32..63.
#include "engine/digest/Crc32.h"

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace digest {

uint32_t Crc32Slice16(uint32_t reg, const uint8_t* data, size_t len);

#if defined(__x86_64__)

namespace {

constexpr uint64_t kP = 0x104C11DB7ull;   // x^32 + x^26 + x^23 + ... + x + 1, normal order

constexpr uint32_t XPowModP(unsigned e) {
    uint64_t r = 1;
    for (unsigned i = 0; i < e; ++i) {
        r <<= 1;
        if (r >> 32) r ^= kP;
    }
    return uint32_t(r);
}

constexpr uint64_t Reflect(uint64_t v, int bits) {
    uint64_t r = 0;
    for (int i = 0; i < bits; ++i)
        if (v >> i & 1) r |= uint64_t(1) << (bits - 1 - i);
    return r;
}

// floor(x^64 / P), a 33-bit polynomial.
constexpr uint64_t Mu() {
    uint64_t rem = (kP ^ (uint64_t(1) << 32)) << 32;   // x^64 - x^32 * P
    uint64_t q = uint64_t(1) << 32;
    for (int i = 63; i >= 32; --i) {
        if (rem >> i & 1) {
            q |= uint64_t(1) << (i - 32);
            rem ^= kP << (i - 32);
        }
    }
    return q;
}

constexpr uint64_t M(unsigned n) { return Reflect(XPowModP(n - 32), 32) << 1; }

constexpr uint64_t kMu = Reflect(Mu(), 33);
constexpr uint64_t kPoly = Reflect(kP, 33);

static_assert(kPoly == (uint64_t(0xEDB88320u) << 1 | 1), "reflected polynomial");
static_assert(Mu() >> 32 == 1, "mu has degree 32");

// pshufb masks: 16 zeroing entries, the identity, 16 zeroing entries.
alignas(16) constexpr uint8_t kShuffle[48] = {
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
    0,    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};

#define CRC_TARGET_CLMUL __attribute__((target("sse4.1,ssse3,pclmul")))
#define CRC_TARGET_VCLMUL \
    __attribute__((target("avx512f,avx512vl,avx512bw,vpclmulqdq,sse4.1,ssse3,pclmul")))

CRC_TARGET_CLMUL inline __m128i Pair(uint64_t lo, uint64_t hi) {
    return _mm_set_epi64x(int64_t(hi), int64_t(lo));
}

// k = Pair(M(D+64), M(D)): the lane moved D bits forward.
CRC_TARGET_CLMUL inline __m128i Fold(__m128i x, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}

CRC_TARGET_CLMUL inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

CRC_TARGET_CLMUL inline uint32_t Reduce(__m128i x) {
    const __m128i k = Pair(M(128), M(96));
    const __m128i barrett = Pair(kMu, kPoly);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    const __m128i s = _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_srli_si128(x, 8));
    const __m128i t = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(s, low32), k, 0x10),
                                    _mm_srli_si128(s, 4));
    const __m128i q = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00), low32);
    const __m128i r = _mm_xor_si128(t, _mm_clmulepi64_si128(q, barrett, 0x10));
    return uint32_t(_mm_extract_epi32(r, 1));
}

// x is the lane that ends at p; len more bytes follow it. At least 16 bytes lie before p,
// so the last partial block is read as the 16 bytes ending at p + len: the first
// 16 - rest bytes of that load are already in x and are replaced by x's own bytes.
CRC_TARGET_CLMUL inline uint32_t Finish(__m128i x, const uint8_t* p, size_t len) {
    const __m128i k128 = Pair(M(192), M(128));
    while (len >= 16) {
        x = _mm_xor_si128(Fold(x, k128), Load(p));
        p += 16;
        len -= 16;
    }
    if (len) {
        // The message now ends with x (16 bytes) and len more bytes. Split it as the first
        // len bytes of x (zero-padded in front, so the same polynomial) and the last 16.
        const __m128i headMask = Load(kShuffle + len);
        const __m128i tailMask = Load(kShuffle + 16 + len);
        const __m128i head = _mm_shuffle_epi8(x, headMask);
        const __m128i last = _mm_blendv_epi8(_mm_shuffle_epi8(x, tailMask), Load(p + len - 16), tailMask);
        x = _mm_xor_si128(Fold(head, k128), last);
    }
    return Reduce(x);
}

}  // namespace

CRC_TARGET_CLMUL uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* p, size_t len) {
    if (len < 16) return Crc32Slice16(reg, p, len);
    __m128i x;
    if (len >= 128) {
        // Eight lanes in flight hide the multiply latency.
        __m128i a[8];
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i) a[i] = Load(p + 16 * i);
        a[0] = _mm_xor_si128(a[0], _mm_cvtsi32_si128(int(reg)));
        p += 128;
        len -= 128;
        const __m128i k1024 = Pair(M(1088), M(1024));
        while (len >= 128) {
#pragma GCC unroll 8
            for (int i = 0; i < 8; ++i) a[i] = _mm_xor_si128(Fold(a[i], k1024), Load(p + 16 * i));
            p += 128;
            len -= 128;
        }
        const __m128i k[7] = {Pair(M(960), M(896)), Pair(M(832), M(768)), Pair(M(704), M(640)),
                              Pair(M(576), M(512)), Pair(M(448), M(384)), Pair(M(320), M(256)),
                              Pair(M(192), M(128))};
        x = a[7];
#pragma GCC unroll 7
        for (int i = 0; i < 7; ++i) x = _mm_xor_si128(x, Fold(a[i], k[i]));
    } else {
        x = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(int(reg)));
        p += 16;
        len -= 16;
    }
    return Finish(x, p, len);
}

namespace {

CRC_TARGET_VCLMUL inline __m512i Broadcast(uint64_t lo, uint64_t hi) {
    const auto l = int64_t(lo), h = int64_t(hi);
    return _mm512_set_epi64(h, l, h, l, h, l, h, l);
}

// Each of the four lanes of z moved forward by the distance encoded in k, xored with d.
CRC_TARGET_VCLMUL inline __m512i Fold4(__m512i z, __m512i k, __m512i d) {
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(z, k, 0x00),
                                     _mm512_clmulepi64_epi128(z, k, 0x11), d, 0x96);
}

CRC_TARGET_VCLMUL inline __m512i LoadAligned(const uint8_t* p) {
    return _mm512_load_si512(reinterpret_cast<const void*>(p));
}

}  // namespace

CRC_TARGET_VCLMUL uint32_t Crc32Vpclmul(uint32_t reg, const uint8_t* p, size_t len) {
    constexpr size_t kStride = 4 * 64;   // four zmm accumulators
    if (len < 2 * kStride) return Crc32Pclmul(reg, p, len);
    // Start the wide loop on a cache-line boundary so no load straddles two lines.
    if (const size_t head = size_t(-reinterpret_cast<uintptr_t>(p)) & 63) {
        reg = Crc32Pclmul(reg, p, head);
        p += head;
        len -= head;
    }
    __m512i z0 = _mm512_xor_si512(LoadAligned(p), _mm512_zextsi128_si512(_mm_cvtsi32_si128(int(reg))));
    __m512i z1 = LoadAligned(p + 64), z2 = LoadAligned(p + 128), z3 = LoadAligned(p + 192);
    p += kStride;
    len -= kStride;
    const __m512i k2048 = Broadcast(M(2112), M(2048));
    while (len >= kStride) {
        z0 = Fold4(z0, k2048, LoadAligned(p));
        z1 = Fold4(z1, k2048, LoadAligned(p + 64));
        z2 = Fold4(z2, k2048, LoadAligned(p + 128));
        z3 = Fold4(z3, k2048, LoadAligned(p + 192));
        p += kStride;
        len -= kStride;
    }
    const __m512i k512 = Broadcast(M(576), M(512));
    __m512i z = Fold4(z0, Broadcast(M(1600), M(1536)),
                      Fold4(z1, Broadcast(M(1088), M(1024)), Fold4(z2, k512, z3)));
    while (len >= 64) {
        z = Fold4(z, k512, LoadAligned(p));
        p += 64;
        len -= 64;
    }
    // Four lanes into one: lanes 0..2 moved to the end of lane 3 (its own constants are 0).
    const __m512i kLanes = _mm512_set_epi64(0, 0, int64_t(M(128)), int64_t(M(192)), int64_t(M(256)),
                                            int64_t(M(320)), int64_t(M(384)), int64_t(M(448)));
    __m512i t = _mm512_xor_si512(_mm512_clmulepi64_epi128(z, kLanes, 0x00),
                                 _mm512_clmulepi64_epi128(z, kLanes, 0x11));
    t = _mm512_mask_xor_epi64(t, 0xC0, t, z);
    // The masked forms spare GCC 12 a false uninitialized warning in its own headers.
    t = _mm512_xor_si512(t, _mm512_mask_shuffle_i64x2(t, 0xFF, t, t, _MM_SHUFFLE(1, 0, 3, 2)));
    t = _mm512_xor_si512(t, _mm512_mask_shuffle_i64x2(t, 0xFF, t, t, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i x = _mm512_mask_extracti32x4_epi32(_mm_setzero_si128(), 0xF, t, 0);
    return Finish(x, p, len);
}

#else   // no carry-less multiply on this architecture: never selected, kept for linking

uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data, size_t len) { return Crc32Slice16(reg, data, len); }
uint32_t Crc32Vpclmul(uint32_t reg, const uint8_t* data, size_t len) { return Crc32Slice16(reg, data, len); }

#endif

}  // namespace digest
