// CRC-32 (reflected polynomial 0xEDB88320, as in zip and PNG) with paths chosen at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest/CpuFeatures.h"

namespace digest {

enum class Crc32Impl { Table, Slice16, Pclmul, Vpclmul };

// Raw register update, no pre- or post-inversion: start with 0xFFFFFFFF and complement
// at the end for the standard CRC-32 (zlib's crc32(c, p, n) == ~Crc32Feed(~c, p, n)).
uint32_t Crc32Feed(uint32_t reg, const uint8_t* data, size_t len);           // selected path
uint32_t Crc32FeedWith(Crc32Impl impl, uint32_t reg, const uint8_t* data, size_t len);

bool Crc32Supported(Crc32Impl impl, const CpuFeatures& cpu = Cpu());   // the CPU can run it
Crc32Impl Crc32Best(const CpuFeatures& cpu = Cpu());                 // fastest supported path
Crc32Impl Crc32Selected();
// Tests and benchmarks. An unsupported path is ignored (Crc32Selected() tells what runs);
// Crc32FeedWith falls back to Crc32Best() for one.
void Crc32Select(Crc32Impl impl, const CpuFeatures& cpu = Cpu());
const char* Crc32ImplName(Crc32Impl impl);

// The byte-wise table of the reflected polynomial.
void Crc32BuildTable(uint32_t table[256]);

}  // namespace digest
