#include "engine/NamedFileDigest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/FileUtils.h"
#include "engine/NormalFileInfo.h"
#include "text/TextUtil.h"

namespace {

// The shared read of the engines over a file chosen by name alone: the windows' existence
// test (a DOS date) is theirs, a checksum tool takes every regular file.
class TNamedFile : public TNormalFileInfo {
public:
    TNamedFile(const std::string& path, int64_t size) {
        info_.FileName = path;
        info_.Size = size;
    }
    void DigestAll(const std::vector<const TDigestKindInfo*>& kinds, const TDigestWatch& watch) {
        if (watch) {
            // Called on this thread between buffers: a cancel here is seen at the next one.
            SetProgressHandler([this, &watch](int64_t processed, int64_t total) {
                if (!watch(processed, total)) SetCanceled(true);
            });
        }
        std::vector<std::unique_ptr<Digest>> digests;
        std::vector<TDigestTarget> targets;
        for (const TDigestKindInfo* k : kinds) {
            digests.push_back(k->MakeDigest());
            targets.push_back({digests.back().get(), k->Field});
        }
        Run(targets, /*raiseErrors=*/false);
    }
};

std::string EmptyInputText(const TDigestKindInfo& kind) {
    const auto digest = kind.MakeDigest();
    digest->Init();
    return digest->Finish();
}

TFileDigest DigestFailure(std::string reason) {
    TFileDigest r;
    r.State = TFileDigest::TState::Failed;
    r.Reason = std::move(reason);
    return r;
}

TFileDigest FromStandardInput(const std::vector<const TDigestKindInfo*>& kinds, uint16_t bufferKB) {
    std::vector<std::unique_ptr<TNormalFileInfo::Digest>> digests;
    for (const TDigestKindInfo* k : kinds) {
        digests.push_back(k->MakeDigest());
        digests.back()->Init();
    }
    std::vector<uint8_t> buffer(size_t(bufferKB ? bufferKB : 1) * 1024);
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return DigestFailure(std::string("cannot be read: ") + std::strerror(errno));
        }
        for (const auto& d : digests) d->Feed(buffer.data(), size_t(n));
    }
    TFileDigest r;
    r.State = TFileDigest::TState::Done;
    for (const auto& d : digests) r.Texts.push_back(AsciiCase(d->Finish(), false));
    return r;
}

}  // namespace

TFileDigest DigestFile(const std::string& path, const std::vector<const TDigestKindInfo*>& kinds, uint16_t bufferKB,
                       const TDigestWatch& watch) {
    if (path == "-") return FromStandardInput(kinds, bufferKB);
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        if (path.empty() || errno == ENOENT) {
            TFileDigest r;
            r.State = TFileDigest::TState::Missing;
            r.Reason = "no such file";
            return r;
        }
        return DigestFailure(std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        // FileProblem words a folder or a special file; its date test never reaches these.
        const std::string problem = FileProblem(path);
        return DigestFailure(problem.empty() || problem.starts_with("modified time") ? "not a regular file" : problem);
    }

    TNamedFile file(path, st.st_size);
    file.SetBufferSize(bufferKB);
    file.DigestAll(kinds, watch);
    switch (file.Failure()) {
    case TRunFailure::Open: return DigestFailure("cannot be opened: " + file.FailureReason());
    case TRunFailure::Read: return DigestFailure("cannot be read: " + file.FailureReason());
    case TRunFailure::None: break;
    }
    TFileDigest r;
    // A watch may answer false after the last buffer: only a run that left no text was stopped.
    if (file.Canceled() && st.st_size > 0 && !kinds.empty() && (file.Info().*kinds[0]->Field).empty()) {
        r.State = TFileDigest::TState::Canceled;
        r.Reason = "canceled";
        return r;
    }
    r.State = TFileDigest::TState::Done;
    for (const TDigestKindInfo* k : kinds) {
        // A run over an empty file gives no text (the windows' rule); a list gives the digest
        // of empty input, as every other tool does.
        const std::string& text = file.Info().*k->Field;
        r.Texts.push_back(AsciiCase(file.Canceled() ? EmptyInputText(*k) : text, false));
        if (r.Texts.back().empty()) return DigestFailure("no digest");
    }
    return r;
}

namespace {

// More workers than this only make a disk seek between files.
constexpr unsigned kMaxFileWorkers = 4;

}  // namespace

void RunInOrder(size_t count, const std::function<void(size_t)>& work, const std::function<void(size_t)>& emit,
                const std::function<void()>& idle, int idleMs) {
    std::atomic<size_t> next{0};
    std::vector<char> done(count, 0);
    std::mutex mutex;
    std::condition_variable finished;
    size_t awaited = 0;
    auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;) {
            work(i);
            std::lock_guard lock(mutex);
            done[i] = 1;
            if (i == awaited) finished.notify_one();
        }
    };
    const unsigned wanted = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxFileWorkers);
    std::vector<std::thread> workers;
    for (unsigned n = 0; n < wanted && n < count; ++n) {
        try {
            workers.emplace_back(worker);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (workers.empty()) worker();   // no thread to be had: this one does the work
    for (size_t i = 0; i < count; ++i) {
        {
            std::unique_lock lock(mutex);
            awaited = i;
            if (!idle) {
                finished.wait(lock, [&] { return done[i] != 0; });
            } else {
                while (!finished.wait_for(lock, std::chrono::milliseconds(idleMs), [&] { return done[i] != 0; })) {
                    lock.unlock();
                    idle();
                    lock.lock();
                }
            }
        }
        emit(i);
    }
    for (std::thread& t : workers) t.join();
}
