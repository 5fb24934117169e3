// Reads an open file buffer by buffer for the digest run.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct TChunk {
    const uint8_t* data;
    ssize_t size;   // 0 at the end of the file; a failed read also ends the file
};

class TFileReader {
public:
    // With readAhead, a second thread keeps a ring of buffers filled while the caller digests;
    // the buffers and their sizes are exactly those of plain reads in order.
    TFileReader(int fd, size_t capacity, bool readAhead);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // The next buffer; valid until the following call.
    TChunk Next();

private:
    static constexpr size_t kRing = 8;

    ssize_t ReadInto(uint8_t* buffer);
    void ReaderLoop();

    int fd_;
    size_t capacity_;
    std::unique_ptr<uint8_t[]> memory_;
    ssize_t sizes_[kRing] = {};
    size_t produced_ = 0;   // buffers read so far
    size_t consumed_ = 0;   // buffers handed back by the caller
    bool holding_ = false;
    bool atEnd_ = false;
    bool stop_ = false;
    bool readerWaits_ = false;
    bool callerWaits_ = false;
    std::mutex mutex_;
    std::condition_variable readerWake_;
    std::condition_variable callerWake_;
    std::thread reader_;
};
