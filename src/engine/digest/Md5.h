// MD5 (RFC 1321) with a portable transform and a faster one, chosen at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/digest/CpuFeatures.h"

namespace digest {

enum class Md5Impl { Reference, Fast };

struct Md5Context {
    uint32_t state[4];
    uint32_t count[2];   // bit count, low and high half
    uint8_t buffer[64];
};

void Md5Init(Md5Context& ctx);
// Whole blocks go straight from `data` to the transform; only partial blocks are copied.
void Md5Update(Md5Context& ctx, const uint8_t* data, size_t len);
void Md5Final(Md5Context& ctx, uint8_t out[16]);

bool Md5Supported(Md5Impl impl, const CpuFeatures& cpu = Cpu());
Md5Impl Md5Best(const CpuFeatures& cpu = Cpu());
Md5Impl Md5Selected();
void Md5Select(Md5Impl impl, const CpuFeatures& cpu = Cpu());
const char* Md5ImplName(Md5Impl impl);

}  // namespace digest
