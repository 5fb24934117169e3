// The three digest kinds and everything that names them: one table for the window, the
// command line, the command-line tool and the tests.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "engine/NormalFileInfo.h"

// In the order of the main window's comparison list.
enum class TDigestKind { MD5, SHA1, CRC32 };

struct TDigestKindInfo {
    TDigestKind Kind;
    const char* Name;          // "MD5", "SHA1", "CRC32": as the log lines name it
    const char* CommandName;   // "md5", "sha1", "crc32": as tavrenne-cli takes it
    char Switch;               // 'm', 'h', 'c': the start-up switch ("-m") that asks for it alone
    size_t TextLength;         // hexadecimal digits of its text
    std::string TFileInfo::*Field;           // where an engine leaves its text
    std::unique_ptr<TNormalFileInfo> (*MakeEngine)();
    std::unique_ptr<TNormalFileInfo::Digest> (*MakeDigest)();   // for a shared read
};

// CRC32, SHA-1, MD5: the order in which an analysis computes them.
const std::array<TDigestKindInfo, 3>& DigestKinds();
const TDigestKindInfo& DigestKindInfo(TDigestKind kind);
// nullptr when nothing matches.
const TDigestKindInfo* DigestKindByCommandName(std::string_view name);
const TDigestKindInfo* DigestKindBySwitch(char letter);

// A set of digest kinds.
class TDigestSet {
public:
    TDigestSet() = default;
    TDigestSet(std::initializer_list<TDigestKind> kinds) {
        for (TDigestKind k : kinds) Add(k);
    }
    void Add(TDigestKind kind) { bits_ |= Bit(kind); }
    void Remove(TDigestKind kind) { bits_ &= uint8_t(~Bit(kind)); }
    bool Has(TDigestKind kind) const { return (bits_ & Bit(kind)) != 0; }
    bool Empty() const { return bits_ == 0; }
    int Count() const { return (bits_ & 1) + ((bits_ >> 1) & 1) + ((bits_ >> 2) & 1); }
    bool operator==(const TDigestSet&) const = default;

private:
    static uint8_t Bit(TDigestKind kind) { return uint8_t(1u << unsigned(kind)); }
    uint8_t bits_ = 0;
};
