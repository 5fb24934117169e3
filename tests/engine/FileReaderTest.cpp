// Reading ahead on a second thread hands out exactly the buffers of plain reads.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include "engine/FileReader.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Chunks(const std::string& path, size_t capacity, bool readAhead, size_t stopAfter = SIZE_MAX) {
    const int fd = open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    std::vector<std::string> out;
    {
        TFileReader reader(fd, capacity, readAhead);
        while (out.size() < stopAfter) {
            const TChunk c = reader.Next();
            if (c.size <= 0) break;
            out.emplace_back(reinterpret_cast<const char*>(c.data), size_t(c.size));
        }
    }   // leaving early stops the reader thread, which may be blocked on a full ring
    close(fd);
    return out;
}

TEST(FileReader, ReadAheadGivesThePlainSequence) {
    TempDir dir;
    for (size_t size : {size_t(0), size_t(1), size_t(4096), size_t(4097), size_t(100 * 4096 + 5)}) {
        const std::string content = PatternBytes(size);
        const std::string path = dir.write("f", content);
        const auto plain = Chunks(path, 4096, false);
        EXPECT_EQ(Chunks(path, 4096, true), plain) << size;
        std::string joined;
        for (const auto& c : plain) joined += c;
        EXPECT_EQ(joined, content);
    }
}

TEST(FileReader, AskingPastTheEndKeepsAnsweringEnd) {
    TempDir dir;
    const std::string path = dir.write("f", PatternBytes(5000));
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    {
        TFileReader reader(fd, 4096, true);
        EXPECT_EQ(reader.Next().size, 4096);
        EXPECT_EQ(reader.Next().size, 5000 - 4096);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(reader.Next().size, 0);
    }
    close(fd);
}

TEST(FileReader, StoppingEarlyEndsTheReaderThread) {
    TempDir dir;
    const std::string path = dir.write("f", PatternBytes(64 * 4096));
    for (size_t stop : {size_t(0), size_t(1), size_t(5), size_t(20)}) {
        const auto got = Chunks(path, 4096, true, stop);
        EXPECT_EQ(got.size(), stop);
    }
}

}  // namespace
