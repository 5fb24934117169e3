// Version resources (VS_VERSIONINFO) of Windows programs, read on any platform; our own
// binary carries one in an ELF section so the same reader serves the program itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace version {

// ELF section that holds the program's own VS_VERSIONINFO block.
inline constexpr const char* kElfSection = ".tavr_version";

// The VS_VERSIONINFO block of a PE file (RT_VERSION in .rsrc, first entry found) or of an
// ELF file (section kElfSection); empty when there is none or the file is malformed.
// Never reads outside the file, bounded work for any input.
std::vector<uint8_t> LoadVersionResource(const std::string& path);
std::vector<uint8_t> ExtractVersionResource(const std::vector<uint8_t>& fileBytes);

// The program icon of a PE file as the Windows shell shows it: the first icon group
// (RT_GROUP_ICON) and its images (RT_ICON, DIB or PNG), given back as the bytes of an .ico
// file; empty when there is none or the file is malformed. Bounds-checked as above.
std::vector<uint8_t> ExtractIconFile(const std::vector<uint8_t>& fileBytes);
std::vector<uint8_t> LoadIconFile(const std::string& path);

// VerQueryValue stand-ins over a block.
// First entry of \VarFileInfo\Translation: language in the low 16 bits, code page in the high.
std::optional<uint32_t> QueryTranslation(const std::vector<uint8_t>& block);
// Value of \StringFileInfo\<table>\<name> (table e.g. "041104B0"), UTF-16 decoded to UTF-8.
std::optional<std::string> QueryString(const std::vector<uint8_t>& block, const std::string& table,
                                       const std::string& name);

// Writes a block: one string table and one translation entry.
struct VersionData {
    uint16_t language = 0x0411;
    uint16_t codePage = 0x04B0;
    std::vector<std::pair<std::string, std::string>> strings;   // name, UTF-8 value
    uint32_t fileVersionMS = 0, fileVersionLS = 0;
};
std::vector<uint8_t> BuildVersionResource(const VersionData& data);

}  // namespace version
