#include "engine/ChecksumList.h"

#include <algorithm>
#include <cstring>

#include "text/Cp932.h"
#include "text/Utf8.h"
#include "text/TextUtil.h"

namespace {

constexpr std::string_view kListByteOrderMark = "\xEF\xBB\xBF";

bool IsListBlank(char c) { return c == ' ' || c == '\t'; }


bool AllListHex(std::string_view s) { return std::all_of(s.begin(), s.end(), IsHexDigit); }

// The entry's name as written, or unescaped; false for an escape no writer makes.
bool TakeListName(std::string_view name, bool escaped, TListEntry& e) {
    if (!escaped) {
        e.Name = name;
        return true;
    }
    std::optional<std::string> plain = UnescapeListName(name);
    if (!plain) return false;
    e.Name = std::move(*plain);
    return true;
}

// The name in UTF-8 when its bytes are Shift_JIS that reads back to the same bytes.
std::string Cp932Spelling(const std::string& name) {
    if (IsUtf8(name)) return {};
    std::string utf8 = cp932::ToUtf8(name);
    return cp932::FromUtf8(utf8) == name ? utf8 : std::string();
}

std::string UpperHex(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

}  // namespace

const TDigestKindInfo& SfvDigestKind() { return DigestKindInfo(TDigestKind::CRC32); }

bool LooksBinary(std::string_view firstBytes) {
    return firstBytes.substr(0, kListProbeBytes).find('\0') != std::string_view::npos;
}

bool ListNameNeedsEscape(std::string_view name) { return name.find_first_of("\\\n\r") != std::string_view::npos; }

std::string EscapeListName(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 8);
    for (char c : name) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::optional<std::string> UnescapeListName(std::string_view escaped) {
    std::string out;
    out.reserve(escaped.size());
    for (size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '\0') return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == escaped.size()) return std::nullopt;
        switch (escaped[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<std::string> FormatListLine(TListFormat format, const TDigestKindInfo& kind, std::string_view hex,
                                          std::string_view name) {
    const bool escape = ListNameNeedsEscape(name);
    const std::string shown = escape ? EscapeListName(name) : std::string(name);
    std::string line = escape ? "\\" : "";
    switch (format) {
    case TListFormat::Gnu:
        line.append(hex).append("  ").append(shown);
        return line;
    case TListFormat::Bsd:
        line.append(kind.Name).append(" (").append(shown).append(") = ").append(hex);
        return line;
    case TListFormat::Sfv:
        if (&kind != &SfvDigestKind() || name.empty() || name[0] == ';' ||
            name.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos)
            return std::nullopt;
        return std::string(name) + ' ' + UpperHex(hex);
    }
    return std::nullopt;
}

TChecksumListParser::TChecksumListParser(TOptions options) : options_(options) {}

TListLine TChecksumListParser::Next(std::string_view s, TListEntry& e, bool tooLong) {
    ++line_;
    if (line_ == 1 && s.substr(0, kListByteOrderMark.size()) == kListByteOrderMark) s.remove_prefix(kListByteOrderMark.size());
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    if (tooLong) return TListLine::Malformed;
    if (s.empty()) return TListLine::Blank;
    if (s[0] == ';') {
        sfvSeen_ = true;
        return TListLine::Comment;
    }
    // "#" opens a comment in coreutils' lists; SFV knows only ";", and "#1.bin" is a name there.
    const bool sfvFirst = options_.SfvFirst || sfvSeen_;
    if (s[0] == '#' && !sfvFirst) return TListLine::Comment;
    if (s.find('\0') != std::string_view::npos) return TListLine::Malformed;

    e = TListEntry{};
    e.Line = line_;
    bool ok = sfvFirst && ParseSfv(s, e);
    if (!ok) {
        size_t i = 0;
        while (i < s.size() && IsListBlank(s[i])) ++i;
        const bool escaped = i < s.size() && s[i] == '\\';
        if (escaped) ++i;
        // A line that opens with a tag is a BSD line or nothing, as coreutils reads it.
        bool tagged = false;
        for (const TDigestKindInfo& k : DigestKinds())
            tagged = tagged || s.substr(i).starts_with(k.Name);
        ok = tagged ? ParseTagged(s, i, escaped, e) : ParseGnu(s, i, escaped, e);
    }
    if (!ok && !sfvFirst) ok = ParseSfv(s, e);
    if (!ok) return TListLine::Malformed;
    e.Cp932Name = Cp932Spelling(e.Name);
    return TListLine::Entry;
}

bool TChecksumListParser::ParseTagged(std::string_view s, size_t i, bool escaped, TListEntry& e) const {
    for (const TDigestKindInfo& k : DigestKinds()) {
        const std::string_view tag = k.Name;
        if (!s.substr(i).starts_with(tag)) continue;
        size_t j = i + tag.size();
        if (j < s.size() && s[j] == ' ') ++j;
        if (j >= s.size() || s[j] != '(') continue;
        const std::string_view rest = s.substr(j + 1);
        // The name runs to the last ")": a name may hold ")" itself.
        const size_t close = rest.rfind(')');
        if (close == std::string_view::npos) return false;
        size_t at = close + 1;
        while (at < rest.size() && IsListBlank(rest[at])) ++at;
        if (at >= rest.size() || rest[at] != '=') return false;
        ++at;
        while (at < rest.size() && IsListBlank(rest[at])) ++at;
        const std::string_view hex = rest.substr(at);
        if (hex.size() != k.TextLength || !AllListHex(hex)) return false;
        if (!TakeListName(rest.substr(0, close), escaped, e)) return false;
        e.Kind = &k;
        e.Hex = hex;
        e.Form = TListForm::Bsd;
        return true;
    }
    return false;
}

bool TChecksumListParser::ParseGnu(std::string_view s, size_t i, bool escaped, TListEntry& e) {
    const size_t start = i;
    while (i < s.size() && !IsListBlank(s[i])) ++i;
    const std::string_view hex = s.substr(start, i - start);
    const TDigestKindInfo* kind = DigestKindByTextLength(hex.size());
    if (!kind || !AllListHex(hex) || i == s.size()) return false;
    const std::string_view rest = s.substr(i + 1);   // after one blank or tab
    if (rest.empty()) return false;
    const bool twoCharacters = rest.size() > 1 && (rest[0] == ' ' || rest[0] == '*');
    std::string_view name;
    // A GNU line of the SFV length needs its two-character separator, so that
    // "12345678 0badcafe" stays the SFV line of a file named 12345678.
    if (!twoCharacters) {
        if (kind == &SfvDigestKind() || layout_ == TLayout::TwoBlanks) return false;
        layout_ = TLayout::OneBlank;
        e.Form = TListForm::GnuReversed;
        name = rest;
    } else if (layout_ == TLayout::OneBlank) {
        if (kind == &SfvDigestKind()) return false;
        e.Form = TListForm::GnuReversed;   // a name that starts with a blank or "*"
        name = rest;
    } else {
        layout_ = TLayout::TwoBlanks;
        e.Form = TListForm::Gnu;
        e.Binary = rest[0] == '*';
        name = rest.substr(1);
    }
    if (!TakeListName(name, escaped, e)) return false;
    e.Kind = kind;
    e.Hex = hex;
    return true;
}

bool TChecksumListParser::ParseSfv(std::string_view s, TListEntry& e) const {
    const size_t blank = s.rfind(' ');
    if (blank == std::string_view::npos || blank == 0) return false;
    const std::string_view hex = s.substr(blank + 1);
    if (hex.size() != SfvDigestKind().TextLength || !AllListHex(hex)) return false;
    e.Kind = &SfvDigestKind();
    e.Hex = hex;
    e.Name = s.substr(0, blank);
    e.Form = TListForm::Sfv;
    e.Binary = false;
    return true;
}

TChecksumList ParseChecksumList(std::string_view bytes, TChecksumListParser::TOptions options) {
    TChecksumList out;
    if (LooksBinary(bytes.substr(0, kListProbeBytes))) {
        out.BinaryData = true;
        return out;
    }
    TChecksumListParser parser(options);
    TListEntry entry;
    while (!bytes.empty()) {
        const size_t eol = bytes.find('\n');
        std::string_view line = bytes.substr(0, eol);
        bytes.remove_prefix(eol == std::string_view::npos ? bytes.size() : eol + 1);
        const bool tooLong = line.size() > kMaxListLineBytes;
        if (tooLong) line = line.substr(0, kMaxListLineBytes);
        switch (parser.Next(line, entry, tooLong)) {
        case TListLine::Entry: out.Entries.push_back(std::move(entry)); break;
        case TListLine::Malformed: out.MalformedLines.push_back(parser.LineNumber()); break;
        case TListLine::Blank:
        case TListLine::Comment: break;
        }
    }
    return out;
}
