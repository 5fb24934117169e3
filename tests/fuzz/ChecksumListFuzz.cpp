// Checksum lists as anyone may write them (a download page, another tool, a damaged file):
// any bytes give entries and malformed lines without reading past them, every entry is a
// digest of its kind's length, and every line the writers make reads back as what was written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/ChecksumList.h"

namespace {

// Names the broken property, so a finding says which one it is.
void CheckAt(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "ChecksumListFuzz.cpp:%d: property broken\n", line);
    std::abort();
}
#define Check(ok) CheckAt((ok), __LINE__)

bool Hex(std::string_view s) { return s.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos; }

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const bool sfv : {false, true}) {
        const TChecksumList list = ParseChecksumList(bytes, {sfv});
        if (list.BinaryData) {
            Check(list.Entries.empty() && list.MalformedLines.empty());
            continue;
        }
        uint64_t lines = 1;
        for (char c : bytes) lines += c == '\n';
        uint64_t last = 0;
        for (const TListEntry& e : list.Entries) {
            Check(e.Kind != nullptr && e.Hex.size() == e.Kind->TextLength && Hex(e.Hex));
            Check(e.Line > last && e.Line <= lines);
            Check(e.Name.find('\0') == std::string::npos);
            last = e.Line;
        }
        Check(list.Entries.size() + list.MalformedLines.size() <= lines);
    }

    // One written line of any kind, form and name reads back as that entry.
    FuzzedDataProvider in(data, size);
    const TDigestKindInfo& kind = DigestKinds()[in.ConsumeIntegralInRange<size_t>(0, DigestKinds().size() - 1)];
    const auto format = static_cast<TListFormat>(in.ConsumeIntegralInRange<int>(0, 2));
    std::string hex;
    for (size_t i = 0; i < kind.TextLength; ++i) hex += "0123456789abcdef"[in.ConsumeIntegralInRange<int>(0, 15)];
    std::string name = in.ConsumeRandomLengthString(64);
    // A byte order mark opening a list is taken off (editors add one), so a first name
    // cannot start with one.
    if (name.empty() || name.find('\0') != std::string::npos || name.starts_with("\xEF\xBB\xBF")) return 0;
    const std::optional<std::string> line = FormatListLine(format, kind, hex, name);
    if (format != TListFormat::Sfv) Check(line.has_value());
    if (!line) return 0;
    const TChecksumList back = ParseChecksumList(*line + "\n", {format == TListFormat::Sfv});
    Check(back.Entries.size() == 1 && back.MalformedLines.empty());
    const TListEntry& e = back.Entries.front();
    const TDigestKindInfo& written = format == TListFormat::Sfv ? SfvDigestKind() : kind;
    Check(e.Kind == &written && e.Name == name);
    if (format != TListFormat::Sfv) Check(SameLetters(e.Hex, hex));
    return 0;
}
