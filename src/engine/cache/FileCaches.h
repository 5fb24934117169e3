// The hash cache: one 101-byte record file per hashed file in the folder "Cache" beside the
// program, found by the file's CRC32 text together with the file's own identity. An instance
// lives for one request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/cache/FileIdentity.h"
#include "text/DateTimeFormat.h"

// The record exactly as it is on disk; integers little-endian, texts as a length byte
// followed by their characters, unused bytes zero.
struct TCacheRecord {
    uint8_t Identity[8];       // bytes 0 to 7 of the file's identity fingerprint
    uint8_t Marker[4];         // 32-bit signed, 1 in every valid entry
    uint8_t IdentityTail[4];   // bytes 8 to 11 of the fingerprint
    uint8_t Flags;             // bit 0 CRC32, bit 1 MD5, bit 2 SHA-1 present
    uint8_t CRC32[9];          // length 0 or 8, then the text
    uint8_t MD5[33];           // length 0 or 32
    uint8_t SHA1[41];          // length 0 or 40
    uint8_t IdentityFormat;    // 1 when the fingerprint is there; 0 in records of older stores

    int32_t MarkerValue() const;
    std::string CRC32Text() const;
    std::string MD5Text() const;
    std::string SHA1Text() const;
    // Every field as a store writes it: flags, lengths, hexadecimal digits, zero padding.
    bool Intact() const;
    // Written for the file `file` is (its fingerprint); never for a record of an older store.
    bool Identifies(const TFileIdentity& file) const;
};
static_assert(sizeof(TCacheRecord) == 101, "the cache file format is 101 bytes");
static_assert(offsetof(TCacheRecord, Marker) == 8 && offsetof(TCacheRecord, IdentityTail) == 12 &&
              offsetof(TCacheRecord, Flags) == 16 && offsetof(TCacheRecord, CRC32) == 17 &&
              offsetof(TCacheRecord, MD5) == 26 && offsetof(TCacheRecord, SHA1) == 59 &&
              offsetof(TCacheRecord, IdentityFormat) == 100);

inline constexpr uint8_t kCacheHasCRC32 = 1, kCacheHasMD5 = 2, kCacheHasSHA1 = 4;

// "yymmddhnsz.dat": hour, minute, second and millisecond without leading zeros.
std::string CacheFileName(const TDateTimeParts& t);

class TFileCaches {
public:
    using TClock = std::function<TDateTimeParts()>;

    // An empty folder means "Cache" in the program's folder. The folder is created when
    // missing (one level); if that fails the store is unavailable.
    explicit TFileCaches(const std::string& folder = {}, TClock clock = NowParts);

    bool Unavailable() const { return unavailable_; }
    const std::string& Folder() const { return folder_; }

    // Every entry of the folder, folders and foreign files included, in directory order.
    void RefreshList();
    const std::vector<std::string>& List() const { return list_; }
    size_t Count() const { return list_.size(); }

    // Loads the first listed entry whose marker is 1, whose CRC32 text equals `crc` exactly
    // (letter case included) and that was stored for `file` itself: a CRC32 is easily forged,
    // and a copy can take the size and the modified time but not the device, the inode and
    // the change time. Records read on the way that are damaged (a field no store writes),
    // and records of older stores under this key (they have no identity, so they could never
    // match again), are deleted and leave the listing. After a miss the current record is
    // all zero.
    void Lookup(const std::string& crc, const TFileIdentity& file);
    // Writes a new entry for `file` from the current record and the non-empty texts. Texts
    // of the wrong length or with other characters than hexadecimal digits store nothing;
    // write failures are swallowed.
    void Store(const std::string& crc, const std::string& md5, const std::string& sha1, const TFileIdentity& file);
    // Deletes the listed entries in order, stopping at the first that cannot be deleted.
    // False without a folder, with an empty listing, or when the last attempt failed.
    bool ClearAll();
    // Deletes listed entry `index` if it is still a file. The listing is not changed.
    bool DeleteEntry(size_t index);

    const std::string& MatchedFile() const { return matchedFile_; }
    const TCacheRecord& Current() const { return current_; }
    std::string CurrentMD5() const { return current_.MD5Text(); }
    std::string CurrentSHA1() const { return current_.SHA1Text(); }

private:
    std::string folder_;
    bool unavailable_ = false;
    std::vector<std::string> list_;
    TCacheRecord current_{};
    std::string matchedFile_;
    TClock clock_;
};

// The upkeep when the main window closes: clear everything, or else, with a limit of at
// least 1, delete `limit` entries, the oldest first, once at least that many exist.
void CacheCloseUpkeep(bool clearAll, int limit, const std::string& folder = {});
