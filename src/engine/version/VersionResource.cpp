#include "engine/version/VersionResource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string_view>

#include "text/Utf8.h"

namespace version {
namespace {

// wLength is 16 bits, so a real block never comes near this; a larger claim is corrupt and
// must not make us allocate what the header says.
constexpr uint64_t kMaxBlock = 1u << 20;
// Directories of real files hold a few dozen entries; anything beyond this is garbage.
constexpr uint32_t kMaxDirEntries = 4096;
constexpr uint64_t kMaxElfSections = 1u << 16;
constexpr uint16_t kRtVersion = 16;
constexpr uint16_t kRtIcon = 3;
constexpr uint16_t kRtGroupIcon = 14;
constexpr size_t kMaxIcons = 256;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(Le16(p)) | (uint32_t(Le16(p + 2)) << 16); }
uint64_t Le64(const uint8_t* p) { return uint64_t(Le32(p)) | (uint64_t(Le32(p + 4)) << 32); }

// off + len inside [0, size), without overflow.
bool InRange(uint64_t off, uint64_t len, uint64_t size) { return off <= size && len <= size - off; }

// Random access to the bytes being parsed: either a caller's buffer or a file read by ranges,
// so a large file is never loaded whole.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Size() const = 0;
    // Exactly len bytes at off, or false when the range is not entirely inside the source.
    virtual bool Read(uint64_t off, uint64_t len, uint8_t* out) = 0;

    bool Read(uint64_t off, uint64_t len, std::vector<uint8_t>& out) {
        if (!InRange(off, len, Size()) || len > kMaxBlock * 4) return false;
        out.resize(size_t(len));
        return len == 0 || Read(off, len, out.data());
    }
};

class BufferSource final : public Source {
public:
    explicit BufferSource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t off, uint64_t len, uint8_t* out) override {
        if (!InRange(off, len, bytes_.size())) return false;
        if (len) std::memcpy(out, bytes_.data() + off, size_t(len));
        return true;
    }
    using Source::Read;

private:
    const std::vector<uint8_t>& bytes_;
};

class FileSource final : public Source {
public:
    FileSource(const std::filesystem::path& path, uint64_t size)
        : in_(path, std::ios::binary), size_(size) {}
    bool IsOpen() const { return in_.is_open(); }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t off, uint64_t len, uint8_t* out) override {
        if (!InRange(off, len, size_)) return false;
        if (off > uint64_t(std::numeric_limits<std::streamoff>::max())) return false;
        in_.clear();
        in_.seekg(std::streamoff(off));
        in_.read(reinterpret_cast<char*>(out), std::streamsize(len));
        return in_ && uint64_t(in_.gcount()) == len;
    }
    using Source::Read;

private:
    std::ifstream in_;
    uint64_t size_;
};

// ---- PE ----------------------------------------------------------------------------------

struct Section {
    uint32_t va = 0, extent = 0, rawPtr = 0;
};

// File offset of [rva, rva + len) when it lies wholly in the file-backed part of one section;
// also how many bytes of that section follow rva.
struct Mapped {
    uint64_t offset = 0;
    uint64_t available = 0;
};

std::optional<Mapped> MapRva(const std::vector<Section>& sections, uint32_t rva, uint64_t len) {
    for (const Section& s : sections) {
        if (rva < s.va || rva - s.va >= s.extent) continue;
        const uint64_t delta = rva - s.va;
        if (len > s.extent - delta) return std::nullopt;
        return Mapped{uint64_t(s.rawPtr) + delta, s.extent - delta};
    }
    return std::nullopt;
}

// Follows one level of the resource tree. wantId: the entry whose numeric id matches;
// otherwise the first entry. Returns the raw OffsetToData field of the chosen entry.
std::optional<uint32_t> PickEntry(Source& src, uint64_t base, uint64_t limit, uint32_t dirOff,
                                  std::optional<uint16_t> wantId) {
    uint8_t head[16];
    if (!InRange(dirOff, 16, limit) || !src.Read(base + dirOff, 16, head)) return std::nullopt;
    const uint32_t count = uint32_t(Le16(head + 12)) + Le16(head + 14);
    if (count == 0 || count > kMaxDirEntries) return std::nullopt;
    const uint64_t entriesOff = uint64_t(dirOff) + 16;
    std::vector<uint8_t> entries;
    if (!InRange(entriesOff, uint64_t(count) * 8, limit) ||
        !src.Read(base + entriesOff, uint64_t(count) * 8, entries))
        return std::nullopt;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = entries.data() + size_t(i) * 8;
        const uint32_t name = Le32(e);
        if (!wantId || (!(name & 0x80000000u) && name == *wantId)) return Le32(e + 4);
    }
    return std::nullopt;
}

// The resource tree of a PE file: its sections and where the root directory lies.
struct PeResources {
    std::vector<Section> sections;
    uint64_t base = 0, limit = 0;
};

std::optional<PeResources> OpenPeResources(Source& src) {
    uint8_t dos[64];
    if (!src.Read(0, sizeof dos, dos) || dos[0] != 'M' || dos[1] != 'Z') return std::nullopt;
    const uint64_t peOff = Le32(dos + 0x3C);
    uint8_t coff[24];  // signature and COFF file header
    if (!src.Read(peOff, sizeof coff, coff) || std::memcmp(coff, "PE\0\0", 4) != 0) return std::nullopt;
    const uint16_t sectionCount = Le16(coff + 6);
    const uint16_t optSize = Le16(coff + 20);
    const uint64_t optOff = peOff + sizeof coff;

    uint8_t magic[2];
    if (optSize < 2 || !src.Read(optOff, 2, magic)) return std::nullopt;
    uint32_t countField, dirsField;
    switch (Le16(magic)) {
    case 0x10B: countField = 92; dirsField = 96; break;    // PE32
    case 0x20B: countField = 108; dirsField = 112; break;  // PE32+
    default: return std::nullopt;
    }
    const uint32_t rsrcSlot = dirsField + 2 * 8;
    if (optSize < rsrcSlot + 8) return std::nullopt;
    uint8_t field[8];
    if (!src.Read(optOff + countField, 4, field) || Le32(field) < 3) return std::nullopt;
    if (!src.Read(optOff + rsrcSlot, 8, field)) return std::nullopt;
    const uint32_t rsrcRva = Le32(field);
    if (rsrcRva == 0 || Le32(field + 4) == 0) return std::nullopt;

    if (sectionCount == 0) return std::nullopt;
    std::vector<uint8_t> table;
    if (!src.Read(optOff + optSize, uint64_t(sectionCount) * 40, table)) return std::nullopt;
    std::vector<Section> sections;
    sections.reserve(sectionCount);
    for (size_t i = 0; i < sectionCount; ++i) {
        const uint8_t* h = table.data() + i * 40;
        const uint32_t virtualSize = Le32(h + 8);
        const uint32_t rawSize = Le32(h + 16);
        Section s;
        s.va = Le32(h + 12);
        s.rawPtr = Le32(h + 20);
        // Only the file-backed part holds data; past VirtualSize the loader maps nothing.
        s.extent = virtualSize ? std::min(virtualSize, rawSize) : rawSize;
        if (uint64_t(s.rawPtr) + s.extent > src.Size())
            s.extent = uint32_t(src.Size() > s.rawPtr ? src.Size() - s.rawPtr : 0);
        sections.push_back(s);
    }

    // Directory offsets are relative to the resource root and must stay inside its section.
    const auto root = MapRva(sections, rsrcRva, 16);
    if (!root) return std::nullopt;
    return PeResources{std::move(sections), root->offset, root->available};
}

// The data of the first resource of `type` (and of the name id `name`, when given), first
// language; empty when there is none or the tree is malformed.
std::vector<uint8_t> FindResource(Source& src, const PeResources& res, uint16_t type,
                                  std::optional<uint16_t> name) {
    const std::vector<Section>& sections = res.sections;
    const uint64_t base = res.base, limit = res.limit;

    // Type, name, language: exactly three levels, then a data entry. Each level must lead to a
    // directory not seen before, so an entry pointing back up is refused at once.
    uint32_t dirs[3] = {0, 0, 0};
    uint32_t dirOff = 0;
    uint32_t leaf = 0;
    for (int level = 0; level < 3; ++level) {
        for (int seen = 0; seen < level; ++seen)
            if (dirs[seen] == dirOff) return {};
        dirs[level] = dirOff;
        const auto target =
            PickEntry(src, base, limit, dirOff,
                      level == 0 ? std::optional<uint16_t>(type) : level == 1 ? name : std::nullopt);
        if (!target) return {};
        const bool isDir = (*target & 0x80000000u) != 0;
        if (level < 2 && !isDir) return {};
        if (level == 2 && isDir) return {};
        dirOff = *target & 0x7FFFFFFFu;
        leaf = dirOff;
    }

    uint8_t data[16];
    if (!InRange(leaf, sizeof data, limit) || !src.Read(base + leaf, sizeof data, data)) return {};
    const uint32_t dataRva = Le32(data);
    const uint32_t dataSize = Le32(data + 4);
    if (dataSize == 0 || dataSize > kMaxBlock) return {};
    const auto where = MapRva(sections, dataRva, dataSize);
    std::vector<uint8_t> block;
    if (!where || !src.Read(where->offset, dataSize, block)) return {};
    return block;
}

std::vector<uint8_t> FromPe(Source& src) {
    const auto res = OpenPeResources(src);
    return res ? FindResource(src, *res, kRtVersion, std::nullopt) : std::vector<uint8_t>{};
}

// The first RT_GROUP_ICON with its RT_ICON images, as the bytes of an .ico file. Images the
// group names but the file lacks are left out; no image at all gives nothing.
std::vector<uint8_t> IconFromPe(Source& src) {
    const auto res = OpenPeResources(src);
    if (!res) return {};
    const std::vector<uint8_t> group = FindResource(src, *res, kRtGroupIcon, std::nullopt);
    if (group.size() < 6 || Le16(group.data()) != 0 || Le16(group.data() + 2) != 1) return {};
    const size_t count = Le16(group.data() + 4);
    if (count == 0 || count > kMaxIcons || group.size() < 6 + count * 14) return {};
    struct Image {
        const uint8_t* entry;
        std::vector<uint8_t> data;
    };
    std::vector<Image> images;
    uint64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = group.data() + 6 + i * 14;
        std::vector<uint8_t> data = FindResource(src, *res, kRtIcon, Le16(e + 12));
        if (data.empty()) continue;
        total += data.size();
        if (total > kMaxBlock * 4) return {};
        images.push_back({e, std::move(data)});
    }
    if (images.empty()) return {};
    std::vector<uint8_t> out;
    auto put16 = [&out](uint16_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); };
    auto put32 = [&put16](uint32_t v) { put16(uint16_t(v)); put16(uint16_t(v >> 16)); };
    put16(0);
    put16(1);
    put16(uint16_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (const Image& im : images) {
        out.insert(out.end(), im.entry, im.entry + 8);  // size, colours, reserved, planes, bit count
        put32(uint32_t(im.data.size()));
        put32(offset);
        offset += uint32_t(im.data.size());
    }
    for (const Image& im : images) out.insert(out.end(), im.data.begin(), im.data.end());
    return out;
}

// ---- ELF ---------------------------------------------------------------------------------

struct ElfSection {
    uint32_t name = 0, type = 0, link = 0;
    uint64_t offset = 0, size = 0;
};

std::vector<uint8_t> FromElf(Source& src) {
    uint8_t eh[64];
    if (!src.Read(0, 16, eh) || eh[5] != 1) return {};  // little-endian only
    const bool is64 = eh[4] == 2;
    if (!is64 && eh[4] != 1) return {};
    if (!src.Read(0, is64 ? 64 : 52, eh)) return {};
    const uint64_t shoff = is64 ? Le64(eh + 0x28) : Le32(eh + 0x20);
    const uint16_t entSize = Le16(eh + (is64 ? 0x3A : 0x2E));
    uint64_t count = Le16(eh + (is64 ? 0x3C : 0x30));
    uint32_t strIndex = Le16(eh + (is64 ? 0x3E : 0x32));
    if (shoff == 0 || entSize < (is64 ? 64 : 40)) return {};

    auto readSection = [&](uint64_t index, ElfSection& s) {
        uint8_t h[64];
        if (index >= kMaxElfSections) return false;
        const uint64_t off = shoff + index * entSize;  // index * entSize < 2^32
        if (off < shoff || !src.Read(off, is64 ? 64 : 40, h)) return false;
        s.name = Le32(h);
        s.type = Le32(h + 4);
        if (is64) {
            s.offset = Le64(h + 24);
            s.size = Le64(h + 32);
            s.link = Le32(h + 40);
        } else {
            s.offset = Le32(h + 16);
            s.size = Le32(h + 20);
            s.link = Le32(h + 24);
        }
        return true;
    };

    // Files with very many sections keep the real count and string-table index in section 0.
    ElfSection first;
    if (!readSection(0, first)) return {};
    if (count == 0) count = first.size;
    if (strIndex == 0xFFFF) strIndex = first.link;
    if (count == 0 || count > kMaxElfSections || strIndex >= count) return {};

    ElfSection names;
    constexpr uint32_t kNoBits = 8;
    if (!readSection(strIndex, names) || names.type == kNoBits) return {};
    if (!InRange(names.offset, names.size, src.Size())) return {};

    const std::string_view wanted(kElfSection);
    std::vector<char> name(wanted.size() + 1);
    for (uint64_t i = 1; i < count; ++i) {
        ElfSection s;
        if (!readSection(i, s)) return {};
        if (!InRange(s.name, name.size(), names.size)) continue;
        if (!src.Read(names.offset + s.name, name.size(), reinterpret_cast<uint8_t*>(name.data())))
            return {};
        if (name.back() != '\0' || wanted != name.data()) continue;
        if (s.type == kNoBits || s.size == 0 || s.size > kMaxBlock) return {};
        std::vector<uint8_t> block;
        if (!src.Read(s.offset, s.size, block)) return {};
        // The section may be padded after the block (alignment, sanitizer red zones).
        if (block.size() >= 2) {
            const uint16_t length = Le16(block.data());
            if (length >= 6 && length < block.size()) block.resize(length);
        }
        return block;
    }
    return {};
}

std::vector<uint8_t> Extract(Source& src) {
    uint8_t magic[4];
    if (!src.Read(0, sizeof magic, magic)) return {};
    if (magic[0] == 'M' && magic[1] == 'Z') return FromPe(src);
    if (std::memcmp(magic, "\x7F" "ELF", 4) == 0) return FromElf(src);
    return {};
}

// ---- UTF-8 / UTF-16 ----------------------------------------------------------------------

constexpr uint32_t kReplacement = 0xFFFD;

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        const uint8_t b = uint8_t(s[i]);
        int extra;
        uint32_t cp, min;
        if (b < 0x80) { extra = 0; cp = b; min = 0; }
        else if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; min = 0x10000; }
        else { out += char16_t(kReplacement); ++i; continue; }
        int got = 0;
        while (got < extra && i + 1 + got < s.size() && (uint8_t(s[i + 1 + got]) & 0xC0) == 0x80) {
            cp = (cp << 6) | (uint8_t(s[i + 1 + got]) & 0x3F);
            ++got;
        }
        i += 1 + got;
        if (got < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += char16_t(kReplacement);
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

// ---- VS_VERSIONINFO nodes ----------------------------------------------------------------

size_t Align4(size_t off) { return (off + 3) & ~size_t(3); }

struct Node {
    size_t start = 0, end = 0;
    size_t keyStart = 0, keyEnd = 0;  // UTF-16 units, NUL excluded
    uint16_t valueLength = 0, type = 0;
    size_t valueStart = 0;
    size_t valueBytes() const { return type == 1 ? size_t(valueLength) * 2 : valueLength; }
    size_t childrenStart() const { return Align4(valueStart + valueBytes()); }
};

// The node at `start`, which must lie wholly before `limit` (its parent's end).
std::optional<Node> ParseNode(const std::vector<uint8_t>& b, size_t start, size_t limit) {
    if (limit > b.size() || start > limit || limit - start < 6) return std::nullopt;
    const uint16_t length = Le16(&b[start]);
    if (length < 6 || length > limit - start) return std::nullopt;
    Node n;
    n.start = start;
    n.end = start + length;
    n.valueLength = Le16(&b[start + 2]);
    n.type = Le16(&b[start + 4]);
    n.keyStart = start + 6;
    size_t p = n.keyStart;
    while (p + 2 <= n.end && Le16(&b[p]) != 0) p += 2;
    if (p + 2 > n.end) return std::nullopt;  // key without its NUL
    n.keyEnd = p;
    n.valueStart = Align4(p + 2);
    return n;
}

bool KeyEquals(const std::vector<uint8_t>& b, const Node& n, const std::u16string& key) {
    if ((n.keyEnd - n.keyStart) / 2 != key.size()) return false;
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (size_t i = 0; i < key.size(); ++i)
        if (fold(char16_t(Le16(&b[n.keyStart + 2 * i]))) != fold(key[i])) return false;
    return true;
}

// First child of `parent` whose key matches, as VerQueryValue searches. A child that does not
// fit inside its parent ends the search with nothing.
std::optional<Node> FindChild(const std::vector<uint8_t>& b, const Node& parent,
                              const std::string& key) {
    const std::u16string wanted = Utf8ToUtf16(key);
    size_t off = parent.childrenStart();
    while (true) {
        off = Align4(off);
        if (off >= parent.end || parent.end - off < 6) return std::nullopt;  // padding only
        const auto child = ParseNode(b, off, parent.end);
        if (!child) return std::nullopt;
        if (KeyEquals(b, *child, wanted)) return child;
        off = child->end;
    }
}

std::optional<Node> Root(const std::vector<uint8_t>& block) {
    return ParseNode(block, 0, block.size());
}

// Writes one node (header, key, padding, value, children) with its lengths filled in;
// false when it does not fit the 16-bit length.
struct OutNode {
    std::u16string key;
    uint16_t type = 1;
    std::vector<uint8_t> value;
    uint16_t valueLength = 0;
    std::vector<OutNode> children;
};

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}
void Pad4(std::vector<uint8_t>& out) { out.resize(Align4(out.size()), 0); }

bool Write(const OutNode& n, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    Put16(out, 0);
    Put16(out, n.valueLength);
    Put16(out, n.type);
    for (char16_t c : n.key) Put16(out, uint16_t(c));
    Put16(out, 0);
    Pad4(out);
    out.insert(out.end(), n.value.begin(), n.value.end());
    for (const OutNode& c : n.children) {
        Pad4(out);
        if (!Write(c, out)) return false;
    }
    const size_t length = out.size() - start;
    if (length > 0xFFFF) return false;
    out[start] = uint8_t(length);
    out[start + 1] = uint8_t(length >> 8);
    return true;
}

}  // namespace

std::vector<uint8_t> ExtractVersionResource(const std::vector<uint8_t>& fileBytes) {
    BufferSource src(fileBytes);
    return Extract(src);
}

std::vector<uint8_t> ExtractIconFile(const std::vector<uint8_t>& fileBytes) {
    BufferSource src(fileBytes);
    return IconFromPe(src);
}

std::vector<uint8_t> LoadIconFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p(path);
    if (path.empty() || !std::filesystem::is_regular_file(p, ec)) return {};
    const auto size = std::filesystem::file_size(p, ec);
    if (ec) return {};
    FileSource src(p, size);
    if (!src.IsOpen()) return {};
    return IconFromPe(src);
}

std::vector<uint8_t> LoadVersionResource(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path p(path);
    // Only regular files: opening a FIFO or a device could block or never end.
    if (path.empty() || !std::filesystem::is_regular_file(p, ec)) return {};
    const auto size = std::filesystem::file_size(p, ec);
    if (ec) return {};
    FileSource src(p, size);
    if (!src.IsOpen()) return {};
    return Extract(src);
}

std::optional<uint32_t> QueryTranslation(const std::vector<uint8_t>& block) {
    const auto root = Root(block);
    if (!root) return std::nullopt;
    const auto var = FindChild(block, *root, "VarFileInfo");
    if (!var) return std::nullopt;
    const auto translation = FindChild(block, *var, "Translation");
    if (!translation) return std::nullopt;
    const size_t bytes = translation->valueBytes();
    if (bytes < 4 || translation->valueStart > translation->end ||
        bytes > translation->end - translation->valueStart)
        return std::nullopt;
    return Le32(&block[translation->valueStart]);
}

std::optional<std::string> QueryString(const std::vector<uint8_t>& block, const std::string& table,
                                       const std::string& name) {
    const auto root = Root(block);
    if (!root) return std::nullopt;
    const auto info = FindChild(block, *root, "StringFileInfo");
    if (!info) return std::nullopt;
    const auto strings = FindChild(block, *info, table);
    if (!strings) return std::nullopt;
    const auto entry = FindChild(block, *strings, name);
    if (!entry) return std::nullopt;

    // Resource compilers disagree on whether wValueLength counts characters or bytes and on
    // wType, so a non-empty value runs to its NUL or to the end of the node.
    std::string out;
    if (entry->valueLength == 0) return out;
    const size_t stop = entry->end;
    for (size_t p = entry->valueStart; p + 2 <= stop;) {
        const uint16_t u = Le16(&block[p]);
        p += 2;
        if (u == 0) break;
        if (u >= 0xD800 && u <= 0xDBFF && p + 2 <= stop) {
            const uint16_t low = Le16(&block[p]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                p += 2;
                AppendUtf8(out, 0x10000 + ((uint32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    return out;
}

std::vector<uint8_t> BuildVersionResource(const VersionData& data) {
    OutNode root;
    root.key = u"VS_VERSION_INFO";
    root.type = 0;
    Put32(root.value, 0xFEEF04BD);  // signature
    Put32(root.value, 0x00010000);  // structure version
    Put32(root.value, data.fileVersionMS);
    Put32(root.value, data.fileVersionLS);
    Put32(root.value, data.fileVersionMS);  // product version
    Put32(root.value, data.fileVersionLS);
    Put32(root.value, 0x3F);     // flags mask
    Put32(root.value, 0);        // flags
    Put32(root.value, 0x40004);  // VOS_NT_WINDOWS32
    Put32(root.value, 1);        // VFT_APP
    Put32(root.value, 0);        // subtype
    Put32(root.value, 0);        // date
    Put32(root.value, 0);
    root.valueLength = uint16_t(root.value.size());

    char tableName[9];
    std::snprintf(tableName, sizeof tableName, "%04X%04X", unsigned(data.language),
                  unsigned(data.codePage));
    OutNode table;
    table.key = Utf8ToUtf16(tableName);
    for (const auto& [name, value] : data.strings) {
        OutNode s;
        s.key = Utf8ToUtf16(name);
        std::u16string text = Utf8ToUtf16(value);
        text.push_back(u'\0');
        for (char16_t c : text) Put16(s.value, uint16_t(c));
        if (text.size() > 0xFFFF) return {};
        s.valueLength = uint16_t(text.size());  // characters, NUL included
        table.children.push_back(std::move(s));
    }
    OutNode stringInfo;
    stringInfo.key = u"StringFileInfo";
    stringInfo.children.push_back(std::move(table));

    OutNode translation;
    translation.key = u"Translation";
    translation.type = 0;
    Put16(translation.value, data.language);
    Put16(translation.value, data.codePage);
    translation.valueLength = 4;
    OutNode varInfo;
    varInfo.key = u"VarFileInfo";
    varInfo.children.push_back(std::move(translation));

    root.children.push_back(std::move(stringInfo));
    root.children.push_back(std::move(varInfo));

    std::vector<uint8_t> out;
    if (!Write(root, out)) return {};
    return out;
}

}  // namespace version
