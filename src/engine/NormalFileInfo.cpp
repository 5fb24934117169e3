#include "engine/NormalFileInfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/FileReader.h"
#include "engine/FileUtils.h"
#include "engine/version/VersionResource.h"
#include "text/DateTimeFormat.h"
#include "text/TextUtil.h"

namespace {

std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}

// Window messages belong to the thread that installed the pump: an engine run on a worker
// (a list check) never pumps.
std::thread::id& PumpThread() {
    static std::thread::id owner;
    return owner;
}

TIconLookup g_iconLookup = nullptr;

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

const char* const kShortTimePattern = "yymmdd\"-\"hhnn";

const char* const kNotRegular = "Not a regular file";
const char* const kEndedEarly = "the file ended before its size was read";
constexpr size_t kBuffersPerPump = 101;
constexpr off_t kReadAheadBytes = 128 * 1024;

}  // namespace

void SetMessagePump(std::function<void()> pump) {
    Pump() = std::move(pump);
    PumpThread() = std::this_thread::get_id();
}

void PumpMessages() {
    if (Pump() && std::this_thread::get_id() == PumpThread()) Pump()();
}

void SetIconLookup(TIconLookup lookup) { g_iconLookup = lookup; }

EFileOpenError::EFileOpenError(std::string path, std::string reason)
    : std::runtime_error(reason), path_(std::move(path)), reason_(std::move(reason)) {}

TNormalFileInfo::TNormalFileInfo() = default;
TNormalFileInfo::~TNormalFileInfo() = default;

void TNormalFileInfo::SetFileName(const std::string& path) {
    uint32_t age = 0;
    if (!FileExistsByAge(path, &age)) {
        ClearInfo();
        return;
    }
    ClearInfo();
    info_.FileName = path;
    LargeIcon = SmallIcon = 0;
    if (g_iconLookup && iconsWanted_) {
        LargeIcon = g_iconLookup(path, false);
        SmallIcon = g_iconLookup(path, true);
    }
    info_.Age = age;
    const TDateTimeParts t = UnpackDosDateTime(age);
    info_.TimeText = FileTimeText(t);
    info_.TimeTextDefault = LocaleDateTimeText(t);
    info_.TimeTextShort = FormatDateTime(kShortTimePattern, t);
}

void TNormalFileInfo::ReadSize() {
    if (!FileExistsByAge(info_.FileName)) {
        info_.Size = 0;
        return;
    }
    info_.Attr = FileAttributes(info_.FileName);
    const int64_t size = GetFileSize64(info_.FileName);
    info_.Size = size < 0 ? 0 : size;
}

void TNormalFileInfo::ReadVersionInfo() {
    const std::vector<uint8_t> block = version::LoadVersionResource(info_.FileName);
    if (block.empty()) return;
    const auto translation = version::QueryTranslation(block);
    char table[9] = {};
    if (translation)
        std::snprintf(table, sizeof table, "%04X%04X", unsigned(*translation & 0xFFFF),
                      unsigned(*translation >> 16));
    auto value = [&](const char* name) -> std::string {
        if (!translation) return "--NON--";
        const auto v = version::QueryString(block, table, name);
        return v && !v->empty() ? *v : "--NON--";
    };
    info_.FileVersion = value("FileVersion");
    info_.LegalCopyright = value("LegalCopyright");
    info_.FileDescription = value("FileDescription");
}

std::string TNormalFileInfo::CaseOf(const std::string& text, bool upper) const { return AsciiCase(text, upper); }

void TNormalFileInfo::Fail(TRunFailure failure, const std::string& reason, bool raise) {
    failure_ = failure;
    failureReason_ = reason;
    if (!raise) return;
    if (failure == TRunFailure::Read) throw EFileReadError(info_.FileName, reason);
    throw EFileOpenError(info_.FileName, reason);
}

void TNormalFileInfo::Run(std::span<const TDigestTarget> targets, bool raiseErrors) {
    for (const TDigestTarget& t : targets) (info_.*t.field).clear();
    failure_ = TRunFailure::None;
    failureReason_.clear();
    if (info_.FileName.empty() || targets.empty()) return;

    canceled_ = false;
    const TProgressHandler progress = progress_;   // set or not for the whole run
    std::string readFailure;

    {
        // Non-blocking open, then only regular files: a FIFO put in the file's place must not hang us.
        FileHandle file(open(info_.FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (file.get() < 0) return Fail(TRunFailure::Open, std::strerror(errno), raiseErrors);
        struct stat st;
        if (fstat(file.get(), &st) != 0) return Fail(TRunFailure::Open, std::strerror(errno), raiseErrors);
        if (!S_ISREG(st.st_mode)) return Fail(TRunFailure::Open, kNotRegular, raiseErrors);

        if (st.st_size > 0) {
            // A file within the kernel's first read-ahead gains nothing from the advice, and a
            // batch of small files would pay a call for each.
            if (st.st_size > kReadAheadBytes) posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
            for (const TDigestTarget& t : targets) t.digest->Init();
            readFailure = ReadThrough(file.get(), st.st_size, targets, progress);
        } else if (info_.Size > 0) {
            // It had bytes when it was sized for this run: emptied since, not an empty file.
            readFailure = kEndedEarly;
        } else {
            canceled_ = true;
        }
    }

    if (progress) progress(100, 100);
    if (canceled_) return;
    if (!readFailure.empty()) return Fail(TRunFailure::Read, readFailure, raiseErrors);
    for (const TDigestTarget& t : targets) info_.*t.field = t.digest->Finish();
}

namespace {

// The digests that one thread feeds, each buffer to each in turn.
using TGroup = std::vector<TNormalFileInfo::Digest*>;

void Feed(const TGroup& group, const TChunk& chunk) {
    for (TNormalFileInfo::Digest* d : group) d->Feed(chunk.data, chunk.size);
}

// The digest threads of one run. They wait until the reader exists, then take every buffer
// as its consumers 0, 1, ... in the order of their groups.
class TDigestThreads {
public:
    TDigestThreads() = default;
    TDigestThreads(const TDigestThreads&) = delete;
    TDigestThreads& operator=(const TDigestThreads&) = delete;
    ~TDigestThreads() {
        Start(nullptr);
        {
            std::lock_guard lock(mutex_);
            if (reader_) reader_->Stop();
        }
        for (std::thread& t : threads_) t.join();
    }

    // One thread per group, as far as threads can be had; returns what is left for the caller.
    TGroup Spawn(const std::vector<TGroup>& groups) {
        TGroup left;
        for (const TGroup& g : groups) {
            if (left.empty()) {
                try {
                    groups_.push_back(g);
                    threads_.emplace_back(&TDigestThreads::Work, this, threads_.size());
                    continue;
                } catch (const std::system_error&) {
                    groups_.pop_back();
                }
            }
            left.insert(left.end(), g.begin(), g.end());
        }
        return left;
    }
    size_t Count() const { return threads_.size(); }

    void Start(TFileReader* reader) {
        {
            std::lock_guard lock(mutex_);
            if (started_) return;
            started_ = true;
            reader_ = reader;
        }
        start_.notify_all();
    }

private:
    void Work(size_t index) {
        TFileReader* reader;
        {
            std::unique_lock lock(mutex_);
            start_.wait(lock, [&] { return started_; });
            reader = reader_;
        }
        if (!reader) return;
        for (;;) {
            const TChunk chunk = reader->Next(index);
            if (chunk.end != TReadEnd::None) return;
            Feed(groups_[index], chunk);
        }
    }

    std::vector<TGroup> groups_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable start_;
    bool started_ = false;
    TFileReader* reader_ = nullptr;
};

struct TThreadPlan {
    std::vector<TGroup> threads;   // a thread for each
    TGroup caller;                 // fed on the caller's thread
    bool readerThread = false;
};

// A file of at most this many buffers is digested on the caller's thread alone: starting
// and joining threads would cost more than they save, and a batch pays it for every file.
constexpr int64_t kBuffersWithoutThreads = 16;

// A lone digest is fed on the caller's thread, a slow one with a reader thread beside it.
// Several share one read: each slow digest gets a thread of its own, the fast ones (CRC32)
// ride with the first of them, and whichever digest thread needs a buffer nobody has read
// yet reads it; the caller's thread only pumps and reports.
TThreadPlan PlanThreads(const TGroup& digests, int64_t buffers) {
    TThreadPlan plan;
    if (digests.size() == 1 || buffers <= kBuffersWithoutThreads) {
        plan.caller = digests;
        plan.readerThread = digests.size() == 1 && digests[0]->Slow() && buffers > kBuffersWithoutThreads;
        return plan;
    }
    TGroup fast;
    for (TNormalFileInfo::Digest* d : digests) {
        if (d->Slow()) plan.threads.push_back({d});
        else fast.push_back(d);
    }
    if (plan.threads.empty()) plan.threads.push_back({});
    plan.threads[0].insert(plan.threads[0].begin(), fast.begin(), fast.end());
    return plan;
}

std::string ReasonOf(TReadEnd end, int error) {
    switch (end) {
    case TReadEnd::Failed: return std::strerror(error);
    case TReadEnd::Short: return kEndedEarly;
    default: return {};
    }
}

}  // namespace

std::string TNormalFileInfo::ReadThrough(int fd, int64_t total, std::span<const TDigestTarget> targets,
                                         const TProgressHandler& progress) {
    TGroup digests;
    for (const TDigestTarget& t : targets) digests.push_back(t.digest);
    const size_t capacity = size_t(bufferKB_ ? bufferKB_ : 1) * 1024;
    const TThreadPlan plan = PlanThreads(digests, (total + int64_t(capacity) - 1) / int64_t(capacity));

    std::optional<TFileReader> reader;   // outlives the threads that use it
    TDigestThreads threads;
    TGroup mine = threads.Spawn(plan.threads);
    mine.insert(mine.end(), plan.caller.begin(), plan.caller.end());
    const size_t me = threads.Count();
    reader.emplace(fd, capacity, total, me + (mine.empty() ? 0 : 1), plan.readerThread, kBuffersPerPump);
    threads.Start(&*reader);

    // Every 101 buffers that all digests have finished: pump, honour a cancel, report.
    size_t fed = 0;
    bool feeding = !mine.empty();
    for (;;) {
        if (feeding) {
            const TChunk chunk = reader->Next(me);
            if (chunk.end == TReadEnd::None) {
                Feed(mine, chunk);
                if (++fed % kBuffersPerPump) continue;
                reader->Release(me);
            } else {
                feeding = false;
            }
        }
        int64_t processed = 0;
        if (!reader->NextMilestone(processed)) break;   // every digest reached the end
        PumpMessages();
        if (canceled_) {
            reader->Stop();
            return {};
        }
        if (progress) progress(processed, total);
    }
    return ReasonOf(reader->End(), reader->Error());
}
