#include "engine/digest/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace digest {

namespace {

CpuFeatures Detect() {
    CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0, &a, &b, &c, &d)) return f;
    const unsigned maxLeaf = a;
    __get_cpuid(1, &a, &b, &c, &d);
    f.ssse3 = c & bit_SSSE3;
    f.sse41 = c & bit_SSE4_1;
    f.pclmul = c & bit_PCLMUL;
    const bool osxsave = c & bit_OSXSAVE;
    bool ymm = false, zmm = false;
    if (osxsave) {
        unsigned lo, hi;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        ymm = (lo & 0x6) == 0x6;
        zmm = (lo & 0xE6) == 0xE6;
    }
    if (maxLeaf >= 7) {
        __get_cpuid_count(7, 0, &a, &b, &c, &d);
        f.bmi1 = b & bit_BMI;
        f.bmi2 = b & bit_BMI2;
        f.avx2 = ymm && (b & bit_AVX2);
        f.avx512f = zmm && (b & bit_AVX512F);
        f.avx512vl = zmm && (b & bit_AVX512VL);
        f.avx512bw = zmm && (b & bit_AVX512BW);
        f.sha = b & bit_SHA;
        f.vpclmulqdq = ymm && (c & bit_VPCLMULQDQ);
    }
#endif
    return f;
}

}  // namespace

const CpuFeatures& Cpu() {
    static const CpuFeatures features = Detect();
    return features;
}

}  // namespace digest
