#include "engine/FileReader.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

TFileReader::TFileReader(int fd, size_t capacity, bool readAhead) : fd_(fd), capacity_(capacity) {
    memory_.reset(new uint8_t[capacity * (readAhead ? kRing : 1)]);
    if (!readAhead) return;
    try {
        reader_ = std::thread(&TFileReader::ReaderLoop, this);
    } catch (const std::system_error&) {
        // No thread to be had: plain reads into the first buffer.
    }
}

TFileReader::~TFileReader() {
    if (!reader_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    readerWake_.notify_one();
    reader_.join();
}

ssize_t TFileReader::ReadInto(uint8_t* buffer) {
    for (;;) {
        const ssize_t n = read(fd_, buffer, capacity_);
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? 0 : n;
    }
}

TChunk TFileReader::Next() {
    if (!reader_.joinable()) return {memory_.get(), ReadInto(memory_.get())};

    if (atEnd_) return {memory_.get(), 0};   // the reader has stopped: nothing more will come
    std::unique_lock lock(mutex_);
    if (holding_) {
        ++consumed_;
        // Wake a waiting reader only once half the ring is free: fewer wake-ups, which cost
        // more than the reads they would overlap.
        if (readerWaits_ && produced_ - consumed_ <= kRing / 2) readerWake_.notify_one();
    }
    callerWaits_ = true;
    callerWake_.wait(lock, [&] { return produced_ > consumed_; });
    callerWaits_ = false;
    holding_ = true;
    const size_t slot = consumed_ % kRing;
    atEnd_ = sizes_[slot] == 0;
    return {memory_.get() + slot * capacity_, sizes_[slot]};
}

void TFileReader::ReaderLoop() {
    for (;;) {
        size_t slot;
        {
            std::unique_lock lock(mutex_);
            readerWaits_ = true;
            readerWake_.wait(lock, [&] { return stop_ || produced_ - consumed_ < kRing; });
            readerWaits_ = false;
            if (stop_) return;
            slot = produced_ % kRing;
        }
        const ssize_t n = ReadInto(memory_.get() + slot * capacity_);
        {
            std::lock_guard lock(mutex_);
            sizes_[slot] = n;
            ++produced_;
            if (callerWaits_) callerWake_.notify_one();
        }
        if (n == 0) return;
    }
}
