// Small archives made by the tests: ZIP by Python's zipfile, CAB by gcab, LZH (stored, level 0
// headers) written here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

struct TArchiveItem {
    std::string Name;
    std::string Data;          // a symbolic link's target when Link is set
    bool Link = false;
};

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Writes `out` with Python's zipfile; returns false when python3 failed.
inline bool MakeZip(const std::filesystem::path& out, const std::vector<TArchiveItem>& items) {
    const std::filesystem::path script = out.parent_path() / "makezip.py";
    std::ofstream(script) << "import sys, zipfile\n"
                             "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                             "    for i in range(2, len(sys.argv), 3):\n"
                             "        kind, name, data = sys.argv[i:i + 3]\n"
                             "        if kind == 'l':\n"
                             "            info = zipfile.ZipInfo(name)\n"
                             "            info.create_system = 3\n"
                             "            info.external_attr = 0o120777 << 16\n"
                             "            z.writestr(info, data)\n"
                             "        else:\n"
                             "            z.writestr(name, data, compress_type=zipfile.ZIP_DEFLATED)\n"
                             "print('ok')\n";
    std::string command = "python3 " + Quote(script.string()) + " " + Quote(out.string());
    for (const TArchiveItem& i : items) command += std::string(i.Link ? " l " : " f ") + Quote(i.Name) + " " + Quote(i.Data);
    return RunCommand(command + " 2>/dev/null") == "ok\n";
}

// Writes `out` with gcab from files staged under `stage`; returns false when gcab failed.
inline bool MakeCab(const std::filesystem::path& out, const std::filesystem::path& stage,
                    const std::vector<TArchiveItem>& items) {
    std::string names;
    for (const TArchiveItem& i : items) {
        std::filesystem::create_directories((stage / i.Name).parent_path());
        std::ofstream(stage / i.Name, std::ios::binary) << i.Data;
        names += " " + Quote(i.Name);
    }
    return RunCommand("cd " + Quote(stage.string()) + " && gcab -c -z " + Quote(out.string()) + names +
                      " >/dev/null 2>&1 && echo ok") == "ok\n";
}

// CRC-16 as LHA uses it (reflected 0xA001, initial 0).
inline uint16_t LhaCrc16(const std::string& data) {
    uint16_t crc = 0;
    for (const unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

// Stored (-lh0-) members with level 0 headers; '\' separates folders in a name.
inline void MakeLzh(const std::filesystem::path& out, const std::vector<TArchiveItem>& items) {
    std::string bytes;
    auto le = [](std::string& s, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) s += char((v >> (8 * i)) & 0xFF);
    };
    for (const TArchiveItem& i : items) {
        std::string h = "-lh0-";
        le(h, uint32_t(i.Data.size()), 4);
        le(h, uint32_t(i.Data.size()), 4);
        le(h, (uint32_t((2020 - 1980) << 9 | 1 << 5 | 1) << 16) | (12u << 11), 4);   // 2020-01-01 12:00
        h += char(0x20);   // archive attribute
        h += char(0);      // level 0
        h += char(i.Name.size());
        h += i.Name;
        le(h, LhaCrc16(i.Data), 2);
        unsigned sum = 0;
        for (const unsigned char c : h) sum += c;
        bytes += char(h.size());
        bytes += char(sum & 0xFF);
        bytes += h + i.Data;
    }
    bytes += char(0);
    std::ofstream(out, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}
