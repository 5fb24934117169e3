// Reads an open file buffer by buffer for the digest runs, for one digest or for several
// that share one read.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What the reader calls instead of ::read; tests inject failures and short files through it.
using TReadFunction = ssize_t (*)(int fd, void* buffer, size_t count);
// nullptr restores ::read.
void SetReadFunction(TReadFunction read);

// Why a reader hands out no more buffers.
enum class TReadEnd {
    None,       // a buffer of data
    Complete,   // every byte of the size given was read
    Failed,     // a read failed: `error` holds its errno
    Short,      // the file ended before the size given
    Stopped,    // Stop() was called
};

struct TChunk {
    const uint8_t* data;
    size_t size;   // 0 exactly when `end` is not None
    TReadEnd end;
    int error;
};

class TFileReader {
public:
    // Reads `size` bytes from the file's current position, at most `capacity` per read.
    // `consumers` (numbered from 0) each take every buffer, in order, through Next; a buffer
    // is read again only when every consumer has finished with it. With a reader thread, a
    // thread of its own keeps a ring of buffers filled; without it, the consumer that needs
    // a buffer nobody has read yet reads it (a lone consumer then reads into one buffer).
    // Every `stride` buffers that all consumers have finished make a milestone.
    TFileReader(int fd, size_t capacity, int64_t size, size_t consumers, bool readerThread,
                size_t stride = 0);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // Gives up the consumer's previous buffer and returns its next one, valid until the
    // consumer's next call. After the end every call answers that end again.
    TChunk Next(size_t consumer);
    // Gives up the consumer's current buffer before its next call.
    void Release(size_t consumer);

    // Waits for the next milestone, each one once and in order, and gives the bytes of the
    // buffers before it; false when every consumer reached the end first, or after Stop().
    bool NextMilestone(int64_t& bytes);
    // Ends the reading: every consumer's next call answers Stopped.
    void Stop();
    // How the reading ended; None while it goes on.
    TReadEnd End() const;
    int Error() const;

private:
    struct Consumer {
        size_t taken = 0;   // buffers handed to it, the current one included
        bool holding = false;
        bool done = false;
    };

    void ReleaseLocked(size_t consumer);
    void ReadLocked(std::unique_lock<std::mutex>& lock);
    void ReaderLoop();
    TChunk EndChunk() const { return {nullptr, 0, end_, error_}; }

    int fd_;
    size_t capacity_;
    int64_t size_;
    size_t ring_;
    std::unique_ptr<uint8_t[]> memory_;
    std::vector<size_t> sizes_;   // per slot
    std::vector<Consumer> consumers_;

    mutable std::mutex mutex_;
    int64_t read_ = 0;        // bytes read so far
    size_t produced_ = 0;     // buffers read so far
    size_t finished_ = 0;     // buffers every consumer is done with
    int64_t finishedBytes_ = 0;
    size_t stride_;
    std::deque<int64_t> milestones_;   // bytes at each milestone not yet asked for
    size_t doneConsumers_ = 0;
    TReadEnd end_ = TReadEnd::None;
    int error_ = 0;
    bool reading_ = false;    // a consumer is reading outside the lock
    bool stop_ = false;
    size_t waitingConsumers_ = 0;
    bool readerWaits_ = false;
    bool callerWaits_ = false;
    std::condition_variable consumerWake_;
    std::condition_variable readerWake_;
    std::condition_variable callerWake_;
    std::thread reader_;
};
