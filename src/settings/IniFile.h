// Settings files in the private-profile style: "[section]" lines and "key=value" lines, in
// code page 932 with CR LF. Text in and out of these classes is UTF-8.
//
// TIniDocument is a file's content in memory: parsed once, read and changed there. TIniFile
// ties one to a path: a snapshot is one read of the file, a write of one key or of several
// is one read and one write. Reads never fail: a missing file, section, key or malformed
// number gives the default. Lines that are not touched keep their bytes and line ends, and
// so does a value written with the text it already reads as: bytes that are no valid
// Shift_JIS, or NEC-selected characters, survive until the value really changes.
#pragma once

#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Raised by a write that could not be completed.
class EIniWriteError : public std::runtime_error {
public:
    EIniWriteError(std::string path, std::string reason);
    const std::string& Path() const { return path_; }
    // The system's reason, for logs; what() is the user's message "<path> に書き込めません".
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

class TIniDocument {
public:
    TIniDocument() = default;
    explicit TIniDocument(std::string bytes);

    // Section names and keys are compared ignoring ASCII letter case; the first section of a
    // name and the first key of a name in it count. The value is the text after the first
    // '=', trimmed of blanks and tabs, with one pair of enclosing quotes removed.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x"/"0X" (more than two
    // characters, up to 32 bits); anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // The integer value compared with 0.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Finds `keys` in `section` in one pass over it. A key not found yet costs a pass of its
    // own, so callers that read or write many keys of a large file name them here first.
    void LookUp(const std::string& section, const std::vector<std::string>& keys) const;

    // An existing key keeps its line and everything up to the value (and the whole line when
    // the value reads as `value` already); a new key goes after the last key of its section,
    // new keys in the order of their first write; a new section goes at the end. A key name
    // that no line can hold (empty, or starting with ';' or '[') is not written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // The content to store, whole or as pieces in order (views into this document, valid
    // until it changes). Only the last line may lack a line end.
    std::string Bytes() const;
    std::vector<std::string_view> Pieces() const;
    // The bytes it was made from.
    const std::string& Source() const { return source_; }

private:
    // A line is its offset in the source, or kAdded plus its index in added_.
    static constexpr size_t kNone = size_t(-1);
    static constexpr size_t kAdded = size_t(1) << (sizeof(size_t) * 8 - 2);
    struct TSection {
        size_t body = 0, end = 0;   // the source bytes of the lines after the header
        size_t anchor = kNone;      // source offset new keys go to; kNone: added at the end
        size_t group = kNone;       // sections added at the end: their lines in tail_
        // Folded key -> its first line, or kNone when a pass found none.
        std::unordered_map<std::string, size_t> found;
    };

    std::string_view Raw(size_t line) const;
    size_t AddLine(std::string raw);
    TSection* FindSection(const std::string& section) const;
    void Scan(TSection& sec, const std::vector<std::string>& folded) const;
    size_t FindKey(const std::string& section, const std::string& key) const;

    std::string source_;
    std::vector<std::string> added_;
    std::map<size_t, std::pair<size_t, std::string>> replaced_;   // line -> (old length, new bytes)
    std::map<size_t, std::vector<size_t>> inserted_;               // source offset -> added lines
    std::vector<std::vector<size_t>> tail_;                        // sections added at the end
    mutable std::unordered_map<std::string, TSection> sections_;   // folded name -> first section
};

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    // The file as it is now, in one read; empty when it is missing or cannot be read.
    TIniDocument Snapshot() const;

    // Each call reads the file once (see Snapshot to read several keys).
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // One key: one read and one write. A missing file is created; a symbolic link is written
    // through. Throws EIniWriteError; a failed write leaves the old bytes.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Several keys of one section, in order, with one read and one write. When that write
    // fails the keys are written one write each, so that as with single writes the file
    // holds those before the key that fails; then it throws.
    void WriteStrings(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& values);

private:
    std::string fileName_;
};

// The integer rule of ReadInteger on a text already trimmed; false when malformed.
bool ParseIniInteger(const std::string& text, int& value);

// Test seam: called when a save has its new content complete in the temporary file, just
// before that file replaces the old one. Null (the default) does nothing.
void SetIniReplaceHook(void (*hook)());
