// What the processor offers, read once from CPUID (and XGETBV for the register state).
#pragma once

namespace digest {

struct CpuFeatures {
    bool sse41 = false;
    bool ssse3 = false;
    bool pclmul = false;
    bool avx2 = false;
    bool avx512f = false;
    bool avx512vl = false;
    bool avx512bw = false;
    bool vpclmulqdq = false;
    bool sha = false;
    bool bmi1 = false;
    bool bmi2 = false;
};

const CpuFeatures& Cpu();

}  // namespace digest
