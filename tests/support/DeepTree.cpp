#include "support/DeepTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"

std::string MakeDeepFile(const std::string& root, const std::string& component, size_t minLength,
                         const std::string& fileName, std::string_view content) {
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string path = root;
    while (fd >= 0 && path.size() < minLength) {
        if (mkdirat(fd, component.c_str(), 0755) != 0 && errno != EEXIST) break;
        const int next = openat(fd, component.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        fd = next;
        path += "/" + component;
    }
    if (fd < 0 || path.size() < minLength) {
        if (fd >= 0) close(fd);
        return {};
    }
    const int file = openat(fd, fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    close(fd);
    if (file < 0) return {};
    const bool ok = write(file, content.data(), content.size()) == ssize_t(content.size());
    close(file);
    return ok ? path + "/" + fileName : std::string();
}

void RemoveDeepTree(const std::string& path) {
    // GNU rm walks by descriptors: no depth is too deep for it.
    RunCommand("rm -rf -- '" + path + "'");
}
