#include "support/CacheFixtures.h"

#include <cstdio>

#include "engine/digest/Crc32.h"
#include "support/TempDir.h"

std::string Crc32Text(const std::string& bytes) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X",
                  ~digest::Crc32Feed(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return text;
}

// The register is run backwards from the wanted final state (the top bytes of the table
// entries are all different, so each step back is unique), then joined to the state after
// the prefix.
std::string ForgeCrc32Suffix(const std::string& prefix, uint32_t target) {
    uint32_t table[256];
    digest::Crc32BuildTable(table);
    uint8_t byTop[256];
    for (int i = 0; i < 256; ++i) byTop[table[i] >> 24] = uint8_t(i);
    uint32_t reg = ~target;
    for (int k = 0; k < 4; ++k) {
        const uint8_t j = byTop[reg >> 24];
        reg = ((reg ^ table[j]) << 8) | j;
    }
    const uint32_t wanted =
        reg ^ digest::Crc32Feed(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(prefix.data()), prefix.size());
    std::string suffix(4, '\0');
    for (int i = 0; i < 4; ++i) suffix[size_t(i)] = char(wanted >> (8 * i));
    return suffix;
}

std::string Crc32Twin(const std::string& genuine) {
    uint32_t target = 0;
    std::sscanf(Crc32Text(genuine).c_str(), "%8X", &target);
    std::string prefix = genuine.substr(0, genuine.size() - 4);
    prefix[0] = char(prefix[0] ^ 0x20);
    return prefix + ForgeCrc32Suffix(prefix, target);
}

std::string ReferenceFingerprint(const std::string& path) {
    const std::string hex = RunCommand(
        "python3 -c \"import hashlib, os, struct, sys; s = os.stat(sys.argv[1]); "
        "print(hashlib.sha1(struct.pack('<QQqqq', s.st_dev, s.st_ino, s.st_size, s.st_mtime_ns, "
        "s.st_ctime_ns)).hexdigest()[:24])\" '" + path + "'");
    if (hex.size() != 25) return {};
    std::string bytes;
    for (size_t i = 0; i < 24; i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}
