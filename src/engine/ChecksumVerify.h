// Verifying the entries of a checksum list against the files they name, and writing lists of
// files a window holds. Std only: the command line prints the verdicts, the batch window shows
// them in its rows.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ChecksumList.h"
#include "engine/NamedFileDigest.h"

// Whether a file of this name is taken for a checksum list when the user opens or drops it:
// SHA256SUMS, SHA512SUMS, SHA1SUMS, MD5SUMS, CHECKSUMS, or a name ending in .sha256, .sha512,
// .sha1, .md5 (lower case: the program's own .MD5 sidecar stays a file to analyse) or .sfv.
// `name` is the file name without its folder.
bool IsChecksumListName(std::string_view name);
// Whether a list of this name is read as SFV first.
bool IsSfvListName(std::string_view name);

// A list file read whole. `Problem` says why there is nothing to verify (it cannot be read,
// holds binary data or not one proper line); empty when Entries came out.
struct TListFile {
    TChecksumList List;
    std::string Problem;
};
TListFile ReadChecksumListFile(const std::string& path);
// A list named by the user's choice of file: the list when the name rule takes it and the
// content parses, nothing (an empty Problem and no entries) otherwise.
bool LooksLikeChecksumList(const std::string& path, TListFile* read = nullptr);

// Where a listed name is looked for: `folder` joined with a relative name (an empty folder
// keeps the name as it is, as `sha256sum -c` resolves against the current folder); an absolute
// name stays as it is.
std::string ListedPath(const std::string& folder, const std::string& name);

enum class TListVerdict { Match, Mismatch, Missing, Unreadable, Skipped };

struct TListCheckResult {
    TListVerdict Verdict = TListVerdict::Skipped;
    std::string Computed;   // lower case; empty unless the file was read
    std::string Reason;     // why it is missing or unreadable
    bool ReadAsCp932 = false;   // found under the entry's Cp932Name
};

// Computes the digests of one listed file (a path as ListedPath gives it), every kind from one
// read. The command line's hook is DigestFile; a window's adds its progress and abort.
using TListDigestHook =
    std::function<TFileDigest(const std::string& path, const std::vector<const TDigestKindInfo*>& kinds)>;

// Verifies `entries` in list order: a file listed several times (for several kinds) is read
// once; a name from a Windows list that is missing is looked for under its UTF-8 spelling.
// The files are digested by `digest` on a few workers; `emit(i, result)` runs on the calling
// thread for entry i in order, `idle` while it waits (see RunInOrder). A hook that answers
// Canceled leaves the entry Skipped.
void VerifyListEntries(const std::vector<TListEntry>& entries, const std::string& folder,
                       const TListDigestHook& digest,
                       const std::function<void(size_t, const TListCheckResult&)>& emit,
                       const std::function<void()>& idle = {});

// The lines of a list written from a window's files: `format` for `kind` (SFV: CRC32), each
// name relative to `listFolder` where the file lies below it or beside it ("../" otherwise).
// `names` and `hexes` go together; a name a format cannot hold (SFV: see FormatListLine) is
// left out and counted in `leftOut`. Each line ends in LF.
std::string RelativeListName(const std::string& listFolder, const std::string& path);
std::string ListFileBytes(TListFormat format, const TDigestKindInfo& kind, const std::vector<std::string>& names,
                          const std::vector<std::string>& hexes, size_t* leftOut = nullptr);
