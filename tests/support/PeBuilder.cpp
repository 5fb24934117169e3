#include "support/PeBuilder.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace pebuild {
namespace {

void Grow(std::vector<uint8_t>& b, size_t size) {
    if (b.size() < size) b.resize(size, 0);
}
void Align(std::vector<uint8_t>& b, size_t to) { Grow(b, (b.size() + to - 1) / to * to); }
void Append16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put64(std::vector<uint8_t>& b, size_t off, uint64_t v) {
    Put32(b, off, uint32_t(v));
    Put32(b, off + 4, uint32_t(v >> 32));
}

// Resource directories list named entries first (by name), then numeric ones (ascending).
struct IdLess {
    bool operator()(const ResId& a, const ResId& b) const {
        const bool an = !a.name.empty(), bn = !b.name.empty();
        if (an != bn) return an;
        return an ? a.name < b.name : a.id < b.id;
    }
};

using LangMap = std::map<uint16_t, size_t>;  // language -> index into resources
using NameMap = std::map<ResId, LangMap, IdLess>;
using TypeMap = std::map<ResId, NameMap, IdLess>;

void WriteDirHeader(std::vector<uint8_t>& s, size_t off, uint16_t named, uint16_t ids) {
    Put16(s, off + 12, named);
    Put16(s, off + 14, ids);
}

template <class Map>
std::pair<uint16_t, uint16_t> Counts(const Map& m) {
    uint16_t named = 0, ids = 0;
    for (const auto& [id, sub] : m) (id.name.empty() ? ids : named)++;
    return {named, ids};
}

}  // namespace

uint32_t Le32(const std::vector<uint8_t>& b, size_t off) {
    return uint32_t(b.at(off)) | uint32_t(b.at(off + 1)) << 8 | uint32_t(b.at(off + 2)) << 16 |
           uint32_t(b.at(off + 3)) << 24;
}

void Put16(std::vector<uint8_t>& b, size_t off, uint16_t v) {
    Grow(b, off + 2);
    b[off] = uint8_t(v);
    b[off + 1] = uint8_t(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t off, uint32_t v) {
    Put16(b, off, uint16_t(v));
    Put16(b, off + 2, uint16_t(v >> 16));
}

std::vector<uint8_t> Utf16(const std::u16string& s, bool nul) {
    std::vector<uint8_t> out;
    for (char16_t c : s) Append16(out, uint16_t(c));
    if (nul) Append16(out, 0);
    return out;
}

PeImage BuildPe(const PeOptions& o) {
    constexpr uint32_t kFileAlign = 0x200, kTextRva = 0x1000, kRsrcRva = 0x2000;
    const bool hasRsrc = !o.resources.empty();
    const uint16_t optSize = o.pe32plus ? 240 : 224;
    const uint16_t sectionCount = hasRsrc ? 2 : 1;

    PeImage img;
    std::vector<uint8_t>& b = img.bytes;
    Grow(b, o.lfanew);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, o.lfanew);

    const size_t pe = o.lfanew;
    Grow(b, pe + 4);
    b[pe] = 'P';
    b[pe + 1] = 'E';
    img.coffHeader = pe + 4;
    Put16(b, img.coffHeader, o.pe32plus ? 0x8664 : 0x014C);
    Put16(b, img.coffHeader + 2, sectionCount);
    Put16(b, img.coffHeader + 16, optSize);
    Put16(b, img.coffHeader + 18, o.pe32plus ? 0x0022 : 0x0102);

    const size_t opt = img.coffHeader + 20;
    img.optionalHeader = opt;
    Put16(b, opt, o.pe32plus ? 0x20B : 0x10B);
    Put32(b, opt + 16, kTextRva);  // entry point
    Put32(b, opt + 20, kTextRva);  // base of code
    if (o.pe32plus)
        Put64(b, opt + 24, 0x140000000ull);
    else
        Put32(b, opt + 28, 0x400000);
    Put32(b, opt + 32, 0x1000);  // section alignment
    Put32(b, opt + 36, kFileAlign);
    Put16(b, opt + 40, 6);       // OS version
    Put16(b, opt + 48, 6);       // subsystem version
    Put16(b, opt + 68, 3);       // console
    const size_t countField = opt + (o.pe32plus ? 108 : 92);
    Put32(b, countField, 16);
    const size_t dirs = opt + (o.pe32plus ? 112 : 96);
    img.resourceSlot = dirs + 2 * 8;
    Grow(b, opt + optSize);

    img.sectionTable = opt + optSize;
    Grow(b, img.sectionTable + 40 * sectionCount);
    Align(b, kFileAlign);
    const size_t headersSize = b.size();
    Put32(b, opt + 60, uint32_t(headersSize));

    // .text: filler the reader must skip.
    const size_t textRaw = b.size();
    b.resize(textRaw + kFileAlign, 0xCC);
    const size_t th = img.sectionTable;
    std::copy_n(".text\0\0\0", 8, b.begin() + th);
    Put32(b, th + 8, kFileAlign);
    Put32(b, th + 12, kTextRva);
    Put32(b, th + 16, kFileAlign);
    Put32(b, th + 20, uint32_t(textRaw));
    Put32(b, th + 36, 0x60000020);
    uint32_t imageSize = kTextRva + 0x1000;

    if (hasRsrc) {
        TypeMap tree;
        for (size_t i = 0; i < o.resources.size(); ++i) {
            const Resource& r = o.resources[i];
            tree[r.type][r.name][r.language] = i;
        }

        // Lay out directories, data entries, name strings, then data, relative to the root.
        std::vector<uint8_t> s;
        size_t next = 16 + 8 * tree.size();
        std::map<const NameMap*, size_t> nameDirs;
        std::map<const LangMap*, size_t> langDirs;
        for (const auto& [type, names] : tree) {
            nameDirs[&names] = next;
            next += 16 + 8 * names.size();
        }
        for (const auto& [type, names] : tree)
            for (const auto& [name, langs] : names) {
                langDirs[&langs] = next;
                next += 16 + 8 * langs.size();
            }
        std::vector<size_t> dataEntry(o.resources.size());
        for (size_t i = 0; i < o.resources.size(); ++i) {
            dataEntry[i] = next;
            next += 16;
        }
        std::map<std::u16string, size_t> nameStrings;
        for (const Resource& r : o.resources)
            for (const ResId* id : {&r.type, &r.name})
                if (!id->name.empty() && !nameStrings.count(id->name)) {
                    nameStrings[id->name] = next;
                    next += 2 + 2 * id->name.size();
                }
        std::vector<size_t> dataAt(o.resources.size());
        for (size_t i = 0; i < o.resources.size(); ++i) {
            next = (next + 3) & ~size_t(3);
            dataAt[i] = next;
            next += o.resources[i].data.size();
        }
        s.resize(next, 0);

        auto entry = [&](size_t at, const ResId& id, uint32_t target) {
            Put32(s, at, id.name.empty() ? id.id : 0x80000000u | uint32_t(nameStrings.at(id.name)));
            Put32(s, at + 4, target);
        };
        const auto [tn, ti] = Counts(tree);
        WriteDirHeader(s, 0, tn, ti);
        size_t e = 16;
        std::optional<size_t> versionType;
        for (const auto& [type, names] : tree) {
            if (!versionType && type.name.empty() && type.id == 16) versionType = e;
            entry(e, type, 0x80000000u | uint32_t(nameDirs.at(&names)));
            e += 8;
            const size_t nd = nameDirs.at(&names);
            const auto [nn, ni] = Counts(names);
            WriteDirHeader(s, nd, nn, ni);
            size_t ne = nd + 16;
            for (const auto& [name, langs] : names) {
                entry(ne, name, 0x80000000u | uint32_t(langDirs.at(&langs)));
                ne += 8;
                const size_t ld = langDirs.at(&langs);
                WriteDirHeader(s, ld, 0, uint16_t(langs.size()));
                size_t le = ld + 16;
                for (const auto& [lang, index] : langs) {
                    entry(le, ResId{lang, {}}, uint32_t(dataEntry[index]));
                    le += 8;
                }
            }
        }
        for (const auto& [name, at] : nameStrings) {
            Put16(s, at, uint16_t(name.size()));
            for (size_t i = 0; i < name.size(); ++i) Put16(s, at + 2 + 2 * i, uint16_t(name[i]));
        }
        for (size_t i = 0; i < o.resources.size(); ++i) {
            Put32(s, dataEntry[i], kRsrcRva + uint32_t(dataAt[i]));
            Put32(s, dataEntry[i] + 4, uint32_t(o.resources[i].data.size()));
            std::copy(o.resources[i].data.begin(), o.resources[i].data.end(), s.begin() + dataAt[i]);
        }

        img.rsrcRaw = b.size();
        img.rsrcRva = kRsrcRva;
        b.insert(b.end(), s.begin(), s.end());
        const size_t rh = img.sectionTable + 40;
        img.rsrcSectionHeader = rh;
        std::copy_n(".rsrc\0\0\0", 8, b.begin() + rh);
        Put32(b, rh + 8, uint32_t(s.size()));
        Put32(b, rh + 12, kRsrcRva);
        // Not rounded up to the file alignment: the file ends with the last resource's data.
        Put32(b, rh + 16, uint32_t(s.size()));
        Put32(b, rh + 20, uint32_t(img.rsrcRaw));
        Put32(b, rh + 36, 0x40000040);
        Put32(b, img.resourceSlot, kRsrcRva);
        Put32(b, img.resourceSlot + 4, uint32_t(s.size()));
        imageSize = kRsrcRva + ((uint32_t(s.size()) + 0xFFF) & ~0xFFFu);

        if (versionType) {
            img.versionTypeEntry = img.rsrcRaw + *versionType;
            const auto& names = tree.at(ResId{16, {}});
            const auto& langs = names.begin()->second;
            img.versionNameDir = img.rsrcRaw + nameDirs.at(&names);
            img.versionLangDir = img.rsrcRaw + langDirs.at(&langs);
            const size_t index = langs.begin()->second;
            img.versionDataEntry = img.rsrcRaw + dataEntry[index];
            img.versionData = img.rsrcRaw + dataAt[index];
        }
    }
    Put32(b, opt + 56, imageSize);
    return img;
}

ElfImage BuildElf(bool is64, const std::vector<std::pair<std::string, std::vector<uint8_t>>>& sections) {
    ElfImage img;
    std::vector<uint8_t>& b = img.bytes;
    const size_t ehSize = is64 ? 64 : 52, shSize = is64 ? 64 : 40;
    Grow(b, ehSize);
    b[0] = 0x7F;
    b[1] = 'E';
    b[2] = 'L';
    b[3] = 'F';
    b[4] = is64 ? 2 : 1;
    b[5] = 1;  // little-endian
    b[6] = 1;
    Put16(b, 16, 2);                  // executable
    Put16(b, 18, is64 ? 62 : 3);      // x86-64 / i386
    Put32(b, 20, 1);

    std::vector<uint8_t> names(1, 0);
    std::vector<size_t> nameAt;
    for (const auto& [name, data] : sections) {
        nameAt.push_back(names.size());
        names.insert(names.end(), name.begin(), name.end());
        names.push_back(0);
    }
    const size_t shstrtabName = names.size();
    for (char c : std::string(".shstrtab")) names.push_back(uint8_t(c));
    names.push_back(0);

    for (const auto& [name, data] : sections) {
        Align(b, 4);
        img.sectionData.push_back(b.size());
        b.insert(b.end(), data.begin(), data.end());
    }
    const size_t namesAt = b.size();
    b.insert(b.end(), names.begin(), names.end());
    Align(b, 8);
    img.sectionHeaders = b.size();
    const size_t count = sections.size() + 2;
    Grow(b, img.sectionHeaders + count * shSize);

    auto header = [&](size_t index, uint32_t name, uint32_t type, uint64_t flags, uint64_t offset,
                      uint64_t size) {
        const size_t h = img.sectionHeaders + index * shSize;
        Put32(b, h, name);
        Put32(b, h + 4, type);
        if (is64) {
            Put64(b, h + 8, flags);
            Put64(b, h + 24, offset);
            Put64(b, h + 32, size);
            Put64(b, h + 48, 1);
        } else {
            Put32(b, h + 8, uint32_t(flags));
            Put32(b, h + 16, uint32_t(offset));
            Put32(b, h + 20, uint32_t(size));
            Put32(b, h + 32, 1);
        }
    };
    for (size_t i = 0; i < sections.size(); ++i)
        header(i + 1, uint32_t(nameAt[i]), 1 /*PROGBITS*/, 2 /*ALLOC*/, img.sectionData[i],
               sections[i].second.size());
    header(count - 1, uint32_t(shstrtabName), 3 /*STRTAB*/, 0, namesAt, names.size());

    if (is64) {
        Put64(b, 40, img.sectionHeaders);
        Put16(b, 52, uint16_t(ehSize));
        Put16(b, 58, uint16_t(shSize));
        Put16(b, 60, uint16_t(count));
        Put16(b, 62, uint16_t(count - 1));
    } else {
        Put32(b, 32, uint32_t(img.sectionHeaders));
        Put16(b, 40, uint16_t(ehSize));
        Put16(b, 46, uint16_t(shSize));
        Put16(b, 48, uint16_t(count));
        Put16(b, 50, uint16_t(count - 1));
    }
    return img;
}

std::vector<uint8_t> WriteNode(const VersionNode& n) {
    std::vector<uint8_t> out(6, 0);
    const auto key = Utf16(n.key);
    out.insert(out.end(), key.begin(), key.end());
    Align(out, 4);
    out.insert(out.end(), n.value.begin(), n.value.end());
    for (const VersionNode& c : n.children) {
        Align(out, 4);
        const auto child = WriteNode(c);
        out.insert(out.end(), child.begin(), child.end());
    }
    if (out.size() > 0xFFFF) throw std::length_error("version node too long");
    const uint16_t valueLength = n.valueLength.value_or(
        uint16_t(n.type == 1 ? n.value.size() / 2 : n.value.size()));
    Put16(out, 0, n.length.value_or(uint16_t(out.size())));
    Put16(out, 2, valueLength);
    Put16(out, 4, n.type);
    return out;
}

std::vector<uint8_t> IconGroup(const std::vector<IconEntry>& entries) {
    std::vector<uint8_t> b(6 + 14 * entries.size(), 0);
    Put16(b, 2, 1);
    Put16(b, 4, uint16_t(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        const size_t e = 6 + 14 * i;
        b[e] = entries[i].width;
        b[e + 1] = entries[i].height;
        Put16(b, e + 4, 1);
        Put16(b, e + 6, entries[i].bitCount);
        Put32(b, e + 8, entries[i].bytes);
        Put16(b, e + 12, entries[i].id);
    }
    return b;
}

}  // namespace pebuild
