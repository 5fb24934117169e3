#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "engine/AtomicFile.h"
#include "engine/FileUtils.h"
#include "text/Cp932.h"
#include "text/Translate.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// UTF-8 continuation bytes are never ASCII letters, so folding ASCII alone is safe here.
std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

size_t FirstNonBlank(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return i;
}

// The name of a "[section]" line, UTF-8 and trimmed; false for any other line.
bool SectionName(std::string_view line, std::string& name) {
    const size_t first = FirstNonBlank(line);
    if (first == line.size() || line[first] != '[') return false;
    // ']' can be the second byte of a double-byte character: look for it in UTF-8.
    const std::string text = cp932::ToUtf8(line.substr(first + 1));
    const size_t close = text.find(']');
    if (close == std::string::npos) return false;
    name = Trim(std::string_view(text).substr(0, close));
    return true;
}

// The raw bytes before the '=' of a "key=value" line; false for any other line (comments,
// section lines, lines without '=' or without a name).
bool KeyBytes(std::string_view line, std::string_view& key) {
    const size_t first = FirstNonBlank(line);
    if (first == line.size() || line[first] == ';' || line[first] == '[') return false;
    // '=' (0x3D) is never part of a double-byte character, so the raw bytes can be searched.
    const size_t eq = line.find('=', first);
    if (eq == std::string_view::npos || eq == first) return false;
    key = line.substr(0, eq);
    return true;
}

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x80; });
}

// What a raw value reads as.
std::string DecodeValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    return cp932::ToUtf8(v);
}

// Values live on one line: a line break in a value would split it into two entries.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

}  // namespace

EIniWriteError::EIniWriteError(std::string path, std::string reason)
    : std::runtime_error(TavFormat(TavTr("IniFile", "%1 に書き込めません"), {path})), path_(std::move(path)), reason_(std::move(reason)) {}

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

// ---------------------------------------------------------------------------------------------
// The document
//
// The source bytes stay as read; changes are kept beside them (replaced lines, lines added
// after a section's last key, sections added at the end) and merged when the bytes are
// taken. Nothing is kept per line: a 50 MB file costs one pass to find its sections and one
// pass over a section to find the keys asked for.

namespace {

// One line of the source: [begin, end) without its line end; next is the following line.
struct TSpan {
    size_t begin, end, next;
};

TSpan LineAt(const std::string& s, size_t begin) {
    const size_t lf = s.find('\n', begin);
    if (lf == std::string::npos) return {begin, s.size(), s.size()};
    return {begin, lf > begin && s[lf - 1] == '\r' ? lf - 1 : lf, lf + 1};
}

// The folded name of a key line, as a reload would name it; false for any other line.
bool KeyName(std::string_view line, std::string& folded) {
    std::string_view key;
    if (!KeyBytes(line, key)) return false;
    folded = Fold(Trim(cp932::ToUtf8(key)));
    return !folded.empty();
}

}  // namespace

TIniDocument::TIniDocument(std::string bytes) : source_(std::move(bytes)) {
    TSection* open = nullptr;   // the first section of its name whose lines are being walked
    std::string name;
    std::string_view key;
    for (size_t pos = 0; pos < source_.size();) {
        const TSpan line = LineAt(source_, pos);
        pos = line.next;
        const std::string_view text = std::string_view(source_).substr(line.begin, line.end - line.begin);
        if (SectionName(text, name)) {
            if (open) open->end = line.begin;
            const auto [it, isNew] = sections_.try_emplace(Fold(name));
            open = isNew ? &it->second : nullptr;
            if (open) *open = TSection{line.next, source_.size(), line.next, kNone, {}};
        } else if (open && KeyBytes(text, key)) {
            open->anchor = line.next;
        }
    }
}

std::string_view TIniDocument::Raw(size_t line) const {
    if (line & kAdded) return added_[line & ~kAdded];
    if (const auto it = replaced_.find(line); it != replaced_.end()) return it->second.second;
    const TSpan span = LineAt(source_, line);
    return std::string_view(source_).substr(span.begin, span.end - span.begin);
}

size_t TIniDocument::AddLine(std::string raw) {
    added_.push_back(std::move(raw));
    return kAdded | (added_.size() - 1);
}

TIniDocument::TSection* TIniDocument::FindSection(const std::string& section) const {
    const auto it = sections_.find(Fold(section));
    return it == sections_.end() ? nullptr : &it->second;
}

// One pass over the section's source lines; the first line of each name counts. Most lines
// are told apart from the keys looked for by the length of their name alone.
void TIniDocument::Scan(TSection& sec, const std::vector<std::string>& folded) const {
    std::vector<std::string_view> wanted;
    for (const std::string& key : folded)
        if (!sec.found.count(key) && std::find(wanted.begin(), wanted.end(), key) == wanted.end())
            wanted.push_back(key);
    std::vector<std::vector<size_t>> byLength;   // name length -> indexes into wanted
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (byLength.size() <= wanted[i].size()) byLength.resize(wanted[i].size() + 1);
        byLength[wanted[i].size()].push_back(i);
    }
    std::vector<bool> seen(wanted.size());
    size_t open = wanted.size();
    auto match = [&](std::string_view name, size_t line) {   // name: trimmed, ASCII folding left to do
        if (name.size() >= byLength.size()) return;
        for (const size_t i : byLength[name.size()]) {
            if (seen[i]) continue;
            bool same = true;
            for (size_t k = 0; same && k < name.size(); ++k) {
                char c = name[k];
                if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
                same = c == wanted[i][k];
            }
            if (!same) continue;
            seen[i] = true;
            --open;
            sec.found.emplace(std::string(wanted[i]), line);
            return;
        }
    };
    for (size_t pos = sec.body; pos < sec.end && open > 0;) {
        const TSpan line = LineAt(source_, pos);
        pos = line.next;
        std::string_view key;
        if (!KeyBytes(std::string_view(source_).substr(line.begin, line.end - line.begin), key)) continue;
        // The codec passes ASCII through unchanged; other names are decoded first.
        if (IsAscii(key)) match(Trim(key), line.begin);
        else match(Fold(Trim(cp932::ToUtf8(key))), line.begin);
    }
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!seen[i]) sec.found.emplace(std::string(wanted[i]), kNone);
}

void TIniDocument::LookUp(const std::string& section, const std::vector<std::string>& keys) const {
    TSection* sec = FindSection(section);
    if (!sec || sec->group != kNone) return;   // sections added here know all their keys
    std::vector<std::string> folded;
    for (const std::string& key : keys) folded.push_back(Fold(key));
    Scan(*sec, folded);
}

size_t TIniDocument::FindKey(const std::string& section, const std::string& key) const {
    TSection* sec = FindSection(section);
    if (!sec) return kNone;
    const std::string folded = Fold(key);
    auto it = sec->found.find(folded);
    if (it == sec->found.end()) {
        if (sec->group != kNone) return kNone;
        Scan(*sec, {folded});
        it = sec->found.find(folded);
    }
    return it->second;
}

bool TIniDocument::ValueExists(const std::string& section, const std::string& key) const {
    return FindKey(section, key) != kNone;
}

std::string TIniDocument::ReadString(const std::string& section, const std::string& key,
                                     const std::string& def) const {
    const size_t line = FindKey(section, key);
    if (line == kNone) return def;
    const std::string_view raw = Raw(line);
    return DecodeValue(raw.substr(raw.find('=') + 1));
}

int TIniDocument::ReadInteger(const std::string& section, const std::string& key, int def) const {
    int v;
    return ParseIniInteger(ReadString(section, key, ""), v) ? v : def;
}

bool TIniDocument::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniDocument::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
    const std::string newValue = cp932::FromUtf8(OneLine(value));
    if (const size_t line = FindKey(section, key); line != kNone) {
        const std::string_view raw = Raw(line);
        size_t pos = raw.find('=') + 1;
        // A value the program read and did not change keeps its bytes.
        if (DecodeValue(raw.substr(pos)) == value) return;
        // Keep the key side and the blanks after '='; replace the rest.
        while (pos < raw.size() && (raw[pos] == ' ' || raw[pos] == '\t')) ++pos;
        std::string changed = std::string(raw.substr(0, pos)) + newValue;
        if (line & kAdded) added_[line & ~kAdded] = std::move(changed);
        else replaced_[line] = {LineAt(source_, line).end - line, std::move(changed)};
        return;
    }
    const std::string keyLine = cp932::FromUtf8(OneLine(key)) + "=" + newValue;
    // A name no line can hold as a key (empty, or read as a comment or a section header) is
    // not written: its line would read back as something else and move the keys after it.
    std::string name;
    if (!KeyName(keyLine, name)) return;
    TSection* sec = FindSection(section);
    if (!sec) {
        const std::string header = "[" + cp932::FromUtf8(OneLine(section)) + "]";
        tail_.push_back({AddLine(header)});
        // Indexed by the name a reload of the written bytes gives it.
        std::string sectionName;
        const auto [it, isNew] = SectionName(header, sectionName) ? sections_.try_emplace(Fold(sectionName))
                                                                   : std::make_pair(sections_.end(), false);
        if (!isNew) {   // it reads as an earlier section: a reload will not find the key
            tail_.back().push_back(AddLine(keyLine));
            return;
        }
        sec = &it->second;
        sec->group = tail_.size() - 1;
    }
    const size_t line = AddLine(keyLine);
    if (sec->group != kNone) tail_[sec->group].push_back(line);
    else inserted_[sec->anchor].push_back(line);
    // A key whose bytes read as another name: a line of that name already there comes first.
    if (name != Fold(key) && sec->group == kNone) Scan(*sec, {name});
    const auto [it, isNew] = sec->found.try_emplace(name, line);
    if (!isNew && it->second == kNone) it->second = line;
}

void TIniDocument::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string_view> TIniDocument::Pieces() const {
    static constexpr std::string_view kBreak = "\r\n";
    std::vector<std::string_view> out;
    const std::string_view src = source_;
    bool open = false;   // the output so far ends inside a line
    auto put = [&](std::string_view piece) {
        if (piece.empty()) return;
        out.push_back(piece);
        open = piece.back() != '\n';
    };
    auto putAdded = [&](const std::vector<size_t>& lines) {
        for (const size_t line : lines) {
            if (open) put(kBreak);
            put(added_[line & ~kAdded]);
            put(kBreak);
        }
    };
    size_t copied = 0;
    auto ins = inserted_.begin();
    auto rep = replaced_.begin();
    while (ins != inserted_.end() || rep != replaced_.end()) {
        // At the same offset the lines added after a line come before the next line's change.
        if (ins != inserted_.end() && (rep == replaced_.end() || ins->first <= rep->first)) {
            put(src.substr(copied, ins->first - copied));
            copied = ins->first;
            putAdded(ins->second);
            ++ins;
        } else {
            put(src.substr(copied, rep->first - copied));
            put(rep->second.second);
            copied = rep->first + rep->second.first;
            ++rep;
        }
    }
    put(src.substr(copied));
    for (const auto& group : tail_) putAdded(group);
    return out;
}

std::string TIniDocument::Bytes() const {
    std::string out;
    const std::vector<std::string_view> pieces = Pieces();
    size_t size = 0;
    for (const std::string_view p : pieces) size += p.size();
    out.reserve(size);
    for (const std::string_view p : pieces) out += p;
    return out;
}

// ---------------------------------------------------------------------------------------------
// The file
//
// A save prepares the whole new content in memory, then replaces the file as engine/AtomicFile
// does it: beside and renamed over, or in place when the folder refuses new names, a link
// written through, leftovers of a killed save removed first.

namespace {

std::string SystemReason(int err) { return std::strerror(err); }

// Reads the whole file into `out`: 0 or the errno. Regular files are read into room made
// for their size; anything else goes through the common reader, which never blocks on a
// FIFO or device put at that name.
int ReadWhole(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadFileHead(path, std::string::npos, out);
    }
    // Large buffers ask for huge pages: in a virtual machine, faulting in 50 MB page by page
    // costs more than reading it.
    const size_t expected = size_t(st.st_size);
    out.reserve(expected + 1);
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    const uintptr_t from = (uintptr_t(out.data()) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = (uintptr_t(out.data()) + expected) & ~(kHuge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    out.resize(expected);
    size_t done = 0;
    int err = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n > 0) done += size_t(n);
        else if (n == 0) break;
        else if (errno != EINTR) err = errno;
        if (err) break;
    }
    out.resize(done);
    char more[65536];   // what the file grew by since it was sized
    while (!err && done == expected) {
        const ssize_t n = ::read(fd, more, sizeof more);
        if (n > 0) out.append(more, size_t(n));
        else if (n == 0) break;
        else if (errno != EINTR) err = errno;
    }
    ::close(fd);
    return err;
}

// The whole file; nullopt when there is no file. Throws with the reason when a file is
// there but cannot be read, so that a write never replaces content it has not seen.
std::optional<std::string> LoadForWrite(const std::string& path) {
    std::string content;
    const int err = ReadWhole(path, content);
    if (err == 0) return content;
    if (err == ENOENT) return std::nullopt;
    throw EIniWriteError(path, SystemReason(err));
}

void Save(const std::string& path, const std::vector<std::string_view>& data, const std::string* before) {
    TReplaceOptions options;
    options.Before = before;
    if (const int err = ReplaceFile(path, data, options)) throw EIniWriteError(path, SystemReason(err));
}

}  // namespace

void SetIniReplaceHook(void (*hook)()) { SetReplaceHook(hook); }

TIniDocument TIniFile::Snapshot() const {
    std::string content;
    if (ReadWhole(fileName_, content) != 0) return TIniDocument();
    return TIniDocument(std::move(content));
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    return Snapshot().ReadString(section, key, def);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    return Snapshot().ReadInteger(section, key, def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return Snapshot().ReadBool(section, key, def);
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    return Snapshot().ValueExists(section, key);
}

void TIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> keys;
    for (const auto& kv : values) keys.push_back(kv.first);
    TIniDocument all(LoadForWrite(fileName_).value_or(std::string()));
    all.LookUp(section, keys);
    for (const auto& [key, value] : values) all.WriteString(section, key, value);
    try {
        Save(fileName_, all.Pieces(), &all.Source());
    } catch (const EIniWriteError&) {
        if (values.size() < 2) throw;
        // What single writes would have left: every key up to the one that fails.
        TIniDocument doc(all.Source());
        doc.LookUp(section, keys);
        std::string onDisk = all.Source();
        for (const auto& [key, value] : values) {
            doc.WriteString(section, key, value);
            std::string data = doc.Bytes();
            Save(fileName_, {data}, &onDisk);
            onDisk = std::move(data);
        }
    }
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    WriteStrings(section, {{key, value}});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}
