// The reader hands every consumer exactly the buffers of plain reads, reuses a buffer only
// when all are done with it, and says honestly why the buffers stopped.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/FileReader.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

constexpr size_t kCap = 4096;

std::atomic<int> g_readerReads{0};
std::atomic<int> g_readerFailAfter{-1};   // reads that succeed before the injected EIO; -1 never
std::atomic<bool> g_slowReads{false};

ssize_t CountingRead(int fd, void* buffer, size_t count) {
    const int n = g_readerReads.fetch_add(1);
    if (g_slowReads) std::this_thread::sleep_for(200us);
    if (g_readerFailAfter >= 0 && n >= g_readerFailAfter) {
        errno = EIO;
        return -1;
    }
    return ::read(fd, buffer, count);
}

class FileReader : public ::testing::Test {
protected:
    void SetUp() override {
        g_readerReads = 0;
        g_readerFailAfter = -1;
        g_slowReads = false;
        SetReadFunction(CountingRead);
    }
    void TearDown() override {
        SetReadFunction(nullptr);
        if (fd_ >= 0) close(fd_);
    }
    int Open(const std::string& content) {
        if (fd_ >= 0) close(fd_);
        fd_ = open(dir_.write("f", content).c_str(), O_RDONLY);
        EXPECT_GE(fd_, 0);
        return fd_;
    }

    TempDir dir_;
    int fd_ = -1;
};

// What one consumer took: the buffers and how they ended.
struct Taken {
    std::vector<std::string> buffers;
    TReadEnd end = TReadEnd::None;
    int error = 0;
};

// Every consumer on a thread of its own; consumer 0 dawdles over every third buffer, so the
// others run ahead as far as the ring lets them.
std::vector<Taken> TakeAll(TFileReader& reader, size_t consumers) {
    std::vector<Taken> taken(consumers);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < consumers; ++i) {
        threads.emplace_back([&, i] {
            for (;;) {
                const TChunk c = reader.Next(i);
                if (c.end != TReadEnd::None) {
                    EXPECT_EQ(c.size, 0u);
                    taken[i].end = c.end;
                    taken[i].error = c.error;
                    return;
                }
                std::string bytes(reinterpret_cast<const char*>(c.data), c.size);
                if (i == 0 && taken[i].buffers.size() % 3 == 0) std::this_thread::sleep_for(300us);
                // Still the same bytes after dawdling: nobody read into this buffer meanwhile.
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.data), c.size), bytes);
                taken[i].buffers.push_back(std::move(bytes));
            }
        });
    }
    for (std::thread& t : threads) t.join();
    return taken;
}

std::vector<std::string> Split(const std::string& content, size_t cap) {
    std::vector<std::string> out;
    for (size_t at = 0; at < content.size(); at += cap) out.push_back(content.substr(at, cap));
    return out;
}

// Sizes around the buffer and the ring of eight buffers, for each way of reading: a lone
// consumer reading for itself or with a reader thread, several sharing the reads, several
// beside a reader thread; with slow reads and without.
TEST_F(FileReader, EveryConsumerGetsThePlainReadsInOrder) {
    const size_t sizes[] = {1, kCap - 1, kCap, kCap + 1, 8 * kCap - 1, 8 * kCap, 8 * kCap + 1, 37 * kCap + 5};
    const struct {
        size_t consumers;
        bool thread;
    } modes[] = {{1, false}, {1, true}, {2, false}, {3, false}, {3, true}};
    for (bool slow : {false, true}) {
        g_slowReads = slow;
        for (size_t size : sizes) {
            const std::string content = PatternBytes(size, unsigned(size));
            for (const auto& m : modes) {
                const int fd = Open(content);
                TFileReader reader(fd, kCap, int64_t(size), m.consumers, m.thread);
                const std::vector<Taken> taken = TakeAll(reader, m.consumers);
                for (size_t i = 0; i < m.consumers; ++i) {
                    SCOPED_TRACE(testing::Message() << "size " << size << ", " << m.consumers << " consumers, thread "
                                                    << m.thread << ", slow " << slow << ", consumer " << i);
                    EXPECT_EQ(taken[i].buffers, Split(content, kCap));
                    EXPECT_EQ(taken[i].end, TReadEnd::Complete);
                }
                EXPECT_EQ(reader.End(), TReadEnd::Complete);
                // A file read to its size takes no read past it.
                EXPECT_EQ(g_readerReads.exchange(0), int((size + kCap - 1) / kCap));
            }
        }
    }
}

TEST_F(FileReader, SaysWhyTheBuffersStopped) {
    const std::string content = PatternBytes(10 * kCap);
    const struct {
        const char* what;
        int64_t size;      // the size the reader is told
        int failAfter;
        size_t buffers;    // it hands out before the end
        TReadEnd end;
        int error;
    } cases[] = {
        {"a read fails", int64_t(content.size()), 4, 4, TReadEnd::Failed, EIO},
        {"the first read fails", int64_t(content.size()), 0, 0, TReadEnd::Failed, EIO},
        {"the file is shorter than its size", int64_t(content.size()) + 1, -1, 10, TReadEnd::Short, 0},
        {"the file is longer than its size", int64_t(content.size() - kCap - 3), -1, 9, TReadEnd::Complete, 0},
    };
    for (const auto& c : cases) {
        for (size_t consumers : {size_t(1), size_t(2)}) {
            SCOPED_TRACE(testing::Message() << c.what << ", " << consumers << " consumers");
            g_readerReads = 0;
            g_readerFailAfter = c.failAfter;
            TFileReader reader(Open(content), kCap, c.size, consumers, true);
            for (const Taken& t : TakeAll(reader, consumers)) {
                EXPECT_EQ(t.buffers.size(), c.buffers);
                EXPECT_EQ(t.end, c.end);
                EXPECT_EQ(t.error, c.error);
                std::string joined;
                for (const std::string& b : t.buffers) joined += b;
                EXPECT_EQ(joined, content.substr(0, joined.size()));
                if (c.end == TReadEnd::Complete) {
                    EXPECT_EQ(int64_t(joined.size()), c.size);
                }
            }
            EXPECT_EQ(reader.End(), c.end);
            EXPECT_EQ(reader.Error(), c.error);
        }
    }
}

// The caller's view: a milestone every `stride` buffers that every consumer has finished,
// each with the bytes before it, however far ahead the consumers have got meanwhile.
TEST_F(FileReader, MilestonesWaitForTheSlowestConsumer) {
    const std::string content = PatternBytes(25 * kCap + 7);
    TFileReader reader(Open(content), kCap, int64_t(content.size()), 2, false, 10);
    std::atomic<size_t> slowDone{0};
    std::thread slow([&] {
        while (reader.Next(1).end == TReadEnd::None) {
            std::this_thread::sleep_for(300us);
            ++slowDone;
        }
    });
    std::thread fast([&] {
        while (reader.Next(0).end == TReadEnd::None) {
        }
    });
    for (int64_t buffers : {10, 20}) {
        int64_t bytes = 0;
        ASSERT_TRUE(reader.NextMilestone(bytes));
        EXPECT_EQ(bytes, buffers * int64_t(kCap));
        EXPECT_GE(slowDone.load(), size_t(buffers));
    }
    int64_t bytes = -1;
    EXPECT_FALSE(reader.NextMilestone(bytes));   // both reached the end first
    EXPECT_EQ(bytes, -1);
    EXPECT_EQ(slowDone.load(), 26u);
    slow.join();
    fast.join();
}

// A consumer that stops taking (a cancelled run) holds the reader back to one ring of reads,
// and Stop() wakes everyone who waits; the destructor then returns.
TEST_F(FileReader, StopEndsAStalledRun) {
    const std::string content = PatternBytes(64 * kCap);
    for (bool thread : {false, true}) {
        g_readerReads = 0;
        TFileReader reader(Open(content), kCap, int64_t(content.size()), 2, thread, 1);
        std::thread fast([&] {
            while (reader.Next(1).end == TReadEnd::None) {
            }
        });
        ASSERT_EQ(reader.Next(0).end, TReadEnd::None);   // consumer 0 keeps buffer 0
        while (g_readerReads < 8) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(20ms);   // time to read on, were it allowed to
        EXPECT_LE(g_readerReads.load(), 8) << "read into a buffer consumer 0 still holds";
        reader.Stop();
        fast.join();
        EXPECT_EQ(reader.Next(0).end, TReadEnd::Stopped);   // and lets go of buffer 0
        EXPECT_EQ(reader.End(), TReadEnd::Stopped);
        int64_t bytes = 0;
        EXPECT_FALSE(reader.NextMilestone(bytes));   // at once
    }
}

}  // namespace
