#include "platform/PathText.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Length of the valid UTF-8 sequence at `p` (its code point in `cp`), or 0.
size_t DecodeUtf8(const unsigned char* p, size_t left, char32_t& cp) {
    const unsigned char b = p[0];
    size_t n;
    char32_t min;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        n = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < n) return 0;
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace

QString PathToQString(const std::string& bytes) {
    QString out;
    out.reserve(qsizetype(bytes.size()));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t n = DecodeUtf8(p + i, bytes.size() - i, cp);
        if (n == 0) {
            out += QChar(char16_t(kEscapeBase + p[i]));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
        i += n;
    }
    return out;
}

std::string PathFromQString(const QString& path) {
    std::string out;
    out.reserve(size_t(path.size()));
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < path.size() && QChar::isLowSurrogate(path[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, path[i + 1].unicode()));
            ++i;
        } else if (IsEscapedByte(c)) {
            out += char(c - kEscapeBase);
        } else if (QChar::isSurrogate(c)) {
            AppendUtf8(out, 0xFFFD);   // a stray surrogate is no character of any file name
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

QString PathForDisplay(const QString& path) { return QString::fromStdString(PathFromQString(path)); }
