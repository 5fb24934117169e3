#include "platform/Path.h"

#include "platform/PathText.h"
#include "platform/Platform.h"

TPath::TPath(const QString& text) : bytes_(PathFromQString(text)) {}

QString TPath::ToQString() const { return PathToQString(bytes_); }

QString TPath::Display() const { return QString::fromStdString(bytes_); }

TPath TPath::FileName() const {
    const size_t slash = bytes_.rfind('/');
    return slash == std::string::npos ? *this : TPath(bytes_.substr(slash + 1));
}

TPath TPath::Folder() const {
    const size_t slash = bytes_.rfind('/');
    if (slash == std::string::npos) return TPath();
    return TPath(bytes_.substr(0, slash == 0 ? 1 : slash));
}

TPath TPath::Join(std::string_view name) const {
    if (bytes_.empty()) return TPath(std::string(name));
    std::string joined = bytes_;
    if (joined.back() != '/') joined += '/';
    joined += name;
    return TPath(std::move(joined));
}

TPath ProgramFilePath() { return TPath(Platform().ProgramFile()); }

TPath ProgramFolderPath() { return TPath(Platform().ProgramFolder()); }
