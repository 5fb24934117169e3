// What tells one file from every other file, and from itself after a change.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct TFileIdentity {
    uint64_t Device = 0;
    uint64_t Inode = 0;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;   // nanoseconds since 1970
    // Set by the system on every change of the file, its times included; no user command
    // can set it, so a copy made to look like the file (same size, `touch -r`) still differs.
    int64_t ChangedNs = 0;

    bool operator==(const TFileIdentity&) const = default;
    // The same file with the same content as far as its size and modified time tell; a change
    // of the modified time below one second counts. The change time is left out: renaming
    // or chmod changes it, not the content.
    bool SameContentAs(const TFileIdentity& other) const {
        return Device == other.Device && Inode == other.Inode && Size == other.Size &&
               ModifiedNs == other.ModifiedNs;
    }

    // nullopt when the path cannot be examined.
    static std::optional<TFileIdentity> Of(const std::string& path);

    // The first 12 bytes of the SHA-1 of the five values, each little-endian in 8 bytes, in
    // the order above: what a cache record keeps of the identity.
    std::array<uint8_t, 12> Fingerprint() const;
};
