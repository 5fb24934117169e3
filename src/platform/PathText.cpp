#include "platform/PathText.h"

#include "text/Utf8.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

}  // namespace

QString PathToQString(const std::string& bytes) {
    QString out;
    out.reserve(qsizetype(bytes.size()));
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t n = DecodeUtf8(bytes, i, cp);
        if (n == 0) {
            out += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
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
