// The batch list without a window: its rows, how files are added, the size text and the
// export. The batch window and tavrenne-cli batch share all of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/DateTimeFormat.h"

// A cell no run has filled yet.
inline constexpr const char* kBatchNoValue = "---";

// One file of the list; the eight text cells after the icon, in column order.
struct TBatchRow {
    std::string Name;          // file name without its folder
    std::string CurrentTime;   // the file's modified time
    std::string NewTime;       // the time Time Walker would set
    std::string CRC32 = kBatchNoValue;
    std::string MD5 = kBatchNoValue;
    std::string Size = kBatchNoValue;
    std::string SHA1 = kBatchNoValue;
    std::string Path;          // as it was passed in
    // A row that came from a checksum list: the kind's label ("SHA-256"), the value the list
    // gives, the one computed ("---" until a verification read it) and the verdict text.
    // Empty for every other row.
    std::string ListKind, Expected, Computed, Verdict;
};


// A path the system's calls take however long `path` is: `path` itself when it is shorter
// than PATH_MAX, else "/proc/self/fd/<n>/<name>" through a descriptor of its folder, opened
// one name at a time and held while the object lives. Empty, with Error() saying why, when
// that folder cannot be opened.
class TPathAccess {
public:
    explicit TPathAccess(const std::string& path);
    ~TPathAccess();
    TPathAccess(const TPathAccess&) = delete;
    TPathAccess& operator=(const TPathAccess&) = delete;
    const std::string& Path() const { return path_; }
    int Error() const { return error_; }

private:
    std::string path_;
    int fd_ = -1;
    int error_ = 0;
};

// The row for `path`, or nothing for what the list does not take: folders, missing paths and
// files dated outside 1980 to 2107. A path of any length is taken (TPathAccess).
std::optional<TBatchRow> MakeBatchRow(const std::string& path, const std::string& newTime);

// A folder or file a walk passed over, and the system's reason.
struct TSkippedPath {
    std::string Path;
    std::string Reason;
};

// What adding a folder offers to the list, in walk order: every entry of the folder, or with
// `recursive` every file below it. Symbolic links to folders are never walked. The walk goes
// from folder to folder by descriptors, so no path is too long for it; a folder that cannot
// be opened is passed over and, when `skipped` is given, recorded there.
std::vector<std::string> CollectFolder(const std::string& folder, bool recursive,
                                       std::vector<TSkippedPath>* skipped = nullptr);

// The locale's thousands separator (LC_NUMERIC); "," where the locale groups nothing.
std::string ThousandsSeparator();
// The size as "%20.0n バイト" (in English "bytes"): grouped by threes, the number right-aligned
// in 20 characters.
std::string BatchSizeText(int64_t size, const std::string& separator);

// The export's file name: a chosen name whose extension is not ".txt" in any case gets ".txt".
std::string ExportFileName(const std::string& chosen);
// The folder part of a path: up to, not including, the last separator; a root keeps it.
std::string ExportFolder(const std::string& path);
// The export's lines (UTF-8, without line ends); `now` is the locale's date and time text.
// A row from a checksum list adds its verification after the SHA1 line.
std::vector<std::string> ExportLines(const std::vector<TBatchRow>& rows, const std::string& now);
// How the export's file holds its text: Shift_JIS where the texts are Japanese, UTF-8 (the
// names as the file system has them) where they are English.
enum class TExportEncoding { ShiftJis, Utf8 };
// The lines as the file holds them, each ended by CR LF.
std::string ExportBytes(const std::vector<std::string>& lines, TExportEncoding encoding = TExportEncoding::ShiftJis);
// Writes the bytes to `file` as engine/AtomicFile replaces a file (a failure leaves an old
// file byte for byte; a file the user may not write is refused); an empty text or the
// system's reason on failure.
std::string WriteExport(const std::string& file, const std::string& bytes);
