// Settings files in the private-profile style: "[section]" lines and "key=value" lines, in
// code page 932 with CR LF. Text in and out of this class is UTF-8.
//
// Reads never fail: a missing file, section, key or malformed number gives the default.
// Every write re-reads the file, changes one line and replaces the file atomically (a
// temporary file in the same folder renamed over it), so a failed write leaves the old
// file exactly as it was. Lines that are not touched keep their bytes and line ends.
#pragma once

#include <stdexcept>
#include <string>

// Raised by a write that could not be completed; the old file is unchanged.
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

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    const std::string& FileName() const { return fileName_; }

    // Section names and keys are compared ignoring ASCII letter case. The value is the text
    // after the first '=', trimmed of blanks and tabs, with one pair of enclosing quotes
    // removed.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x"/"0X" (more than two
    // characters, up to 32 bits); anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // The integer value compared with 0.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // An existing key keeps its line and everything up to the value; a new key goes after
    // the last key of its section; a new section goes at the end of the file; a missing
    // file is created. Throws EIniWriteError.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

private:
    std::string fileName_;
};

// The integer rule of ReadInteger on a text already trimmed; false when malformed.
bool ParseIniInteger(const std::string& text, int& value);
