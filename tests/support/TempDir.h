#pragma once

#include <sys/resource.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `content` to `name` inside the folder and returns the full path as text.
    std::string write(const std::string& name, std::string_view content) const;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Bytes 0..n-1 of a fixed pseudo-random sequence (same for every run).
std::string PatternBytes(size_t n, unsigned seed = 1);
// Runs a shell command and returns what it printed on stdout.
std::string RunCommand(const std::string& command);

// The seconds since the epoch of a local date and time.
time_t LocalTime(int year, int month, int day, int hour, int minute, int second);

// Sets a file's modified and access times to a local date and time.
void SetLocalTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);

// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

// Lets writes fail with EFBIG past `bytes`, as a full disk or quota would, also for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};
