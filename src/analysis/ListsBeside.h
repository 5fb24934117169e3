// Checksum lists lying beside a file ("NAME.sha256", "SHA256SUMS", "*.sfv", ...): which of
// them name the file and what they expect of it. Pure: the folder's names and each list's
// bytes come from the caller, so a table of cases tests it without a disk.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/DigestKinds.h"

// Lists longer than this are passed over unread.
inline constexpr uint64_t kMaxListBesideBytes = 4 * 1024 * 1024;

// A list's bytes as the caller could read them.
struct TListBytes {
    enum class TStatus { Read, TooLarge, Unreadable };
    TStatus Status = TStatus::Read;
    std::string Bytes;
    std::string Reason;   // Unreadable: the system's reason
};

struct TListBeside {
    enum class TWhat {
        Expects,      // the list names the file: Kind and Expected are set
        NotAList,     // binary data, or not one line a checksum list holds
        TooLarge,
        Unreadable,
    };
    std::string ListName;
    TWhat What = TWhat::Expects;
    const TDigestKindInfo* Kind = nullptr;
    std::string Expected;   // hex as the list writes it
    std::string Reason;
};

// The names in `folderNames` that may be checksum lists about `fileName`, in a fixed order:
// NAME.sha256, NAME.sha512, NAME.sha1, NAME.md5, SHA256SUMS, SHA512SUMS, SHA1SUMS, MD5SUMS,
// CHECKSUMS, then "*.sfv" by name. The .MD5 sidecar ("NAME.MD5") has rules of its own and
// is not among them, nor is the file itself.
std::vector<std::string> ListNamesBeside(const std::string& fileName, const std::vector<std::string>& folderNames);

// What the lists beside `fileName` say about it: one finding per list and kind that names
// the file (an entry "NAME", "./NAME" or "*NAME"), one per list that could not be used, and
// nothing for a list that names other files only. `read` is asked once per candidate list.
std::vector<TListBeside> ListsBesideFile(const std::string& fileName, const std::vector<std::string>& folderNames,
                                         const std::function<TListBytes(const std::string& listName)>& read);

// The kinds the findings need computed.
TDigestSet KindsListed(const std::vector<TListBeside>& findings);

// The log line of a finding and its kind (0 information, 2 warning). `digest` is the file's
// digest of the finding's kind; for a finding that expects something and has no digest
// (the digest failed) there is no line.
std::optional<std::pair<std::string, int>> ListBesideLogLine(const TListBeside& finding, const std::string& digest);
