// The walk of the duplicate search: files of the reference's size, then its CRC32. Shared by
// the search window and tavrenne-cli same.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "engine/NormalFileInfo.h"

struct TDuplicateReference {
    int64_t Size = 0;
    std::string Crc32;   // lower case; empty for an empty or unreadable file
    // The reference file itself, found again by the walk, needs no second read.
    uint64_t Device = 0, Inode = 0;
};

// Hands back the icons an engine took from the desktop while it looked at a file.
using TIconRelease = void (*)(TIconHandle handle);

// The reference's size and CRC32 as the search compares them.
TDuplicateReference ReadDuplicateReference(const std::string& path, TIconRelease release = nullptr);

class TDuplicateSearch {
public:
    explicit TDuplicateSearch(TDuplicateReference reference) : ref_(std::move(reference)) {}

    // Entered a folder that could be listed (the window shows it and lets messages run).
    std::function<void(const std::string& folder)> OnFolder;
    // A file with the reference's size and CRC32, in the order found.
    std::function<void(const std::string& path)> OnFound;
    // A file of the reference's size whose CRC32 could not be read, with the system's reason:
    // a match may have been missed there.
    std::function<void(const std::string& path, const std::string& reason)> OnSkipped;
    // Asked after each entry: true ends every level of the walk after the entry it is on.
    std::function<bool()> Stopped;
    TIconRelease ReleaseIcon = nullptr;

    // Walks `root` depth first in the file system's order, staying on its file system and
    // following no symbolic link; folders that cannot be listed are passed over. The walk goes
    // by descriptors and a file is read through its folder's, so no path is too long. A file or
    // folder already reached through an earlier root or path (a bind mount, a hard link) is
    // not taken again. Nothing is walked once stopped.
    void SearchRoot(const std::string& root);

    int64_t Found() const { return found_; }

private:
    // Returns false when the walk is to stop.
    bool SearchFolder(int dirFd, const std::string& folder, uint64_t device);
    bool IsStopped() const { return Stopped && Stopped(); }

    TDuplicateReference ref_;
    std::set<std::pair<uint64_t, uint64_t>> seenFiles_, seenFolders_;
    int64_t found_ = 0;
};
