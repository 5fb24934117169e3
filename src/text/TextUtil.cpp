#include "text/TextUtil.h"

#include "text/Cp932.h"

std::string ShortenText(const std::string& text, size_t n) {
    if (cp932::ByteLength(text) <= n) return text;
    const size_t keep = n > 3 ? n - 3 : 0;
    size_t used = 0, pos = 0;
    while (pos < text.size()) {
        size_t width = 0;
        const size_t len = cp932::NextChar(std::string_view(text).substr(pos), width);
        // Half a double-byte character has no UTF-8 form, so it is left out whole.
        if (used + width > keep) break;
        used += width;
        pos += len;
    }
    return text.substr(0, pos) + "...";
}

std::string AsciiCase(std::string text, bool upper) {
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return text;
}
