#include "engine/DuplicateSearch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "engine/FileCRC32Info.h"

namespace {

void ReleaseIcons(TNormalFileInfo& engine, TIconRelease release) {
    if (!release) return;
    for (TIconHandle h : {engine.SmallIcon, engine.LargeIcon})
        if (h) release(h);
    engine.SmallIcon = engine.LargeIcon = 0;
}

}  // namespace

TDuplicateReference ReadDuplicateReference(const std::string& path, TIconRelease release) {
    TFileCRC32Info engine;
    engine.SetFileName(path);
    engine.ReadSize();
    TDuplicateReference ref;
    ref.Size = engine.Info().Size;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0) {
        ref.Device = st.st_dev;
        ref.Inode = st.st_ino;
    }
    if (ref.Size != 0) ref.Crc32 = engine.GetHashText(false);
    ReleaseIcons(engine, release);
    return ref;
}

void TDuplicateSearch::SearchRoot(const std::string& root) {
    if (ref_.Crc32.empty() || IsStopped()) return;
    const int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !seenFolders_.insert({st.st_dev, st.st_ino}).second) {
        close(fd);
        return;
    }
    // "/" keeps its own separator; others get one between folder and name.
    std::string folder = root;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    SearchFolder(fd, folder, st.st_dev);
}

bool TDuplicateSearch::SearchFolder(int dirFd, const std::string& folder, uint64_t device) {
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        close(dirFd);
        return true;
    }
    if (OnFolder) OnFolder(folder);
    const std::string prefix = folder == "/" ? folder : folder + "/";
    bool go = true;
    while (go) {
        const dirent* e = readdir(dir);
        if (!e) break;
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = prefix + name;
        if (e->d_type == DT_DIR || e->d_type == DT_UNKNOWN) {
            // Opening without following a link, then one stat of the open folder.
            const int fd = openat(dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0) {
                struct stat st{};
                if (fstat(fd, &st) == 0 && uint64_t(st.st_dev) == device &&
                    seenFolders_.insert({st.st_dev, st.st_ino}).second) {
                    go = SearchFolder(fd, path, device);
                } else {
                    close(fd);
                }
                if (go) go = !IsStopped();
                continue;
            }
            if (e->d_type == DT_DIR) {
                go = !IsStopped();
                continue;
            }
        } else if (e->d_type != DT_REG) {
            go = !IsStopped();
            continue;
        }
        struct stat st{};
        if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            int64_t(st.st_size) == ref_.Size && uint64_t(st.st_dev) == device &&
            !seenFiles_.count({st.st_dev, st.st_ino})) {
            const bool itself = uint64_t(st.st_dev) == ref_.Device && uint64_t(st.st_ino) == ref_.Inode;
            TFileCRC32Info engine;
            std::string crc;
            if (!itself) {
                // A path the system refuses as too long is opened through the folder's descriptor.
                engine.SetFileName(path.size() < PATH_MAX ? path
                                                          : "/proc/self/fd/" + std::to_string(dirfd(dir)) + "/" + name);
                crc = engine.GetHashText(false);
                if (crc.empty() && engine.Failure() != TRunFailure::None && OnSkipped)
                    OnSkipped(path, engine.FailureReason());
            }
            const bool same = itself || crc == ref_.Crc32;
            ReleaseIcons(engine, ReleaseIcon);
            if (same) {
                seenFiles_.insert({st.st_dev, st.st_ino});
                ++found_;
                if (OnFound) OnFound(path);
            }
        }
        go = !IsStopped();
    }
    closedir(dir);
    return go;
}
