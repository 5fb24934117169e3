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

// The "user:realm" a line is for: the bytes before its second ':'; empty when it has fewer.
std::string DigestLineUserRealm(const std::string& line);

enum class TDigestMerge { Added, Replaced, AlreadyPresent };
// Adds `line` to the lines of a file and sorts them. Lines of the same user and realm (compared
// byte for byte, as the web server and htdigest compare them) give way to it, so the new
// password is the one that counts; with refuseDuplicates a line equal to one present (as the
// sort compares) changes nothing.
TDigestMerge MergeDigestEntry(std::vector<std::string>& lines, const std::string& line, bool refuseDuplicates);

enum class TDigestWrite { Written, AlreadyPresent, Missing, Failed };
struct TDigestWriteResult {
    TDigestWrite Result = TDigestWrite::Written;
    std::string Reason;   // the system's reason when Failed
};

// Both writes hold a lock on the file (flock) from reading it to replacing it, so writers at
// the same time, in this program or in others, each add their line. A file the user may not
// write is refused with the system's reason; a symbolic link is written through (a dangling
// one creates its target). The file is replaced as engine/AtomicFile does it: a failure
// leaves the old file byte for byte, and an existing file keeps its permissions.

// Adds `line` to the existing file at `path` (MergeDigestEntry) and rewrites it sorted.
TDigestWriteResult AddDigestEntry(const std::string& path, const std::string& line, bool refuseDuplicates);
// Makes `path` a file holding `line` alone, replacing any file there.
TDigestWriteResult CreateDigestFile(const std::string& path, const std::string& line);
