#include "platform/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "text/Cp932.h"

namespace {

// The path a write goes to: symbolic links followed to the last one's target, which need not
// exist yet. 0 or the errno.
int FollowLinks(std::string path, std::string& target) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return 0;
        }
        std::string link(size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        link.resize(size_t(n));
        const size_t slash = path.rfind('/');
        path = link[0] == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    return ELOOP;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Truncates and writes `fd` (a stream, or a file whose folder takes no new name). 0 or errno.
int WriteThrough(const std::string& target, const QByteArray& bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    int err = WriteAll(fd, bytes.constData(), size_t(bytes.size())) ? 0 : errno;
    if (::close(fd) != 0 && !err) err = errno;
    return err;
}

int Replace(const std::string& path, const QByteArray& bytes) {
    std::string target;
    if (const int err = FollowLinks(path, target)) return err;
    struct stat old;
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) return EISDIR;
    if (existed && !S_ISREG(old.st_mode)) return WriteThrough(target, bytes);   // a FIFO, a terminal
    // Renaming over a file needs no right to the file itself: refuse what a write would.
    if (existed && ::access(target.c_str(), W_OK) != 0) return errno;

    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    static unsigned counter = 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int err = errno;
        // A folder that takes no new name, holding a file that may be written: in place.
        if (existed && (err == EACCES || err == EPERM || err == EROFS)) return WriteThrough(target, bytes);
        return err;
    }
    int err = WriteAll(fd, bytes.constData(), size_t(bytes.size())) ? 0 : errno;
    if (!err && existed) ::fchmod(fd, old.st_mode & 07777);
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

}  // namespace

QByteArray Cp932Lines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        const std::string bytes = cp932::FromUtf8(line.toStdString());
        out.append(bytes.data(), qsizetype(bytes.size()));
        out.append("\r\n");
    }
    return out;
}

bool WriteFileReplacing(const TPath& path, const QByteArray& bytes, QString* error) {
    const int err = path.IsEmpty() ? ENOENT : Replace(path.Bytes(), bytes);
    if (err && error) *error = QString::fromLocal8Bit(std::strerror(err));
    return err == 0;
}

bool WriteTextFileCp932(const TPath& path, const QStringList& lines, QString* error) {
    return WriteFileReplacing(path, Cp932Lines(lines), error);
}
