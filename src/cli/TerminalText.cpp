#include "cli/TerminalText.h"

#include <cstdio>

#include "engine/ChecksumList.h"

namespace {

// Length of the well-formed UTF-8 sequence starting at s[i]; 0 when there is none.
size_t Utf8Length(std::string_view s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;   // the second byte's range: no overlong forms, no surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > s.size() || at(i + 1) < lo || at(i + 1) > hi) return 0;
    for (size_t k = 2; k < n; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

void AppendHex(std::string& out, unsigned char byte) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "\\x%02x", byte);
    out += buf;
}

// Control characters and bytes that are not UTF-8 as \xHH; with `listEscapes` also a
// backslash, LF and CR as coreutils escapes them in a list.
std::string Escaped(std::string_view text, bool listEscapes) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (listEscapes && (c == '\\' || c == '\n' || c == '\r')) {
            out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : "\\r";
            ++i;
            continue;
        }
        const size_t n = Utf8Length(text, i);
        // U+0080..U+009F are C1 controls (CSI among them): C2 80..C2 9F in UTF-8.
        const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (n == 0 || c < 0x20 || c == 0x7F || c1) {
            const size_t bytes = c1 ? 2 : 1;
            for (size_t k = 0; k < bytes; ++k) AppendHex(out, static_cast<unsigned char>(text[i + k]));
            i += bytes;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) { return Escaped(text, false); }

std::string ListNameText(std::string_view name) {
    const std::string plain = Escaped(name, false);
    if (plain == name) return plain;   // no control character, a LF included
    return "\\" + Escaped(name, true);
}

std::string QuotedFileName(std::string_view name) {
    auto safe = [&](size_t i) {
        const char c = name[i];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
        if (c == '#' || c == '~') return i > 0;
        return std::string_view("%+,-./:=@_^").find(c) != std::string_view::npos ||
               static_cast<unsigned char>(c) >= 0x80;
    };
    bool quote = name.empty();
    for (size_t i = 0; i < name.size() && !quote; ++i) quote = !safe(i);
    const std::string shown = EscapeControls(name);
    if (!quote) return shown;
    std::string out = "'";
    for (char c : shown) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
