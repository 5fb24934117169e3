// Minimal PE and ELF files and raw VS_VERSIONINFO nodes, made in memory for the version-resource
// tests and the fuzzer's seed corpus. The layouts are small and fixed so that tests can corrupt
// one field at a known offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pebuild {

// A resource identifier: a number, or a name when `name` is not empty.
struct ResId {
    uint16_t id = 0;
    std::u16string name;
};

struct Resource {
    ResId type;
    ResId name;
    uint16_t language = 0;
    std::vector<uint8_t> data;
};

struct PeOptions {
    bool pe32plus = false;
    uint32_t lfanew = 0x80;
    // No .rsrc section and an empty resource directory slot when there are no resources.
    std::vector<Resource> resources;
};

// The file and where its parts are. Offsets are file offsets; 0 means "not present".
// The resource data come last, in the order given, with nothing after them, so cutting the
// file anywhere cuts something the reader needs.
struct PeImage {
    std::vector<uint8_t> bytes;
    size_t coffHeader = 0;         // just after "PE\0\0"
    size_t optionalHeader = 0;
    size_t resourceSlot = 0;       // data directory entry 2 (RVA, size)
    size_t sectionTable = 0;
    size_t rsrcSectionHeader = 0;  // entry of .rsrc in the section table
    size_t rsrcRaw = 0;            // resource root directory
    uint32_t rsrcRva = 0;
    // The path taken to the first RT_VERSION resource.
    size_t versionTypeEntry = 0;   // entry in the root directory
    size_t versionNameDir = 0;
    size_t versionLangDir = 0;
    size_t versionDataEntry = 0;
    size_t versionData = 0;
};

PeImage BuildPe(const PeOptions& options);

// ELF file with the given sections (name, contents) plus the section-name table.
struct ElfImage {
    std::vector<uint8_t> bytes;
    size_t sectionHeaders = 0;
    std::vector<size_t> sectionData;  // file offset of each given section's contents
};
ElfImage BuildElf(bool is64, const std::vector<std::pair<std::string, std::vector<uint8_t>>>& sections);

// A VS_VERSIONINFO node written field by field; the lengths can be forced to wrong values.
struct VersionNode {
    std::u16string key;
    uint16_t type = 1;
    std::vector<uint8_t> value;
    std::optional<uint16_t> valueLength;  // default: characters for type 1, bytes otherwise
    std::optional<uint16_t> length;       // default: the true length
    std::vector<VersionNode> children;
};
std::vector<uint8_t> WriteNode(const VersionNode& node);

// An RT_GROUP_ICON directory (GRPICONDIR) naming RT_ICON resources by id.
struct IconEntry {
    uint8_t width = 16, height = 16;  // 0 means 256
    uint16_t bitCount = 32;
    uint32_t bytes = 0;               // size of the image resource
    uint16_t id = 1;
};
std::vector<uint8_t> IconGroup(const std::vector<IconEntry>& entries);

// UTF-16LE bytes of s, with a terminating NUL when asked.
std::vector<uint8_t> Utf16(const std::u16string& s, bool nul = true);

uint32_t Le32(const std::vector<uint8_t>& b, size_t off);
void Put16(std::vector<uint8_t>& b, size_t off, uint16_t v);
void Put32(std::vector<uint8_t>& b, size_t off, uint32_t v);

}  // namespace pebuild
