#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace digest {

// Two upper-case hexadecimal digits per byte, in order.
inline std::string HexUpper(const uint8_t* bytes, size_t n) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s(n * 2, '0');
    for (size_t i = 0; i < n; ++i) {
        s[2 * i] = digits[bytes[i] >> 4];
        s[2 * i + 1] = digits[bytes[i] & 15];
    }
    return s;
}

}  // namespace digest
