// Small helpers of the digest tests, independent of the engines they check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// Lower-case hexadecimal, as the reference tools print it.
std::string LowerHex(const uint8_t* p, size_t n);

// python3 with these modules ("hashlib", "hashlib, zlib") can be run.
bool HavePython(const std::string& modules = "hashlib");
