// MD5 sidecar files: "<file>.MD5" beside a file, holding its MD5 as one line
// "<md5 in lower case> <file name>" CR LF in code page 932.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// path + ".MD5".
std::string SidecarPath(const std::string& path);

// The value of the sidecar of `path` (the described file, not the sidecar), as
// ParseSidecar reads its first kSidecarLineLimit bytes (so a huge or binary file is safe).
// nullopt when there is no sidecar, it cannot be read, or it holds no value; the caller logs
// a read only for a value.
inline constexpr size_t kSidecarLineLimit = 4096;
std::optional<std::string> ReadSidecar(const std::string& path);

// The value a sidecar's bytes hold: the first line's text before its first blank, possibly
// empty, converted from code page 932. Also read as other tools write them: a UTF-8
// byte-order mark before the line is skipped; a tab counts as a blank; a line that is 32
// hexadecimal digits alone is the digest of the file beside it; and md5sum's line for a name
// with a backslash or line break ("\" before the digest) gives the digest after the "\".
// nullopt for a first line without a value.
std::optional<std::string> ParseSidecar(std::string_view bytes);

enum class TSidecarWrite {
    Written,   // the caller logs "MD5ファイルを生成しました"
    Exists,    // a sidecar is already there: it is never replaced, nothing to log
    Failed,    // Reason says why
};
struct TSidecarWriteResult {
    TSidecarWrite Outcome = TSidecarWrite::Failed;
    std::string Reason;   // the system's text for a failure
};

// Writes the sidecar of `path` with `md5` in lower case, unless one exists.
TSidecarWriteResult WriteSidecar(const std::string& path, const std::string& md5);

// Which file an analysis of `path` really looks at. A file with a sidecar is turned into
// its sidecar (with "use MD5 files" on); a sidecar, unless sidecars are treated as
// ordinary files, is turned into the file it describes, whose sidecar is then read.
struct TSidecarRedirect {
    std::string Path;
    bool ReadSidecar = false;   // call ReadSidecar(Path) and compare against its value
    bool operator==(const TSidecarRedirect&) const = default;
};
TSidecarRedirect RedirectForSidecar(const std::string& path, bool useMD5File, bool notUseMD5File,
                                    const std::function<bool(const std::string&)>& fileExists);
