#include "engine/FileReader.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <system_error>

namespace {

std::atomic<TReadFunction> g_read{nullptr};

constexpr size_t kRing = 8;

}  // namespace

void SetReadFunction(TReadFunction read) { g_read.store(read); }

TFileReader::TFileReader(int fd, size_t capacity, int64_t size, size_t consumers, bool readerThread,
                         size_t stride)
    : fd_(fd),
      capacity_(capacity),
      size_(size),
      ring_(readerThread || consumers > 1 ? kRing : 1),
      memory_(new uint8_t[capacity * ring_]),
      sizes_(ring_),
      consumers_(consumers),
      stride_(stride) {
    if (size_ <= 0) end_ = TReadEnd::Complete;
    if (!readerThread || end_ != TReadEnd::None) return;
    try {
        reader_ = std::thread(&TFileReader::ReaderLoop, this);
    } catch (const std::system_error&) {
        // No thread to be had: the consumers read for themselves.
    }
}

TFileReader::~TFileReader() {
    Stop();
    if (reader_.joinable()) reader_.join();
}

void TFileReader::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    consumerWake_.notify_all();
    readerWake_.notify_all();
    callerWake_.notify_all();
}

TReadEnd TFileReader::End() const {
    std::lock_guard lock(mutex_);
    return end_ == TReadEnd::None && stop_ ? TReadEnd::Stopped : end_;
}

int TFileReader::Error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void TFileReader::Release(size_t consumer) {
    std::lock_guard lock(mutex_);
    ReleaseLocked(consumer);
}

void TFileReader::ReleaseLocked(size_t consumer) {
    Consumer& me = consumers_[consumer];
    if (!me.holding) return;
    me.holding = false;
    if (me.taken - 1 != finished_) return;   // someone else is further behind
    size_t least = me.taken;
    for (const Consumer& c : consumers_) least = std::min(least, c.holding ? c.taken - 1 : c.taken);
    const size_t milestones = milestones_.size();
    while (finished_ < least) {
        finishedBytes_ += int64_t(sizes_[finished_ % ring_]);
        ++finished_;
        if (stride_ && finished_ % stride_ == 0) milestones_.push_back(finishedBytes_);
    }
    if (milestones_.size() != milestones && callerWaits_) callerWake_.notify_one();
    // Wake whoever waits for a free slot only once half the ring is free: fewer wake-ups,
    // which cost more than the reads they would overlap.
    const size_t free = ring_ - (produced_ - finished_);
    if (free < std::max<size_t>(1, ring_ / 2)) return;
    if (readerWaits_) readerWake_.notify_one();
    if (waitingConsumers_) consumerWake_.notify_all();
}

TChunk TFileReader::Next(size_t consumer) {
    std::unique_lock lock(mutex_);
    ReleaseLocked(consumer);
    Consumer& me = consumers_[consumer];
    for (;;) {
        if (stop_) return {nullptr, 0, TReadEnd::Stopped, 0};
        if (me.taken < produced_) {
            const size_t slot = me.taken++ % ring_;
            me.holding = true;
            return {memory_.get() + slot * capacity_, sizes_[slot], TReadEnd::None, 0};
        }
        if (end_ != TReadEnd::None) {
            if (!me.done) {
                me.done = true;
                if (++doneConsumers_ == consumers_.size() && callerWaits_) callerWake_.notify_one();
            }
            return EndChunk();
        }
        if (!reader_.joinable() && !reading_ && produced_ - finished_ < ring_) {
            ReadLocked(lock);
            continue;
        }
        ++waitingConsumers_;
        consumerWake_.wait(lock);
        --waitingConsumers_;
    }
}

// Reads the next buffer into the next free slot, outside the lock; one read at a time.
void TFileReader::ReadLocked(std::unique_lock<std::mutex>& lock) {
    reading_ = true;
    const size_t slot = produced_ % ring_;
    const size_t want = size_t(std::min<int64_t>(int64_t(capacity_), size_ - read_));
    uint8_t* buffer = memory_.get() + slot * capacity_;
    lock.unlock();

    const TReadFunction readFn = g_read.load();
    ssize_t n;
    do n = readFn ? readFn(fd_, buffer, want) : ::read(fd_, buffer, want);
    while (n < 0 && errno == EINTR);
    const int error = n < 0 ? errno : 0;

    lock.lock();
    reading_ = false;
    if (n > 0) {
        sizes_[slot] = size_t(n);
        read_ += n;
        ++produced_;
        if (read_ >= size_) end_ = TReadEnd::Complete;
    } else if (n == 0) {
        end_ = TReadEnd::Short;
    } else {
        end_ = TReadEnd::Failed;
        error_ = error;
    }
    if (waitingConsumers_) consumerWake_.notify_all();
}

void TFileReader::ReaderLoop() {
    std::unique_lock lock(mutex_);
    while (end_ == TReadEnd::None) {
        readerWaits_ = true;
        readerWake_.wait(lock, [&] { return stop_ || produced_ - finished_ < ring_; });
        readerWaits_ = false;
        if (stop_) return;
        ReadLocked(lock);
    }
}

bool TFileReader::NextMilestone(int64_t& bytes) {
    std::unique_lock lock(mutex_);
    callerWaits_ = true;
    callerWake_.wait(lock, [&] {
        return stop_ || !milestones_.empty() || doneConsumers_ == consumers_.size();
    });
    callerWaits_ = false;
    if (stop_ || milestones_.empty()) return false;
    bytes = milestones_.front();
    milestones_.pop_front();
    return true;
}
