#include "engine/DigestPassFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/AtomicFile.h"
#include "engine/FileMD5Info.h"
#include "text/Cp932.h"
#include "text/Translate.h"

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

// A byte as the list compares it: ASCII letters folded, but not the trail byte of a
// double-byte character, which may look like one.
unsigned char FoldedByte(unsigned char c, bool trail) {
    return !trail && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

std::string ErrorText(int err) { return std::strerror(err); }

}  // namespace

std::string DigestEntryProblem(const std::string& user, const std::string& realm,
                               const std::string& password) {
    if (BreaksLine(user) || BreaksLine(realm))
        return TavTr("DigestPassFile", "ユーザー名とRealmには「:」と改行を使えません");
    if (password.find_first_of("\r\n") != std::string::npos)
        return TavTr("DigestPassFile", "パスワードには改行を使えません");
    if (HasUnmappable(user) || HasUnmappable(realm) || HasUnmappable(password))
        return TavTr("DigestPassFile", "Shift_JISで表せない文字が含まれています");
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
    // Folded byte by byte as it goes: a sort of a large file compares often.
    bool trailA = false, trailB = false;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        const unsigned char fa = FoldedByte(ca, trailA), fb = FoldedByte(cb, trailB);
        if (fa != fb) return fa < fb ? -1 : 1;
        trailA = !trailA && LeadByte(ca);
        trailB = !trailB && LeadByte(cb);
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

void SortDigestLines(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return CompareDigestLines(a, b) < 0; });
}

std::string DigestLineUserRealm(const std::string& line) {
    const size_t first = line.find(':');
    if (first == std::string::npos) return {};
    const size_t second = line.find(':', first + 1);
    return second == std::string::npos ? std::string() : line.substr(0, second);
}

TDigestMerge MergeDigestEntry(std::vector<std::string>& lines, const std::string& line, bool refuseDuplicates) {
    if (refuseDuplicates &&
        std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return CompareDigestLines(l, line) == 0; }))
        return TDigestMerge::AlreadyPresent;
    const std::string userRealm = DigestLineUserRealm(line);
    const size_t before = lines.size();
    if (!userRealm.empty())
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [&](const std::string& l) { return DigestLineUserRealm(l) == userRealm; }),
                    lines.end());
    const bool replaced = lines.size() != before;
    lines.push_back(line);
    SortDigestLines(lines);
    return replaced ? TDigestMerge::Replaced : TDigestMerge::Added;
}

namespace {

// An open file with an exclusive lock, released when closed. A writer replaces the file with
// a new one, so a lock won on a file that has lost its name since is given up and taken again
// on the file that now has it.
class TDigestLock {
public:
    ~TDigestLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    // 0 or the errno; ENOENT when nothing is there.
    int Take(const std::string& target, int access) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            fd_ = ::open(target.c_str(), access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd_ < 0) return errno;
            int r;
            while ((r = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {}
            struct stat held{}, named{};
            if (r != 0 || ::fstat(fd_, &held) != 0) return errno;
            if (::stat(target.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
                return 0;
            ::close(fd_);
            fd_ = -1;
        }
        return EAGAIN;
    }
    int Fd() const { return fd_; }

private:
    int fd_ = -1;
};

int ReadAll(int fd, std::string& out) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) out.append(buf, size_t(n));
        else if (n == 0) return 0;
        else if (errno != EINTR) return errno;
    }
}

std::string JoinDigestLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

}  // namespace

TDigestWriteResult AddDigestEntry(const std::string& path, const std::string& line, bool refuseDuplicates) {
    std::string target;
    if (const int err = FollowLinks(path, target)) return {TDigestWrite::Failed, ErrorText(err)};
    struct stat st{};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {TDigestWrite::Missing, {}};
    TDigestLock lock;
    if (const int err = lock.Take(target, O_RDWR))
        return err == ENOENT ? TDigestWriteResult{TDigestWrite::Missing, {}} : TDigestWriteResult{TDigestWrite::Failed, ErrorText(err)};
    std::string bytes;
    if (const int err = ReadAll(lock.Fd(), bytes)) return {TDigestWrite::Failed, ErrorText(err)};
    std::vector<std::string> lines = SplitDigestLines(bytes);
    if (MergeDigestEntry(lines, line, refuseDuplicates) == TDigestMerge::AlreadyPresent)
        return {TDigestWrite::AlreadyPresent, {}};
    TReplaceOptions options;
    options.Before = &bytes;
    if (const int err = ReplaceFile(target, JoinDigestLines(lines), options)) return {TDigestWrite::Failed, ErrorText(err)};
    return {};
}

TDigestWriteResult CreateDigestFile(const std::string& path, const std::string& line) {
    std::string target;
    if (const int err = FollowLinks(path, target)) return {TDigestWrite::Failed, ErrorText(err)};
    TDigestLock lock;
    struct stat st{};
    // Nothing there yet: there is nothing to lock either, and the rename makes the file whole.
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (const int err = lock.Take(target, O_WRONLY); err && err != ENOENT) return {TDigestWrite::Failed, ErrorText(err)};
    }
    if (const int err = ReplaceFile(target, JoinDigestLines({line}))) return {TDigestWrite::Failed, ErrorText(err)};
    return {};
}
