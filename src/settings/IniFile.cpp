#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/FileUtils.h"
#include "text/Cp932.h"

namespace {

// One line of the file: its bytes without the line end, and the line end as found.
struct TLine {
    std::string raw;
    std::string eol;
};

enum class TKind { Other, Section, Key };

struct TParsed {
    TKind kind = TKind::Other;
    std::string name;      // section or key, UTF-8, trimmed
    size_t valuePos = 0;   // keys: byte offset of the value in the raw line
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// UTF-8 continuation bytes are never ASCII letters, so folding ASCII alone is safe here.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

TParsed Parse(const std::string& raw) {
    TParsed p;
    size_t first = 0;
    while (first < raw.size() && IsBlank(raw[first])) ++first;
    if (first == raw.size() || raw[first] == ';') return p;
    if (raw[first] == '[') {
        // ']' can be the second byte of a double-byte character: look for it in UTF-8.
        const std::string text = cp932::ToUtf8(raw.substr(first + 1));
        const size_t close = text.find(']');
        if (close == std::string::npos) return p;
        p.kind = TKind::Section;
        p.name = Trim(text.substr(0, close));
        return p;
    }
    // '=' (0x3D) is never part of a double-byte character, so the raw bytes can be searched.
    const size_t eq = raw.find('=');
    if (eq == std::string::npos) return p;
    p.name = Trim(cp932::ToUtf8(raw.substr(0, eq)));
    if (p.name.empty()) return p;
    p.kind = TKind::Key;
    p.valuePos = eq + 1;
    return p;
}

std::vector<TLine> SplitLines(const std::string& content) {
    std::vector<TLine> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        const size_t lf = content.find('\n', pos);
        TLine line;
        if (lf == std::string::npos) {
            line.raw = content.substr(pos);
            pos = content.size();
        } else {
            size_t end = lf;
            if (end > pos && content[end - 1] == '\r') --end;
            line.raw = content.substr(pos, end - pos);
            line.eol = content.substr(end, lf + 1 - end);
            pos = lf + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string SystemReason(int err) { return std::strerror(err); }

// The whole file; nullopt when there is no file. Throws with the reason when a file is
// there but cannot be read, so that a write never replaces content it has not seen.
std::optional<std::string> LoadFile(const std::string& path, bool throwOnError) {
    std::string content;
    const int err = ReadFileHead(path, std::string::npos, content);
    if (err == 0) return content;
    if (err == ENOENT || !throwOnError) return std::nullopt;
    throw EIniWriteError(path, SystemReason(err));
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// Writes `data` to a new file beside `path` and renames it over `path`.
void ReplaceFile(const std::string& path, const std::string& data) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat old;
    const bool hadFile = ::stat(path.c_str(), &old) == 0;

    static unsigned counter = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
               std::to_string(++counter);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw EIniWriteError(path, SystemReason(errno));

    int err = 0;
    if (!WriteAll(fd, data)) err = errno;
    if (!err && hadFile && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        throw EIniWriteError(path, SystemReason(err));
    }
}

// Values live on one line: a line break in a value would split it into two entries.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

}  // namespace

EIniWriteError::EIniWriteError(std::string path, std::string reason)
    : std::runtime_error(path + " に書き込めません"), path_(std::move(path)), reason_(std::move(reason)) {}

bool ParseIniInteger(const std::string& text, int& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint64_t v = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            const char c = text[i];
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
            v = v << 4 | uint64_t(d);
            if (v > 0xFFFFFFFFu) return false;
        }
        value = int(int32_t(uint32_t(v)));   // 0xFFFFFFFF is -1, as a 32-bit register has it
        return true;
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > int64_t(INT32_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    value = int(v);
    return true;
}

namespace {

// Raw value of `key` in `section`, or nullopt.
std::optional<std::string> FindValue(const std::string& path, const std::string& section,
                                     const std::string& key) {
    const auto content = LoadFile(path, false);
    if (!content) return std::nullopt;
    bool inSection = false;
    for (const TLine& line : SplitLines(*content)) {
        const TParsed p = Parse(line.raw);
        if (p.kind == TKind::Section) {
            if (inSection) return std::nullopt;   // the first section of that name counts
            inSection = SameName(p.name, section);
        } else if (inSection && p.kind == TKind::Key && SameName(p.name, key)) {
            return line.raw.substr(p.valuePos);
        }
    }
    return std::nullopt;
}

}  // namespace

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return FindValue(fileName_, section, key).has_value();
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    const auto raw = FindValue(fileName_, section, key);
    if (!raw) return def;
    std::string v = Trim(*raw);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return cp932::ToUtf8(v);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    int v;
    return ParseIniInteger(ReadString(section, key, ""), v) ? v : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    const auto content = LoadFile(fileName_, true);
    std::vector<TLine> lines = content ? SplitLines(*content) : std::vector<TLine>();
    const std::string newValue = cp932::FromUtf8(OneLine(value));

    // Locate the section, the key inside it and the section's last key line.
    size_t header = lines.size(), lastKey = lines.size(), found = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const TParsed p = Parse(lines[i].raw);
        if (p.kind == TKind::Section) {
            if (header != lines.size()) break;
            if (SameName(p.name, section)) header = lastKey = i;
        } else if (header != lines.size() && p.kind == TKind::Key) {
            lastKey = i;
            if (SameName(p.name, key)) {
                found = i;
                // Keep the key side and the blanks after '='; replace the rest.
                size_t pos = p.valuePos;
                while (pos < lines[i].raw.size() && (lines[i].raw[pos] == ' ' || lines[i].raw[pos] == '\t')) ++pos;
                lines[i].raw = lines[i].raw.substr(0, pos) + newValue;
                break;
            }
        }
    }
    if (found == lines.size()) {
        const std::string keyLine = cp932::FromUtf8(OneLine(key)) + "=" + newValue;
        if (header != lines.size()) {
            if (lines[lastKey].eol.empty()) lines[lastKey].eol = "\r\n";
            lines.insert(lines.begin() + std::ptrdiff_t(lastKey + 1), TLine{keyLine, "\r\n"});
        } else {
            if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = "\r\n";
            lines.push_back(TLine{"[" + cp932::FromUtf8(OneLine(section)) + "]", "\r\n"});
            lines.push_back(TLine{keyLine, "\r\n"});
        }
    }
    std::string out;
    for (const TLine& line : lines) out += line.raw + line.eol;
    ReplaceFile(fileName_, out);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}
