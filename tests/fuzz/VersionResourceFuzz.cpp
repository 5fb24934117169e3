// Any input, as a file and as a version block: no crash, no read outside the input, whatever
// the reader returns is part of the input, and reading the bytes from disk gives the same.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/version/VersionResource.h"

namespace {

void Query(const std::vector<uint8_t>& block) {
    std::string table = "041104B0";
    if (const auto t = version::QueryTranslation(block)) {
        char buf[9];
        std::snprintf(buf, sizeof buf, "%04X%04X", unsigned(*t & 0xFFFF), unsigned(*t >> 16));
        table = buf;
    }
    for (const char* name : {"FileVersion", "LegalCopyright", "FileDescription"})
        (void)version::QueryString(block, table, name);
}

// The writer's output always reads back, and reading is stable once the value is normalised.
void RoundTrip(const uint8_t* data, size_t size) {
    const std::string value(reinterpret_cast<const char*>(data), std::min<size_t>(size, 2000));
    version::VersionData d;
    d.strings = {{"Comments", value}};
    const auto block = version::BuildVersionResource(d);
    const auto back = version::QueryString(block, "041104B0", "Comments");
    if (!back || version::QueryTranslation(block) != 0x04B00411u) std::abort();
    d.strings = {{"Comments", *back}};
    if (version::QueryString(version::BuildVersionResource(d), "041104B0", "Comments") != back)
        std::abort();
    const bool plainAscii = std::all_of(value.begin(), value.end(),
                                        [](char c) { return c > 0 && uint8_t(c) < 0x80; });
    if (plainAscii && *back != value) std::abort();
}

// The reader that works on files by ranges must agree with the one over a buffer.
void SameFromFile(const std::vector<uint8_t>& input, const std::vector<uint8_t>& block,
                  const std::vector<uint8_t>& icon) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("tav-fuzz-" + std::to_string(getpid()))).string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size()));
    }
    if (version::LoadVersionResource(path) != block) std::abort();
    if (version::LoadIconFile(path) != icon) std::abort();
}

uint32_t Le(const std::vector<uint8_t>& b, size_t off, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t(b[off + size_t(i)]) << (8 * i);
    return v;
}

// An icon is a well-formed .ico whose every image lies inside it and comes from the input.
void CheckIcon(const std::vector<uint8_t>& input, const std::vector<uint8_t>& icon) {
    if (icon.empty()) return;
    if (icon.size() < 6 || Le(icon, 0, 2) != 0 || Le(icon, 2, 2) != 1) std::abort();
    const size_t count = Le(icon, 4, 2);
    if (count == 0 || icon.size() < 6 + 16 * count) std::abort();
    for (size_t i = 0; i < count; ++i) {
        const size_t size = Le(icon, 6 + 16 * i + 8, 4), offset = Le(icon, 6 + 16 * i + 12, 4);
        if (offset > icon.size() || size > icon.size() - offset) std::abort();
        const auto begin = icon.begin() + long(offset);
        if (std::search(input.begin(), input.end(), begin, begin + long(size)) == input.end()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input(data, data + size);
    const auto block = version::ExtractVersionResource(input);
    if (!block.empty() &&
        std::search(input.begin(), input.end(), block.begin(), block.end()) == input.end())
        std::abort();
    const auto icon = version::ExtractIconFile(input);
    CheckIcon(input, icon);
    SameFromFile(input, block, icon);
    Query(block);
    Query(input);
    RoundTrip(data, size);
    return 0;
}
