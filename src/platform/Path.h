// A file path inside the windows. On Linux a path is bytes and need not be UTF-8, while a text
// to show is a QString: keeping them apart in the types makes passing one for the other a
// compile error. A TPath is made only explicitly, from the bytes or from the text a dialog, a
// drop or Qt's file calls give (where a byte that is not UTF-8 rides as U+DC00 + byte, see
// PathText.h), and it gives the bytes to the engines and a text to show, each by name.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class TPath {
public:
    TPath() = default;
    // The file system's bytes: the command line, the engines, a folder walk.
    explicit TPath(std::string bytes) : bytes_(std::move(bytes)) {}
    explicit TPath(const char* bytes) : bytes_(bytes) {}
    // A path handed over as Qt text: a dialog's answer, a drop, a Qt file call.
    explicit TPath(const QString& text);

    bool IsEmpty() const { return bytes_.empty(); }
    // For the engines and every std-only call.
    const std::string& Bytes() const { return bytes_; }
    // For Qt's and the platform's file calls (QFileInfo, QFile, the desktop, a dialog's
    // proposal): every byte kept, one that is not UTF-8 as U+DC00 + byte.
    QString ToQString() const;
    // The text to show: every byte that is not text becomes U+FFFD.
    QString Display() const;

    // The last part, after the last "/"; the whole path without one.
    TPath FileName() const;
    // Everything before the last "/" ("/" itself for a file at the root); empty without one.
    TPath Folder() const;
    // The folder joined with `name` by one "/" ("name" alone when the folder is empty).
    TPath Join(std::string_view name) const;

    bool operator==(const TPath&) const = default;

private:
    std::string bytes_;
};

// The running program's own file and its folder, as the platform names them.
TPath ProgramFilePath();
TPath ProgramFolderPath();
