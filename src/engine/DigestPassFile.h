// HTTP Digest password files (one "user:realm:HA1" line per user, Shift_JIS, CR LF), as the
// Digest tool and tavrenne-cli digest-pass write them.
#pragma once

#include <string>
#include <vector>

// Why a user name, realm or password (UTF-8) cannot make a line; empty when it can. A ":" or
// a line break in the user name or realm would make the line read as another user's, and a
// character Shift_JIS cannot hold would be hashed as "?".
std::string DigestEntryProblem(const std::string& user, const std::string& realm,
                               const std::string& password);

// The entry line without its line end, in Shift_JIS bytes: user ":" realm ":" the lower-case
// MD5 of user ":" realm ":" password.
std::string DigestEntryLine(const std::string& user, const std::string& realm,
                            const std::string& password);

// The file's lines as the list reads them: split at CR LF, CR or LF; no empty last line.
std::vector<std::string> SplitDigestLines(const std::string& bytes);
// The list's order: Shift_JIS text compared without regard to the case of ASCII letters.
int CompareDigestLines(const std::string& a, const std::string& b);
void SortDigestLines(std::vector<std::string>& lines);

enum class TDigestWrite { Written, AlreadyPresent, Missing, Failed };
struct TDigestWriteResult {
    TDigestWrite Result = TDigestWrite::Written;
    std::string Reason;   // the system's reason when Failed
};

// Adds `line` to the existing file at `path` and rewrites it sorted; with refuseDuplicates a
// line equal to one present (as the sort compares) leaves the file as it is.
TDigestWriteResult AddDigestEntry(const std::string& path, const std::string& line, bool refuseDuplicates);
// Makes `path` a file holding `line` alone, replacing any file there.
TDigestWriteResult CreateDigestFile(const std::string& path, const std::string& line);

// Writes `lines`, each followed by CR LF, to a temporary file in the target's folder and
// renames it over the target, so a failure leaves the old file byte for byte. A symbolic link
// is written through to its target; an existing file keeps its permissions.
TDigestWriteResult ReplaceDigestFile(const std::string& path, const std::vector<std::string>& lines);
