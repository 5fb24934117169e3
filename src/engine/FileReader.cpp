#include "engine/FileReader.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

TFileReader::TFileReader(int fd, size_t capacity, bool readAhead) : fd_(fd), capacity_(capacity) {
    slots_[0].data.reset(new uint8_t[capacity]);
    if (!readAhead) return;
    slots_[1].data.reset(new uint8_t[capacity]);
    try {
        reader_ = std::thread(&TFileReader::ReaderLoop, this);
    } catch (const std::system_error&) {
        slots_[1].data.reset();   // no thread to be had: plain reads
    }
}

TFileReader::~TFileReader() {
    if (!reader_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
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
    if (!reader_.joinable()) return {slots_[0].data.get(), ReadInto(slots_[0].data.get())};

    std::unique_lock lock(mutex_);
    if (holding_) {
        // The caller is done with the previous buffer: hand it back to the reader.
        slots_[current_].full = false;
        current_ ^= 1;
        changed_.notify_all();
    }
    changed_.wait(lock, [&] { return slots_[current_].full; });
    holding_ = true;
    return {slots_[current_].data.get(), slots_[current_].size};
}

void TFileReader::ReaderLoop() {
    for (int i = 0;; i ^= 1) {
        Slot& slot = slots_[i];
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || !slot.full; });
            if (stop_) return;
        }
        const ssize_t n = ReadInto(slot.data.get());
        {
            std::lock_guard lock(mutex_);
            slot.size = n;
            slot.full = true;
        }
        changed_.notify_all();
        if (n == 0) return;
    }
}
