// The digest kinds and everything that names them: one table for the window, the command
// line, the command-line tool and the tests.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "engine/NormalFileInfo.h"

// The first three in the order of the main window's comparison list; the window's index
// into that list is the kind's value. SHA-256 and SHA-512 come after them.
enum class TDigestKind { MD5, SHA1, CRC32, SHA256, SHA512 };

struct TDigestKindInfo {
    TDigestKind Kind;
    const char* Name;          // "MD5", "SHA1", "CRC32", "SHA256", "SHA512": as the log lines and BSD tags name it
    const char* Label;         // "MD5", "SHA-1", "CRC32", "SHA-256", "SHA-512": as results and verdicts name it
    const char* CommandName;   // "md5", "sha1", "crc32", "sha256", "sha512": as tavrenne-cli takes it
    char Switch;               // 'm', 'h', 'c', '2' (SHA-256): the start-up switch ("-m") that asks for it alone;
                               // '\0': it has none
    bool InAll;                // one of the three that "-a", "all" and the main window's boxes mean
    size_t TextLength;         // hexadecimal digits of its text
    std::string TFileInfo::*Field;           // where an engine leaves its text
    std::unique_ptr<TNormalFileInfo> (*MakeEngine)();
    std::unique_ptr<TNormalFileInfo::Digest> (*MakeDigest)();   // for a shared read
};

// CRC32, SHA-1, MD5 (the order in which an analysis computes them), then SHA-256, SHA-512.
const std::array<TDigestKindInfo, 5>& DigestKinds();
const TDigestKindInfo& DigestKindInfo(TDigestKind kind);
// nullptr when nothing matches.
const TDigestKindInfo* DigestKindByCommandName(std::string_view name);
// '\0' matches nothing.
const TDigestKindInfo* DigestKindBySwitch(char letter);
// The kind whose texts have this many hexadecimal digits; nullptr when none has.
const TDigestKindInfo* DigestKindByTextLength(size_t length);

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
    int Count() const { return std::popcount(bits_); }
    bool operator==(const TDigestSet&) const = default;

private:
    static uint8_t Bit(TDigestKind kind) { return uint8_t(1u << unsigned(kind)); }
    uint8_t bits_ = 0;
};

// The kinds of "-a" and "all": CRC32, SHA-1 and MD5.
TDigestSet AllDigestKinds();
