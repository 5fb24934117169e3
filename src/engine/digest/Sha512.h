// SHA-512 (FIPS 180-4) with a portable transform and one that works the message schedule in
// vector registers beside the scalar rounds, chosen at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest/CpuFeatures.h"

namespace digest {

enum class Sha512Impl { Reference, Avx512 };

struct Sha512Context {
    uint64_t state[8];
    uint64_t bytes;        // message length so far (the 128-bit length's high half is bytes >> 61)
    uint8_t block[128];    // the partial block: bytes % 128 of them
};

void Sha512Init(Sha512Context& ctx);
// Whole blocks go straight from `data` to the transform; only partial blocks are copied.
void Sha512Update(Sha512Context& ctx, const uint8_t* data, size_t len);
void Sha512Final(Sha512Context& ctx, uint8_t out[64]);

bool Sha512Supported(Sha512Impl impl, const CpuFeatures& cpu = Cpu());
Sha512Impl Sha512Best(const CpuFeatures& cpu = Cpu());
Sha512Impl Sha512Selected();
void Sha512Select(Sha512Impl impl, const CpuFeatures& cpu = Cpu());
const char* Sha512ImplName(Sha512Impl impl);

}  // namespace digest
