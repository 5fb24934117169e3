#include "engine/FileUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <algorithm>

#include "text/DateTimeFormat.h"

bool PackDosDateTime(const TDateTimeParts& t, uint32_t& dos) {
    if (t.year < 1980 || t.year > 2107) return false;
    const uint32_t date = uint32_t((t.year - 1980) << 9 | t.month << 5 | t.day);
    const uint32_t time = uint32_t(t.hour << 11 | t.minute << 5 | t.second / 2);
    dos = date << 16 | time;
    return true;
}

TDateTimeParts UnpackDosDateTime(uint32_t dos) {
    const uint32_t date = dos >> 16, time = dos & 0xFFFF;
    TDateTimeParts t;
    t.year = int(date >> 9) + 1980;
    t.month = int(date >> 5 & 15);
    t.day = int(date & 31);
    t.hour = int(time >> 11);
    t.minute = int(time >> 5 & 63);
    t.second = int(time & 31) * 2;
    return t;
}

namespace {

bool DosAgeOf(time_t mtime, uint32_t& dos) {
    struct tm lt;
    return localtime_r(&mtime, &lt) && PackDosDateTime(PartsFromTm(lt), dos);
}

const char* SpecialFileKind(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    return "of an unknown kind";
}

}  // namespace

bool FileExistsByAge(const std::string& path, uint32_t* age) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    uint32_t dos;
    if (!DosAgeOf(st.st_mtime, dos)) return false;
    if (age) *age = dos;
    return true;
}

std::string FileProblem(const std::string& path) {
    if (path.empty()) return "no file name";
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return errno == ENOENT ? "no such file" : std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return "is a folder";
    if (!S_ISREG(st.st_mode)) return std::string("not a regular file (") + SpecialFileKind(st.st_mode) + ")";
    uint32_t dos;
    if (DosAgeOf(st.st_mtime, dos)) return {};
    // The date says which way it is out of range; a time localtime cannot convert has none.
    struct tm lt;
    const time_t mtime = st.st_mtime;
    char when[64] = "";
    if (localtime_r(&mtime, &lt))
        std::snprintf(when, sizeof when, " %04lld-%02d-%02d %02d:%02d:%02d", lt.tm_year + 1900LL, lt.tm_mon + 1,
                      lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec);
    return std::string("modified time") + when + " is outside 1980 to 2107";
}

int64_t GetFileSize64(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
}

uint32_t FileAttributes(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
    uint32_t attr = 0;
    if (!(st.st_mode & S_IWUSR)) attr |= faReadOnly;
    const std::string name = ExtractFileName(path);
    if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    else if (S_ISREG(st.st_mode)) attr |= faArchive;
    else attr |= faSysFile;   // devices, FIFOs and sockets
    return attr;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") return true;
    // Iterative wildcard match with back-tracking to the last '*'.
    size_t n = 0, m = 0, starM = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' ||
                                std::tolower((unsigned char)mask[m]) == std::tolower((unsigned char)name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

void ListFiles(const std::string& folder, bool recursive, std::vector<std::string>& list,
               const std::string& mask) {
    struct stat st;
    if (folder.empty() || stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || !MatchesMask(name, mask)) continue;
        const std::string full = prefix + name;
        struct stat lst;
        // lstat: a link to a folder is never walked, so a walk cannot loop.
        const bool realFolder = lstat(full.c_str(), &lst) == 0 && S_ISDIR(lst.st_mode);
        if (recursive && realFolder) {
            ListFiles(full, true, list, mask);
        } else if (recursive && S_ISLNK(lst.st_mode) && stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            continue;
        } else {
            list.push_back(full);
        }
    }
    closedir(dir);
}

std::string GetLongPath(const std::string& path) {
    std::string p = path;
    if (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string ExtractFileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    const std::string cur = ExtractFileExt(path);
    return path.substr(0, path.size() - cur.size()) + ext;
}

std::string ShortcutFileName(const std::string& path) {
    return path.empty() ? std::string() : ChangeFileExt(path, ".lnk");
}

int ReadFileHead(const std::string& path, size_t limit, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    char buf[8192];
    while (out.size() < limit) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - out.size()));
        if (n > 0) {
            out.append(buf, size_t(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            err = errno;   // EAGAIN too: a FIFO at that name is no file to read
            break;
        }
    }
    ::close(fd);
    return err;
}
