// SHA-256 (FIPS 180-4) with a portable transform and one on the SHA extensions, chosen at
// run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest/CpuFeatures.h"

namespace digest {

enum class Sha256Impl { Reference, Shani };

struct Sha256Context {
    uint32_t state[8];
    uint64_t bytes;        // message length so far
    uint8_t block[64];     // the partial block: bytes % 64 of them
};

void Sha256Init(Sha256Context& ctx);
// Whole blocks go straight from `data` to the transform; only partial blocks are copied.
void Sha256Update(Sha256Context& ctx, const uint8_t* data, size_t len);
void Sha256Final(Sha256Context& ctx, uint8_t out[32]);

bool Sha256Supported(Sha256Impl impl, const CpuFeatures& cpu = Cpu());
Sha256Impl Sha256Best(const CpuFeatures& cpu = Cpu());
Sha256Impl Sha256Selected();
void Sha256Select(Sha256Impl impl, const CpuFeatures& cpu = Cpu());
const char* Sha256ImplName(Sha256Impl impl);

}  // namespace digest
