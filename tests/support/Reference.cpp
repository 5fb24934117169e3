#include "support/Reference.h"

#include "support/TempDir.h"

std::string LowerHex(const uint8_t* p, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

bool HavePython(const std::string& modules) {
    return RunCommand("python3 -c 'import " + modules + "; print(1)' 2>/dev/null") == "1\n";
}
