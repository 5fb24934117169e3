#include "text/Cp932.h"

#include <array>
#include <cstdint>

#include "text/Utf8.h"

namespace cp932 {
namespace {

#include "text/Cp932Table.inc"

constexpr char32_t kInvalid = 0xFFFFFFFF;
constexpr uint16_t kUnmapped = '?';

// Lead bytes 0xF0-0xF9 are the user-defined area, mapped in order onto U+E000 upwards.
constexpr unsigned kUserFirstLead = 0xF0;
constexpr unsigned kUserLeadCount = 10;
constexpr char32_t kUserBase = 0xE000;
constexpr char32_t kUserEnd = kUserBase + kUserLeadCount * kCp932TrailCount;

constexpr char32_t kKatakanaBase = 0xFF61;  // byte 0xA1

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

int TrailIndex(unsigned b) {
    if (b >= 0x40 && b <= 0x7E) return int(b - 0x40);
    if (b >= 0x80 && b <= 0xFC) return int(b - 0x41);
    return -1;
}

unsigned TrailByte(int index) { return index < 0x3F ? 0x40 + index : 0x41 + index; }

// 0 when the code is undefined.
char32_t DecodePair(unsigned lead, int trailIndex) {
    if (lead >= kUserFirstLead && lead < kUserFirstLead + kUserLeadCount)
        return kUserBase + (lead - kUserFirstLead) * kCp932TrailCount + trailIndex;
    const unsigned row = kCp932LeadRow[lead];
    return row == kNoRow ? 0 : kCp932Rows[row][trailIndex];
}

// Unicode (BMP) -> double-byte code, 0 when none. The lowest code wins where several decode
// to the same character, then the generator's extra choices apply.
const std::array<uint16_t, 0x10000>& EncodeTable() {
    static const auto table = [] {
        std::array<uint16_t, 0x10000> t{};
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            const unsigned row = kCp932LeadRow[lead];
            if (row == kNoRow) continue;
            for (int i = 0; i < kCp932TrailCount; ++i) {
                const uint16_t u = kCp932Rows[row][i];
                if (u != 0 && t[u] == 0) t[u] = uint16_t(lead << 8 | TrailByte(i));
            }
        }
        for (const auto& e : kCp932EncodeExtra) t[e.unicode] = e.code;
        return t;
    }();
    return table;
}

// Single-byte codes come back below 0x100; '?' when the character has no code.
uint16_t EncodeChar(char32_t c) {
    if (c < 0x80) return uint16_t(c);
    if (c >= kKatakanaBase && c <= kKatakanaBase + 0x3E) return uint16_t(0xA1 + (c - kKatakanaBase));
    if (c >= kUserBase && c < kUserEnd) {
        const unsigned idx = c - kUserBase;
        return uint16_t((kUserFirstLead + idx / kCp932TrailCount) << 8 | TrailByte(idx % kCp932TrailCount));
    }
    if (c > 0xFFFF) return kUnmapped;
    const uint16_t code = EncodeTable()[c];
    return code ? code : kUnmapped;
}

// Reads one UTF-8 character at s[i], advancing i. An ill-formed sequence gives kInvalid and
// is skipped by its longest valid-looking start, so one '?' stands for one broken character
// and the bytes after it are read afresh.
char32_t ReadUtf8(std::string_view s, size_t& i) {
    const unsigned b0 = static_cast<unsigned char>(s[i++]);
    if (b0 < 0x80) return b0;
    int more;
    char32_t c;
    unsigned lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        more = 1, c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        more = 2, c = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;       // overlong
        else if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        more = 3, c = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;       // overlong
        else if (b0 == 0xF4) hi = 0x8F;  // beyond U+10FFFF
    } else {
        return kInvalid;
    }
    for (int k = 0; k < more; ++k, lo = 0x80, hi = 0xBF) {
        if (i >= s.size()) return kInvalid;
        const unsigned b = static_cast<unsigned char>(s[i]);
        if (b < lo || b > hi) return kInvalid;
        c = c << 6 | (b & 0x3F);
        ++i;
    }
    return c;
}

uint16_t NextCode(std::string_view utf8, size_t& i) {
    const char32_t c = ReadUtf8(utf8, i);
    return c == kInvalid ? kUnmapped : EncodeChar(c);
}

}  // namespace

std::string FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const uint16_t code = NextCode(utf8, i);
        if (code > 0xFF) out += char(code >> 8);
        out += char(code & 0xFF);
    }
    return out;
}

std::string ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (size_t i = 0; i < bytes.size();) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += char(b);
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            AppendUtf8(out, kKatakanaBase + (b - 0xA1));
            ++i;
        } else if (IsLead(b) && i + 1 < bytes.size() &&
                   TrailIndex(static_cast<unsigned char>(bytes[i + 1])) >= 0) {
            const char32_t c = DecodePair(b, TrailIndex(static_cast<unsigned char>(bytes[i + 1])));
            if (c) AppendUtf8(out, c);
            else out += '?';
            i += 2;
        } else {
            // A stray byte or a lead without its trail: the next byte starts afresh.
            out += '?';
            ++i;
        }
    }
    return out;
}

size_t ByteLength(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size();) n += NextCode(utf8, i) > 0xFF ? 2 : 1;
    return n;
}

size_t NextChar(std::string_view utf8, size_t& cp932Bytes) {
    size_t i = 0;
    cp932Bytes = 0;
    if (utf8.empty()) return 0;
    cp932Bytes = NextCode(utf8, i) > 0xFF ? 2 : 1;
    return i;
}

}  // namespace cp932
