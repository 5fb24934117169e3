// The batch runs without a window: the hash phases, Time Walker and renaming by pattern.
// The window maps its cells and controls onto these; tavrenne-cli batch prints.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/DigestKinds.h"
#include "engine/NormalFileInfo.h"
#include "text/DateTimeFormat.h"

// Says when pending window messages should run between rows: at most once per interval of
// work, so a list of small files keeps its window painted and its abort button live.
class TBatchPacer {
public:
    using TClock = std::function<int64_t()>;   // milliseconds
    explicit TBatchPacer(TClock clock = {}, int64_t intervalMs = 50);
    // True at most once per interval; the interval starts again then.
    bool Due();

private:
    TClock clock_;
    int64_t interval_;
    int64_t last_;
};

// What a hash phase asks of, and tells to, whoever holds the list.
class TBatchHashSink {
public:
    virtual ~TBatchHashSink() = default;
    // Counted once, when the phase begins: rows added later wait for the next phase.
    virtual int RowCount() = 0;
    virtual std::string RowPath(int row) = 0;
    virtual bool Aborted() = 0;
    // The engine of the phase as it is created, and nullptr once it is gone.
    virtual void EngineChanged(TNormalFileInfo* /*engine*/) {}
    virtual void RowStarted(int /*row*/, const std::string& /*path*/) {}
    // The size text and the digest (empty: none, and `reason` says why: an empty file, or the
    // abort). Not called for a row whose digest could not be computed.
    virtual void RowDone(int row, const std::string& sizeText, const std::string& digest,
                         const std::string& reason) = 0;
    // The row's file vanished, or could not be opened or read to its end: an error of the
    // run. Its cells stay as they were.
    virtual void RowFailed(int /*row*/, const std::string& /*reason*/) {}
    // After every row, whether or not it was skipped.
    virtual void RowEnded(int /*row*/) {}
};

// One hash phase over the rows: lower-case digests, the sizes as BatchSizeText with
// `separator`. Rows are skipped once the sink says it is aborted.
void RunBatchHashPhase(const TDigestKindInfo& kind, uint16_t bufferKB, TProgressProc progress,
                       const std::string& separator, TBatchHashSink& sink);

// Why an engine that has run gave no digest for `path`, in words for the user.
std::string NoDigestReason(const TNormalFileInfo& engine, const std::string& path);
// Whether an engine that has run and gave no digest failed on its file (the file vanished or
// changed while being opened, could not be opened or read) rather than met an empty file or
// a cancel.
bool NoDigestIsFailure(const TNormalFileInfo& engine);

// Sets only the last-write time of a file to `value` (local time) as a DOS date-time gives it
// back: the seconds rounded down to even. Fails for a path that is not an existing file, a
// file that cannot be opened for writing and a value outside 1980 to 2107.
bool SetFileTimestamp(const std::string& path, const TDateTimeParts& value);

enum class TRenameType { Sequence = 0, TextAndSequence = 1, Timestamp = 2 };
enum class TRenameResult { Renamed, Skipped, Failed };

// "%3d" with every space made "0": 0 gives 000, 1000 gives 1000.
std::string SequenceNumber(int index);
// The example text of a rename type, its two lines joined by CR LF.
std::string RenameExample(TRenameType type);
// The path a file would be renamed to: its folder, the base name of the type and its own
// extension. `age` is the file's DOS date-time (used by the timestamp type).
std::string RenamedPath(const std::string& path, TRenameType type, const std::string& text, int index,
                        uint32_t age);
// Whether a given text keeps the new name in the file's own folder: no "/" (a number always
// follows the text, so ".." in it names a file, never a folder) and no NUL.
bool RenameTextAllowed(const std::string& text);
// Renames one file without ever replacing anything (a text RenameTextAllowed refuses fails): a path that is not a file is skipped, a
// new name taken by a file is skipped, a move the file system refuses fails.
TRenameResult RenameByPattern(const std::string& path, TRenameType type, const std::string& text,
                              int index);
