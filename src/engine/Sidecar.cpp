#include "engine/Sidecar.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/FileUtils.h"
#include "text/Cp932.h"

namespace {

std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// 32 hexadecimal digits: an MD5 as md5sum and this program write it, in either case.
bool IsHexDigest(std::string_view s) {
    return s.size() == 32 && s.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

}  // namespace

std::string SidecarPath(const std::string& path) { return path + ".MD5"; }

std::optional<std::string> ParseSidecar(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    const size_t eol = line.find_first_of("\r\n");
    if (eol != std::string_view::npos) line = line.substr(0, eol);
    // Blanks and tabs are never part of a double-byte character, so the bytes can be searched.
    const size_t blank = line.find_first_of(" \t");
    const std::string_view value = line.substr(0, blank);
    if (value.size() == 33 && value[0] == '\\' && IsHexDigest(value.substr(1)) && blank != std::string_view::npos)
        return std::string(value.substr(1));
    if (blank == std::string_view::npos && !IsHexDigest(value)) return std::nullopt;
    return cp932::ToUtf8(value);
}

std::optional<std::string> ReadSidecar(const std::string& path) {
    const std::string sidecar = SidecarPath(path);
    if (!FileExistsByAge(sidecar)) return std::nullopt;
    std::string head;
    if (ReadFileHead(sidecar, kSidecarLineLimit, head) != 0) return std::nullopt;
    return ParseSidecar(head);
}

TSidecarWriteResult WriteSidecar(const std::string& path, const std::string& md5) {
    TSidecarWriteResult r;
    const std::string sidecar = SidecarPath(path);
    if (FileExistsByAge(sidecar)) {
        r.Outcome = TSidecarWrite::Exists;
        return r;
    }
    const std::string line = cp932::FromUtf8(AsciiLower(md5) + " " + ExtractFileName(path)) + "\r\n";
    // O_EXCL: whatever appeared at that name since the check is left alone too.
    const int fd = ::open(sidecar.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        r.Reason = std::strerror(errno);
        return r;
    }
    size_t done = 0;
    int err = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += size_t(n);
    }
    if (::close(fd) != 0 && !err) err = errno;
    if (err) {
        ::unlink(sidecar.c_str());   // no half-written sidecar to be read later
        r.Reason = std::strerror(err);
        return r;
    }
    r.Outcome = TSidecarWrite::Written;
    return r;
}

TSidecarRedirect RedirectForSidecar(const std::string& path, bool useMD5File, bool notUseMD5File,
                                    const std::function<bool(const std::string&)>& fileExists) {
    TSidecarRedirect r{path, false};
    if (useMD5File && fileExists(SidecarPath(r.Path))) r.Path = SidecarPath(r.Path);
    if (!notUseMD5File && AsciiUpper(ExtractFileExt(r.Path)) == ".MD5") {
        // Case-sensitive and only the first occurrence: "a.md5" stays as it is.
        std::string candidate = r.Path;
        const size_t at = candidate.find(".MD5");
        if (at != std::string::npos) candidate.erase(at, 4);
        if (fileExists(candidate)) {
            r.Path = candidate;
            r.ReadSidecar = true;
        }
    }
    return r;
}
