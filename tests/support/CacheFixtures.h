// Fixtures of the hash-cache tests: files forged to another file's CRC32, and what a cache
// record must keep of a file's identity, computed without our code.
#pragma once

#include <cstdint>
#include <string>

// The CRC32 of `bytes` as 8 upper-case digits.
std::string Crc32Text(const std::string& bytes);

// Four bytes that, appended to `prefix`, give the whole the CRC32 `target`.
std::string ForgeCrc32Suffix(const std::string& prefix, uint32_t target);

// Bytes as long as `genuine`, different from it, with its CRC32.
std::string Crc32Twin(const std::string& genuine);

// The 12 bytes a record keeps of the identity of the file at `path`: the start of the SHA-1
// of device, inode, size, modified and change time in nanoseconds (little-endian 64-bit
// each), from Python's os.stat and hashlib. Empty when Python cannot tell.
std::string ReferenceFingerprint(const std::string& path);
