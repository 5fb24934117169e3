#include "engine/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>

#include "engine/FileUtils.h"

namespace atomicfile {
namespace {

void (*g_replaceHook)() = nullptr;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool WriteAllAt(int fd, const char* data, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(size_t(n));
    }
    return true;
}

const char kTempMark[] = ".tmp";

std::string TempPrefix(const std::string& name) { return "." + name + kTempMark; }

void FlushFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Errors that say the folder will not take a new name or a rename, while the file itself
// may still be writable.
bool FolderRefuses(int err) {
    return err == EACCES || err == EPERM || err == EROFS || err == EBUSY || err == EXDEV;
}

// Device and process paths (/dev/stdout, /proc/self/fd/1) stand for an open stream, whatever
// they lead to: replacing the file behind them would cut it off from its writer.
bool IsStreamPath(const std::string& path) {
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
}

int WriteStream(const std::string& path, const std::vector<std::string_view>& pieces) {
    // Non-blocking open: a FIFO nobody reads fails at once (ENXIO) instead of hanging.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int err = 0;
    for (const std::string_view piece : pieces)
        if (!WriteAll(fd, piece)) {
            err = errno;
            break;
        }
    if (::close(fd) != 0 && !err) err = errno;
    return err;
}

enum class TOutcome { Done, FolderRefused };

mode_t KeptMode(const struct stat& old, bool executable) {
    mode_t mode = old.st_mode & 07777;
    if (executable) mode |= (mode & 0444) >> 2;   // r -> x for each of owner, group, others
    return mode;
}

// The temporary file, filled, flushed and renamed over the target; `err` is 0 or the errno.
TOutcome ThroughTemporary(const std::string& target, const std::vector<std::string_view>& pieces,
                          const struct stat* old, bool executable, int& err) {
    err = 0;
    const std::string folder = FolderOf(target);
    const std::string name = target.substr(folder.size());
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + TempPrefix(name) + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, executable ? 0777 : 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        err = errno;
        return old && FolderRefuses(err) ? TOutcome::FolderRefused : TOutcome::Done;
    }
    size_t offset = 0;
    for (const std::string_view piece : pieces) {
        if (!WriteAllAt(fd, piece.data(), piece.size(), off_t(offset))) {
            err = errno;
            break;
        }
        offset += piece.size();
    }
    if (!err && old) {
        // The owner first: changing it may clear the set-id bits the mode then restores.
        if (old->st_uid != ::geteuid() || old->st_gid != ::getegid())
            if (::fchown(fd, old->st_uid, old->st_gid) != 0) {}   // only root may give a file away
        if (::fchmod(fd, KeptMode(*old, executable)) != 0) err = errno;
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && g_replaceHook) g_replaceHook();
    bool refused = false;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        refused = old && FolderRefuses(err);
    }
    if (err) {
        ::unlink(temp.c_str());
        return refused ? TOutcome::FolderRefused : TOutcome::Done;
    }
    FlushFolder(folder);
    return TOutcome::Done;
}

// The in-place rewrite for a folder that refuses new names; `before` is what the file held
// when the caller read it (nullptr: read now).
int InPlace(const std::string& target, const std::vector<std::string_view>& pieces, const std::string* before) {
    std::string data;
    for (const std::string_view piece : pieces) data += piece;
    std::string readNow;
    if (!before) {
        if (ReadFileHead(target, std::string::npos, readNow) == 0) before = &readNow;
    }
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno;
    auto fail = [&](int err) {
        ::close(fd);
        return err;
    };
    struct stat st;
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    const size_t oldSize = size_t(st.st_size);

    // Overwrite from the first byte that differs from what was read; if the file has changed
    // size since, what was read says nothing about it and all of it is written.
    size_t first = 0;
    if (before && before->size() == oldSize) {
        const size_t common = std::min(before->size(), data.size());
        while (first < common && (*before)[first] == data[first]) ++first;
    }
    if (data.size() > oldSize && !WriteAllAt(fd, data.data() + oldSize, data.size() - oldSize, off_t(oldSize))) {
        const int err = errno;
        if (::ftruncate(fd, off_t(oldSize)) != 0) {}   // the old bytes were never touched
        return fail(err);
    }
    const size_t overlap = std::min(oldSize, data.size());
    if (first < overlap && !WriteAllAt(fd, data.data() + first, overlap - first, off_t(first))) {
        const int err = errno;
        // Put the old bytes back, as far as the system still lets us.
        if (before && before->size() == oldSize) WriteAllAt(fd, before->data() + first, oldSize - first, off_t(first));
        if (::ftruncate(fd, off_t(oldSize)) != 0) {}
        return fail(err);
    }
    if (data.size() < oldSize && ::ftruncate(fd, off_t(data.size())) != 0) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) return errno;
    return 0;
}

}  // namespace
}  // namespace atomicfile

int FollowLinks(const std::string& path, std::string& target) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = p;
            return 0;
        }
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf);
        if (n < 0) return errno;
        if (size_t(n) == sizeof buf) return ENAMETOOLONG;
        const std::string link(buf, size_t(n));
        p = link[0] == '/' ? link : atomicfile::FolderOf(p) + link;
    }
    return ELOOP;
}

void RemoveReplaceLeftovers(const std::string& target) {
    using namespace atomicfile;
    const std::string folder = FolderOf(target);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const std::string prefix = TempPrefix(target.substr(folder.size()));
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        if (entry.compare(0, prefix.size(), prefix) != 0) continue;
        const size_t dash = entry.find('-', prefix.size());
        if (dash == std::string::npos || dash == prefix.size() || dash > prefix.size() + 9) continue;
        const std::string digits = entry.substr(prefix.size(), dash - prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = pid_t(std::stol(digits));
        // This process writes one file at a time: a temporary of its own is a leftover too.
        if (pid != ::getpid() && !(::kill(pid, 0) != 0 && errno == ESRCH)) continue;
        struct stat st;
        const std::string path = folder + entry;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

int ReplaceFile(const std::string& path, const std::vector<std::string_view>& pieces, const TReplaceOptions& options) {
    using namespace atomicfile;
    if (path.empty()) return ENOENT;
    struct stat st;
    const bool present = ::stat(path.c_str(), &st) == 0;
    if (present && S_ISDIR(st.st_mode)) return EISDIR;
    if (IsStreamPath(path) || (present && !S_ISREG(st.st_mode))) return WriteStream(path, pieces);

    std::string target;
    if (const int err = FollowLinks(path, target)) return err;
    const bool hadFile = ::stat(target.c_str(), &st) == 0;
    if (hadFile && S_ISDIR(st.st_mode)) return EISDIR;
    if (hadFile && options.RefuseReadOnly && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    RemoveReplaceLeftovers(target);
    int err = 0;
    if (ThroughTemporary(target, pieces, hadFile ? &st : nullptr, options.Executable, err) == TOutcome::FolderRefused)
        return InPlace(target, pieces, options.Before);
    return err;
}

int ReplaceFile(const std::string& path, std::string_view bytes, const TReplaceOptions& options) {
    return ReplaceFile(path, std::vector<std::string_view>{bytes}, options);
}

void SetReplaceHook(void (*hook)()) { atomicfile::g_replaceHook = hook; }
