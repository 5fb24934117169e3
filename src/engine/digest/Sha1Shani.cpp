// SHA-1 transform on the processor's SHA extensions. Four rounds per sha1rnds4; the message
// schedule (sha1msg1, xor, sha1msg2) runs beside the rounds, off their dependency chain, so a
// block costs twenty sha1rnds4 latencies and little more.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

// The rounds and the schedule compete for one execution unit. In the order written here the
// loop runs at the sha1rnds4 latency bound; GCC's late scheduling pass reorders it and costs
// about 1% (measured on AMD Zen 4), so it is switched off for this function.
#if defined(__GNUC__) && !defined(__clang__)
#define SHA1_SHANI_ATTRS __attribute__((target("sha,sse4.1"), optimize("no-schedule-insns2")))
#else
#define SHA1_SHANI_ATTRS __attribute__((target("sha,sse4.1")))
#endif

namespace digest {

SHA1_SHANI_ATTRS void Sha1BlocksShani(uint32_t hash[5], const uint8_t* data, size_t blocks) {
    // Word t of a group of four sits in the top lane, as the instructions expect.
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(hash)), 0x1B);
    __m128i e0 = _mm_set_epi32(int(hash[4]), 0, 0, 0);
    __m128i e1, m0, m1, m2, m3;

#define LOAD(m, i) \
    m = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * (i))), byteSwap)
// w0 holds the words 16 back and becomes the next four: w[t] = rol1(w[t-3]^w[t-8]^w[t-14]^w[t-16]).
#define SCHEDULE(w0, w1, w2, w3) \
    w0 = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w0, w1), w2), w3)
// eCur holds A from before the previous four rounds; it yields this group's E.
#define QUAD(eNext, eCur, w, f)              \
    eCur = _mm_sha1nexte_epu32(eCur, w);     \
    eNext = abcd;                            \
    abcd = _mm_sha1rnds4_epu32(abcd, eCur, f)

    for (; blocks; --blocks, data += 64) {
        const __m128i abcdSave = abcd;
        const __m128i eSave = e0;

        LOAD(m0, 0);
        e0 = _mm_add_epi32(e0, m0);
        e1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
        LOAD(m1, 1);
        QUAD(e0, e1, m1, 0);
        LOAD(m2, 2);
        QUAD(e1, e0, m2, 0);
        LOAD(m3, 3);
        QUAD(e0, e1, m3, 0);
        SCHEDULE(m0, m1, m2, m3);
        QUAD(e1, e0, m0, 0);
        SCHEDULE(m1, m2, m3, m0);
        QUAD(e0, e1, m1, 1);
        SCHEDULE(m2, m3, m0, m1);
        QUAD(e1, e0, m2, 1);
        SCHEDULE(m3, m0, m1, m2);
        QUAD(e0, e1, m3, 1);
        SCHEDULE(m0, m1, m2, m3);
        QUAD(e1, e0, m0, 1);
        SCHEDULE(m1, m2, m3, m0);
        QUAD(e0, e1, m1, 1);
        SCHEDULE(m2, m3, m0, m1);
        QUAD(e1, e0, m2, 2);
        SCHEDULE(m3, m0, m1, m2);
        QUAD(e0, e1, m3, 2);
        SCHEDULE(m0, m1, m2, m3);
        QUAD(e1, e0, m0, 2);
        SCHEDULE(m1, m2, m3, m0);
        QUAD(e0, e1, m1, 2);
        SCHEDULE(m2, m3, m0, m1);
        QUAD(e1, e0, m2, 2);
        SCHEDULE(m3, m0, m1, m2);
        QUAD(e0, e1, m3, 3);
        SCHEDULE(m0, m1, m2, m3);
        QUAD(e1, e0, m0, 3);
        SCHEDULE(m1, m2, m3, m0);
        QUAD(e0, e1, m1, 3);
        SCHEDULE(m2, m3, m0, m1);
        QUAD(e1, e0, m2, 3);
        SCHEDULE(m3, m0, m1, m2);
        QUAD(e0, e1, m3, 3);

        e0 = _mm_sha1nexte_epu32(e0, eSave);
        abcd = _mm_add_epi32(abcd, abcdSave);
    }

#undef LOAD
#undef SCHEDULE
#undef QUAD

    _mm_storeu_si128(reinterpret_cast<__m128i*>(hash), _mm_shuffle_epi32(abcd, 0x1B));
    hash[4] = uint32_t(_mm_extract_epi32(e0, 3));
}

}  // namespace digest

#endif
