// SHA-1 (FIPS 180, RFC 3174) with a portable transform and one using the SHA extensions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest/CpuFeatures.h"

namespace digest {

enum class Sha1Impl { Reference, Shani };

enum Sha1Error : int { Sha1Ok = 0, Sha1InputTooLong = 1, Sha1StateError = 3 };

struct Sha1Context {
    uint32_t hash[5];
    uint32_t lengthLow;    // message length in bits
    uint32_t lengthHigh;
    uint8_t block[64];
    int index;             // next free byte of block
    bool computed;
    int corrupted;         // Sha1Error
};

void Sha1Reset(Sha1Context& ctx);
// Same result and error states as feeding one byte at a time; whole blocks may be
// transformed straight from `data`.
void Sha1Input(Sha1Context& ctx, const uint8_t* data, size_t len);
// False (and nothing written) when the context is in an error state.
bool Sha1Result(Sha1Context& ctx, uint8_t out[20]);

bool Sha1Supported(Sha1Impl impl, const CpuFeatures& cpu = Cpu());
Sha1Impl Sha1Best(const CpuFeatures& cpu = Cpu());
Sha1Impl Sha1Selected();
void Sha1Select(Sha1Impl impl, const CpuFeatures& cpu = Cpu());
const char* Sha1ImplName(Sha1Impl impl);

}  // namespace digest
