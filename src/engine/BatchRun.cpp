#include "engine/BatchRun.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "engine/BatchList.h"
#include "engine/FileUtils.h"
#include "text/Translate.h"

namespace {

int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string NoDigestReason(const TNormalFileInfo& engine, const std::string& path) {
    switch (engine.Failure()) {
    case TRunFailure::Open: return "cannot be opened: " + engine.FailureReason();
    case TRunFailure::Read: return "cannot be read: " + engine.FailureReason();
    case TRunFailure::None: break;
    }
    if (engine.Info().FileName.empty()) {
        const std::string problem = FileProblem(path);
        return problem.empty() ? "changed while being opened" : problem;
    }
    return engine.Canceled() ? "empty file" : "no digest";
}

bool NoDigestIsFailure(const TNormalFileInfo& engine) {
    return engine.Failure() != TRunFailure::None || engine.Info().FileName.empty() || !engine.Canceled();
}

TBatchPacer::TBatchPacer(TClock clock, int64_t intervalMs)
    : clock_(clock ? std::move(clock) : TClock(&SteadyMs)), interval_(intervalMs), last_(clock_()) {}

bool TBatchPacer::Due() {
    const int64_t now = clock_();
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
}

void RunBatchHashPhase(const TDigestKindInfo& kind, uint16_t bufferKB, TProgressProc progress,
                       const std::string& separator, TBatchHashSink& sink) {
    struct TRelease {
        TBatchHashSink& sink;
        ~TRelease() { sink.EngineChanged(nullptr); }
    };
    const std::unique_ptr<TNormalFileInfo> engine = kind.MakeEngine();
    engine->SetBufferSize(bufferKB);
    engine->SetProgressProc(progress);
    engine->SetIconsWanted(false);
    sink.EngineChanged(engine.get());
    const TRelease release{sink};
    const int count = sink.RowCount();
    for (int r = 0; r < count; ++r) {
        if (sink.Aborted()) {
            sink.RowEnded(r);
            continue;
        }
        const std::string path = sink.RowPath(r);
        engine->SetFileName(path);
        sink.RowStarted(r, path);
        // A file an engine cannot open leaves its row as it was; the phase goes on.
        try {
            engine->ReadSize();
            const std::string size = BatchSizeText(engine->Info().Size, separator);
            const std::string digest = engine->GetHashText(false);
            // The engine says nothing about a run the abort ended: the row keeps its cells.
            if (digest.empty() && sink.Aborted()) {
                sink.RowDone(r, size, {}, "aborted");
            } else if (digest.empty() && NoDigestIsFailure(*engine)) {
                sink.RowFailed(r, NoDigestReason(*engine, path));
            } else {
                sink.RowDone(r, size, digest, digest.empty() ? NoDigestReason(*engine, path) : std::string());
            }
        } catch (const EFileOpenError& e) {
            const bool read = engine->Failure() == TRunFailure::Read;
            sink.RowFailed(r, (read ? "cannot be read: " : "cannot be opened: ") + e.Reason());
        }
        sink.RowEnded(r);
    }
}

bool SetFileTimestamp(const std::string& path, const TDateTimeParts& value) {
    if (!FileExistsByAge(path)) return false;
    uint32_t dos = 0;
    if (!PackDosDateTime(value, dos)) return false;
    const TDateTimeParts t = UnpackDosDateTime(dos);
    const std::time_t when = LocalTimeOf(t);
    if (when == std::time_t(-1)) return false;
    // Opened for writing, as the system would: a read-only file is refused.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    const bool ok = ::futimens(fd, times) == 0;
    ::close(fd);
    return ok;
}

std::string SequenceNumber(int index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d", index);
    std::string s = buf;
    for (char& c : s)
        if (c == ' ') c = '0';
    return s;
}

std::string RenameExample(TRenameType type) {
    // The type's name in words, then the same example in every language.
    switch (type) {
    case TRenameType::Sequence: return TavTr("BatchRun", "連番") + "\r\nabc.txt->xxx.txt";
    case TRenameType::TextAndSequence: return TavTr("BatchRun", "指定値＋連番") + "\r\nabc.txt->NewFilename_xxx.txt";
    case TRenameType::Timestamp: return TavTr("BatchRun", "タイムスタンプ") + "\r\nabc.txt->200408011230.txt";
    }
    return {};
}

std::string RenamedPath(const std::string& path, TRenameType type, const std::string& text, int index,
                        uint32_t age) {
    std::string base;
    switch (type) {
    case TRenameType::Sequence: base = SequenceNumber(index); break;
    case TRenameType::TextAndSequence: base = text + SequenceNumber(index); break;
    case TRenameType::Timestamp: base = FormatDateTime("yyyymmddhhnnss", UnpackDosDateTime(age)); break;
    }
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + base + ExtractFileExt(path);
}

bool RenameTextAllowed(const std::string& text) { return text.find_first_of(std::string("/\0", 2)) == std::string::npos; }

TRenameResult RenameByPattern(const std::string& path, TRenameType type, const std::string& text, int index) {
    if (type == TRenameType::TextAndSequence && !RenameTextAllowed(text)) return TRenameResult::Failed;
    uint32_t age = 0;
    if (!FileExistsByAge(path, &age)) return TRenameResult::Skipped;
    const std::string target = RenamedPath(path, type, text, index, age);
    if (FileExistsByAge(target)) return TRenameResult::Skipped;
    // Never replaces: a file that took the name after the check above is kept, and skipped.
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return TRenameResult::Renamed;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace move: a new link fails on a taken name too.
        if (::link(path.c_str(), target.c_str()) == 0) {
            if (::unlink(path.c_str()) == 0) return TRenameResult::Renamed;
            ::unlink(target.c_str());
            return TRenameResult::Failed;
        }
    }
    if (errno == EEXIST && FileExistsByAge(target)) return TRenameResult::Skipped;
    return TRenameResult::Failed;
}
