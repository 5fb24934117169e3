// Reads an open file buffer by buffer for the digest run.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct TChunk {
    const uint8_t* data;
    ssize_t size;   // 0 at the end of the file; a failed read also ends the file
};

class TFileReader {
public:
    // With readAhead, a second thread reads the next buffer while the caller digests the
    // current one; the buffers and their sizes are exactly those of plain reads.
    TFileReader(int fd, size_t capacity, bool readAhead);
    ~TFileReader();
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;

    // The next buffer; valid until the following call.
    TChunk Next();

private:
    struct Slot {
        std::unique_ptr<uint8_t[]> data;
        ssize_t size = 0;
        bool full = false;
    };

    ssize_t ReadInto(uint8_t* buffer);
    void ReaderLoop();

    int fd_;
    size_t capacity_;
    Slot slots_[2];
    int current_ = 0;
    bool holding_ = false;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread reader_;
};
