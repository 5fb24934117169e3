#include "engine/BatchList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstring>
#include <cctype>

#include "engine/AtomicFile.h"
#include "engine/FileUtils.h"
#include "text/Cp932.h"
#include "text/Translate.h"

namespace {

const std::string kStars(58, '*');

size_t CodePoints(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

TPathAccess::TPathAccess(const std::string& path) {
    if (path.size() < PATH_MAX) {
        path_ = path;
        return;
    }
    // The folder one name at a time from the root or the working folder; the names resolve
    // as in any path (links followed, ".." going up).
    const size_t slash = path.find_last_of('/');
    int fd = ::open(path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (size_t start = path[0] == '/' ? 1 : 0; fd >= 0 && start < slash;) {
        size_t end = path.find('/', start);
        if (end == std::string::npos || end > slash) end = slash;
        if (end > start) {
            const std::string name = path.substr(start, end - start);
            const int next = ::openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            const int err = errno;
            ::close(fd);
            fd = next;
            errno = err;
        }
        start = end + 1;
    }
    if (fd < 0) {
        error_ = errno;
        return;
    }
    fd_ = fd;
    path_ = "/proc/self/fd/" + std::to_string(fd) + path.substr(slash);
}

TPathAccess::~TPathAccess() {
    if (fd_ >= 0) ::close(fd_);
}

std::optional<TBatchRow> MakeBatchRow(const std::string& path, const std::string& newTime) {
    uint32_t age = 0;
    const TPathAccess access(path);
    if (!FileExistsByAge(access.Path(), &age)) return std::nullopt;
    TBatchRow row;
    row.Name = ExtractFileName(path);
    row.CurrentTime = FileTimeText(UnpackDosDateTime(age));
    row.NewTime = newTime;
    row.Path = path;
    return row;
}

namespace {

// One folder of CollectFolder, open as `fd` (taken over); `prefix` ends with a separator.
void WalkFolder(int fd, const std::string& prefix, bool recursive, std::vector<std::string>& list,
                std::vector<TSkippedPath>* skipped) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        if (skipped) skipped->push_back({prefix.size() > 1 ? prefix.substr(0, prefix.size() - 1) : prefix, std::strerror(errno)});
        ::close(fd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string full = prefix + name;
        if (!recursive) {
            list.push_back(full);
            continue;
        }
        struct stat st;
        const bool known = ::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (known && S_ISDIR(st.st_mode)) {
            // Never through a link: a walk cannot loop.
            const int sub = ::openat(::dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) WalkFolder(sub, full + "/", true, list, skipped);
            else if (skipped) skipped->push_back({full, std::strerror(errno)});
        } else if (known && S_ISLNK(st.st_mode) && ::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 &&
                   S_ISDIR(st.st_mode)) {
            continue;   // a link to a folder is not walked, and is no file either
        } else {
            list.push_back(full);
        }
    }
    ::closedir(dir);
}

}  // namespace

std::vector<std::string> CollectFolder(const std::string& folder, bool recursive, std::vector<TSkippedPath>* skipped) {
    std::vector<std::string> list;
    if (folder.empty()) return list;
    const TPathAccess access(folder);
    const int fd = access.Path().empty() ? -1 : ::open(access.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (skipped) skipped->push_back({folder, std::strerror(access.Path().empty() ? access.Error() : errno)});
        return list;
    }
    WalkFolder(fd, folder.back() == '/' ? folder : folder + '/', recursive, list, skipped);
    return list;
}

std::string ThousandsSeparator() {
    const std::lconv* lc = std::localeconv();
    // A locale that groups nothing (C, POSIX) gets the separator a Japanese desktop shows.
    if (!lc || !lc->thousands_sep || !*lc->thousands_sep || !lc->grouping || *lc->grouping <= 0 ||
        *lc->grouping == CHAR_MAX)
        return ",";
    return lc->thousands_sep;
}

std::string BatchSizeText(int64_t size, const std::string& separator) {
    const bool negative = size < 0;
    std::string digits = std::to_string(size);
    if (negative) digits.erase(0, 1);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    if (negative) grouped.insert(0, "-");
    const size_t width = CodePoints(grouped);
    if (width < 20) grouped.insert(0, 20 - width, ' ');
    return TavFormat(TavTr("BatchList", "%1 バイト"), {grouped});
}

std::string ExportFileName(const std::string& chosen) {
    std::string ext = ExtractFileExt(chosen);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".txt" ? chosen : ChangeFileExt(chosen, ".txt");
}

std::string ExportFolder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::vector<std::string> ExportLines(const std::vector<TBatchRow>& rows, const std::string& now) {
    // A cell that holds nothing stands for one that cannot be read.
    auto orUnknown = [](const std::string& s) { return s.empty() ? std::string("???") : s; };
    std::vector<std::string> lines{kStars, std::string(12, ' ') + "Tavrenne [" + now + "]", kStars, ""};
    lines.reserve(4 + rows.size() * 8);
    // One label per line, each read once for the whole export.
    const std::string name = TavTr("BatchList", "ファイル名: %1"), folder = TavTr("BatchList", "ファイルパス: %1"),
                      time = TavTr("BatchList", "現在のタイムスタンプ %1"), check = TavTr("BatchList", "検証 %1: %2"),
                      expected = TavTr("BatchList", "  期待値: %1"), computed = TavTr("BatchList", "  計算値: %1");
    for (const TBatchRow& r : rows) {
        lines.push_back(TavFormat(name, {orUnknown(r.Name)}));
        lines.push_back(TavFormat(folder, {r.Path.empty() ? std::string("???") : ExportFolder(r.Path)}));
        lines.push_back("FileSize: " + r.Size);
        lines.push_back(TavFormat(time, {r.CurrentTime}));
        lines.push_back("CRC32: " + r.CRC32);
        lines.push_back("  MD5: " + r.MD5);
        lines.push_back(" SHA1: " + r.SHA1);
        if (!r.ListKind.empty()) {
            lines.push_back(TavFormat(check, {r.ListKind, r.Verdict}));
            lines.push_back(TavFormat(expected, {r.Expected}));
            lines.push_back(TavFormat(computed, {r.Computed}));
        }
        lines.push_back("");
    }
    return lines;
}

std::string ExportBytes(const std::vector<std::string>& lines, TExportEncoding encoding) {
    std::string out;
    for (const std::string& line : lines) {
        out += encoding == TExportEncoding::Utf8 ? line : cp932::FromUtf8(line);
        out += "\r\n";
    }
    return out;
}

std::string WriteExport(const std::string& file, const std::string& bytes) {
    if (const int err = ReplaceFile(file, bytes)) return std::strerror(err);
    return {};
}
