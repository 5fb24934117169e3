// SHA-256 transform on the processor's SHA extensions: two rounds per sha256rnds2, with the
// message schedule (sha256msg1, alignr and add, sha256msg2) for the words four rounds ahead
// worked in between, off the rounds' dependency chain.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace digest {

alignas(64) extern const uint32_t kSha256K[64];   // Sha256.cpp

__attribute__((target("sha,sse4.1"))) void Sha256BlocksShani(uint32_t state[8], const uint8_t* data,
                                                             size_t blocks) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    // The instructions keep the state as (A, B, E, F) and (C, D, G, H).
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blocks; --blocks, data += 64) {
        const __m128i abefSave = abef;
        const __m128i cdghSave = cdgh;
        // m[q % 4] holds the four schedule words of rounds 4q to 4q + 3.
        __m128i m[4];
#pragma GCC unroll 16
        for (int q = 0; q < 16; ++q) {
            if (q < 4)
                m[q] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data) + q), byteSwap);
            __m128i wk = _mm_add_epi32(m[q % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(kSha256K) + q));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
            if (q >= 3 && q < 15) {
                // Words of the next four rounds: w[t-7] comes from the two newest groups.
                __m128i& next = m[(q + 1) % 4];
                next = _mm_add_epi32(next, _mm_alignr_epi8(m[q % 4], m[(q + 3) % 4], 4));
                next = _mm_sha256msg2_epu32(next, m[q % 4]);
            }
            wk = _mm_shuffle_epi32(wk, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
            if (q >= 1 && q < 13) m[(q + 3) % 4] = _mm_sha256msg1_epu32(m[(q + 3) % 4], m[q % 4]);
        }
        abef = _mm_add_epi32(abef, abefSave);
        cdgh = _mm_add_epi32(cdgh, cdghSave);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace digest

#endif
