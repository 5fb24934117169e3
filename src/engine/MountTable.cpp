#include "engine/MountTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "engine/FileUtils.h"

namespace {

// Kernel, memory and network file systems: nothing a user keeps files on locally.
const std::set<std::string> kNotLocal = {
    "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "cgroup", "cgroup2", "mqueue",
    "securityfs", "debugfs", "tracefs", "pstore", "bpf", "autofs", "configfs", "fusectl",
    "hugetlbfs", "binfmt_misc", "nsfs", "rpc_pipefs", "efivarfs", "squashfs", "selinuxfs",
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs"};

// mountinfo writes space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const std::string oct = s.substr(i + 1, 3);
            if (std::all_of(oct.begin(), oct.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += char(std::stoi(oct, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool UnderSystemTree(const std::string& p) {
    for (const char* root : {"/proc", "/sys", "/dev", "/run"}) {
        const std::string r = root;
        if (p == r || p.compare(0, r.size() + 1, r + "/") == 0) return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> LocalMountPoints(const std::string& mountinfo) {
    std::set<std::string> points;
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mountpoint options [optional...] - fstype source options
        std::istringstream f(line);
        std::string id, parent, dev, root, point, word;
        if (!(f >> id >> parent >> dev >> root >> point)) continue;
        while (f >> word && word != "-") {}
        std::string type;
        if (!(f >> type)) continue;
        // FUSE is mostly remote or virtual; its one common local disk driver stays.
        if (kNotLocal.count(type) || (type.rfind("fuse.", 0) == 0 && type != "fuse.ntfs-3g")) continue;
        point = Unescape(point);
        if (UnderSystemTree(point)) continue;
        points.insert(point);
    }
    return {points.begin(), points.end()};
}

std::vector<std::string> ReadLocalMountPoints() {
    std::string text;
    ReadFileHead("/proc/self/mountinfo", 16 << 20, text);
    std::vector<std::string> out;
    for (const std::string& p : LocalMountPoints(text)) {
        struct stat st{};
        if (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) out.push_back(p);
    }
    return out;
}
