#include "engine/DigestPassFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/FileMD5Info.h"
#include "text/Cp932.h"

namespace {

bool HasUnmappable(const std::string& utf8) {
    for (size_t i = 0; i < utf8.size();) {
        size_t bytes = 0;
        const size_t len = cp932::NextChar(std::string_view(utf8).substr(i), bytes);
        if (len == 0) return true;
        const std::string one = utf8.substr(i, len);
        if (one != "?" && cp932::FromUtf8(one) == "?") return true;
        i += len;
    }
    return false;
}

bool BreaksLine(const std::string& s) { return s.find_first_of(":\r\n") != std::string::npos; }

// A lead byte of a Shift_JIS double-byte character.
bool LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string Folded(const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (LeadByte(c)) {
            ++i;   // the trail byte may look like a letter; it is not one
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = char(c - 'A' + 'a');
        }
    }
    return out;
}

std::string ErrorText(int err) { return std::strerror(err); }

}  // namespace

std::string DigestEntryProblem(const std::string& user, const std::string& realm,
                               const std::string& password) {
    if (BreaksLine(user) || BreaksLine(realm))
        return "ユーザー名とRealmには「:」と改行を使えません";
    if (password.find_first_of("\r\n") != std::string::npos) return "パスワードには改行を使えません";
    if (HasUnmappable(user) || HasUnmappable(realm) || HasUnmappable(password))
        return "Shift_JISで表せない文字が含まれています";
    return {};
}

std::string DigestEntryLine(const std::string& user, const std::string& realm,
                            const std::string& password) {
    const TFileMD5Info md5;
    const std::string ha1 = md5.HashString(user + ":" + realm + ":" + password, false);
    return cp932::FromUtf8(user + ":" + realm + ":") + ha1;
}

std::vector<std::string> SplitDigestLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

int CompareDigestLines(const std::string& a, const std::string& b) {
    const int c = Folded(a).compare(Folded(b));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void SortDigestLines(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return CompareDigestLines(a, b) < 0; });
}

TDigestWriteResult ReplaceDigestFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string target = path;
    struct stat st{};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char real[PATH_MAX];
        if (realpath(path.c_str(), real)) target = real;
    }
    const bool existed = stat(target.c_str(), &st) == 0;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    std::string temp = (folder == "/" ? "" : folder) + "/.Digest_Pass.XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return {TDigestWrite::Failed, ErrorText(errno)};
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    int err = 0;
    if (existed) {
        if (fchmod(fd, st.st_mode & 07777) != 0) err = errno;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd, 0666 & ~mask) != 0) err = errno;
    }
    for (size_t done = 0; !err && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        done += size_t(n);
    }
    if (!err && fsync(fd) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        unlink(temp.c_str());
        return {TDigestWrite::Failed, ErrorText(err)};
    }
    return {};
}

TDigestWriteResult AddDigestEntry(const std::string& path, const std::string& line, bool refuseDuplicates) {
    struct stat st{};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {TDigestWrite::Missing, {}};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {TDigestWrite::Failed, ErrorText(errno)};
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return {TDigestWrite::Failed, ErrorText(EIO)};
    std::vector<std::string> lines = SplitDigestLines(bytes.str());
    if (refuseDuplicates &&
        std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return CompareDigestLines(l, line) == 0; }))
        return {TDigestWrite::AlreadyPresent, {}};
    lines.push_back(line);
    SortDigestLines(lines);
    return ReplaceDigestFile(path, lines);
}

TDigestWriteResult CreateDigestFile(const std::string& path, const std::string& line) {
    return ReplaceDigestFile(path, {line});
}
