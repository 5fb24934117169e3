// The hash cache: record bytes, file names, lookups and the clean-ups.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "engine/cache/FileCaches.h"
#include "engine/digest/Crc32.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kCrc = "ABCDEF01";
const std::string kMd5 = "0123456789ABCDEF0123456789ABCDEF";
const std::string kSha1 = "0123456789abcdef0123456789abcdef01234567";

// Size and DOS date-time of an ordinary stored file.
constexpr int64_t kSize = 1234;
constexpr uint32_t kAge = 0x5C2E4A21;

// The 101 bytes of an entry, laid out field by field.
std::string EntryBytes(const std::string& crc, const std::string& md5, const std::string& sha1,
                       int32_t marker = 1, int64_t size = kSize, uint32_t age = kAge) {
    std::string b(101, '\0');
    for (int i = 0; i < 8; ++i) b[i] = char(uint64_t(size) >> (8 * i));
    for (int i = 0; i < 4; ++i) b[8 + i] = char(uint32_t(marker) >> (8 * i));
    for (int i = 0; i < 4; ++i) b[12 + i] = char(age >> (8 * i));
    b[16] = char((crc.empty() ? 0 : 1) | (md5.empty() ? 0 : 2) | (sha1.empty() ? 0 : 4));
    b[17] = char(crc.size());
    b.replace(18, crc.size(), crc);
    b[26] = char(md5.size());
    b.replace(27, md5.size(), md5);
    b[59] = char(sha1.size());
    b.replace(60, sha1.size(), sha1);
    return b;
}

TDateTimeParts At(int y, int mo, int d, int h, int mi, int s, int ms) { return {y, mo, d, h, mi, s, ms}; }

// A clock that moves one millisecond per call, so that every store gets its own name.
TFileCaches::TClock Ticking(TDateTimeParts start) {
    return [t = start]() mutable {
        const TDateTimeParts now = t;
        if (++t.msec == 1000) t.msec = 0, ++t.second;
        return now;
    };
}

void Fill(const fs::path& folder, int n) {
    fs::create_directories(folder);
    for (int i = 0; i < n; ++i)
        std::ofstream(folder / ("e" + std::to_string(i) + ".dat"), std::ios::binary) << EntryBytes(kCrc, "", "");
}

std::string CrcText(const std::string& bytes) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X",
                  ~digest::Crc32Feed(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return text;
}

// Four bytes that, appended to `prefix`, give the whole the CRC32 `target`: the register is
// run backwards from the wanted final state (the top bytes of the table entries are all
// different, so each step back is unique), then joined to the state after the prefix.
std::string ForgeCrcSuffix(const std::string& prefix, uint32_t target) {
    uint32_t table[256];
    digest::Crc32BuildTable(table);
    uint8_t byTop[256];
    for (int i = 0; i < 256; ++i) byTop[table[i] >> 24] = uint8_t(i);
    uint32_t reg = ~target;
    for (int k = 0; k < 4; ++k) {
        const uint8_t j = byTop[reg >> 24];
        reg = ((reg ^ table[j]) << 8) | j;
    }
    const uint32_t wanted =
        reg ^ digest::Crc32Feed(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(prefix.data()), prefix.size());
    std::string suffix(4, '\0');
    for (int i = 0; i < 4; ++i) suffix[size_t(i)] = char(wanted >> (8 * i));
    return suffix;
}

// The file's DOS date-time after setting its modified time to `when` (seconds since 1970).
uint32_t AgeAfterTouch(const std::string& path, time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    uint32_t age = 0;
    EXPECT_TRUE(FileExistsByAge(path, &age));
    return age;
}

size_t EntryCount(const fs::path& folder) {
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

TEST(FileCaches, NamesEntriesFromTheLocalTimeWithoutPadding) {
    EXPECT_EQ(CacheFileName(At(2026, 1, 3, 9, 5, 7, 3)), "2601039573.dat");
    EXPECT_EQ(CacheFileName(At(2026, 12, 7, 5, 3, 9, 45)), "26120753945.dat");
    EXPECT_EQ(CacheFileName(At(2000, 10, 31, 23, 59, 58, 999)), "001031235958999.dat");
    EXPECT_EQ(CacheFileName(At(2031, 2, 1, 0, 0, 0, 0)), "3102010000.dat");
}

TEST(FileCaches, StoresTheRecordByteForByte) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    TFileCaches store(folder, [] { return At(2026, 1, 3, 9, 5, 7, 3); });
    ASSERT_FALSE(store.Unavailable());
    EXPECT_TRUE(fs::is_directory(folder));   // created when missing
    store.Store(kCrc, kMd5, kSha1, kSize, kAge);
    EXPECT_EQ(ReadBytes(folder + "/2601039573.dat"), EntryBytes(kCrc, kMd5, kSha1));

    // An empty text leaves its field zero and its flag off.
    TFileCaches partial(folder, [] { return At(2026, 1, 3, 9, 5, 7, 4); });
    partial.Store(kCrc, "", kSha1, kSize, kAge);
    const std::string bytes = ReadBytes(folder + "/2601039574.dat");
    EXPECT_EQ(bytes, EntryBytes(kCrc, "", kSha1));
    EXPECT_EQ(bytes[16], 5);

    // The same name again replaces the earlier entry.
    TFileCaches again(folder, [] { return At(2026, 1, 3, 9, 5, 7, 3); });
    again.Store("00000000", "", "", INT64_C(0x0102030405060708), 0x8899AABB);
    const std::string replaced = ReadBytes(folder + "/2601039573.dat");
    EXPECT_EQ(replaced, EntryBytes("00000000", "", "", 1, INT64_C(0x0102030405060708), 0x8899AABB));
    EXPECT_EQ(replaced.substr(0, 8), "\x08\x07\x06\x05\x04\x03\x02\x01");   // little-endian
    EXPECT_EQ(replaced.substr(12, 4), "\xBB\xAA\x99\x88");
    EXPECT_EQ(EntryCount(folder), 2u);
}

TEST(FileCaches, StoresNothingForTextsOfTheWrongLength) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    const struct { std::string crc, md5, sha1; } bad[] = {
        {"ABCDEF0", kMd5, kSha1}, {"ABCDEF012", kMd5, kSha1}, {kCrc, kMd5.substr(1), kSha1},
        {kCrc, kMd5 + "0", kSha1}, {kCrc, kMd5, kSha1.substr(1)}, {kCrc, kMd5, kSha1 + "0"},
    };
    for (const auto& b : bad)
        TFileCaches(folder, Ticking(At(2026, 1, 1, 0, 0, 0, 0))).Store(b.crc, b.md5, b.sha1, kSize, kAge);
    EXPECT_EQ(EntryCount(folder), 0u);
    TFileCaches(folder).Store("", "", "", kSize, kAge);   // empty texts are allowed: an entry with no text
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(FileCaches, LookupMatchesTheCrcExactlyAndSkipsWhatIsNoEntry) {
    TempDir dir;
    const fs::path folder = dir.path() / "Cache";
    fs::create_directory(folder);
    // Files that hold a key but are no entries: 100 bytes long, another marker.
    std::ofstream(folder / "short.dat", std::ios::binary) << EntryBytes("5555AAAA", kMd5, kSha1).substr(0, 100);
    std::ofstream(folder / "marker.dat", std::ios::binary) << EntryBytes("2222AAAA", kMd5, kSha1, 2);
    fs::create_directory(folder / "sub.dat");
    ASSERT_EQ(mkfifo((folder / "pipe.dat").c_str(), 0600), 0);   // must not block the lookup
    TFileCaches(folder.string(), [] { return At(2026, 5, 5, 5, 5, 5, 5); }).Store(kCrc, "", kSha1, kSize, kAge);
    // A longer file counts by its first 101 bytes.
    std::ofstream(folder / "long.dat", std::ios::binary) << EntryBytes("11111111", kMd5, "") + "trailing";

    TFileCaches caches(folder.string());
    EXPECT_EQ(caches.Count(), 6u);

    caches.Lookup("abcdef01", kSize, kAge);   // letter case counts
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_EQ(caches.CurrentSHA1(), "");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&caches.Current()), 101), std::string(101, '\0'));

    caches.Lookup(kCrc, kSize, kAge);
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/2605055555.dat");
    EXPECT_EQ(caches.CurrentMD5(), "");      // stored without MD5: the caller computes it
    EXPECT_EQ(caches.CurrentSHA1(), kSha1);

    caches.Lookup("11111111", kSize, kAge);
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/long.dat");
    EXPECT_EQ(caches.CurrentMD5(), kMd5);

    for (const char* key : {"5555AAAA", "2222AAAA", "22222222"}) {
        caches.Lookup(key, kSize, kAge);   // a miss also clears what the last hit loaded
        EXPECT_EQ(caches.MatchedFile(), "") << key;
        EXPECT_EQ(caches.CurrentMD5(), "") << key;
    }
}

TEST(FileCaches, TheFirstListedOfTwoEqualKeysWins) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 1); }).Store(kCrc, kMd5, "", kSize, kAge);
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 2); })
        .Store(kCrc, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "", kSize, kAge);
    TFileCaches caches(folder);
    ASSERT_EQ(caches.Count(), 2u);
    caches.Lookup(kCrc, kSize, kAge);
    EXPECT_EQ(caches.MatchedFile(), caches.List()[0]);
    EXPECT_EQ(caches.CurrentMD5(), ReadBytes(caches.List()[0]).substr(27, 32));
}

TEST(FileCaches, AFileForgedToAnotherFilesCrc32GetsNoneOfItsDigests) {
    TempDir dir;
    // The genuine file, and a different one of the same size forced to the same CRC32.
    const std::string genuineBytes = "setup.exe genuine 27 bytes.";
    const std::string prefix = "tampered, 23 bytes long";
    const std::string crc = CrcText(genuineBytes);
    uint32_t target = 0;
    ASSERT_EQ(std::sscanf(crc.c_str(), "%8X", &target), 1);
    const std::string forgedBytes = prefix + ForgeCrcSuffix(prefix, target);
    ASSERT_EQ(forgedBytes.size(), genuineBytes.size());
    ASSERT_NE(forgedBytes, genuineBytes);
    ASSERT_EQ(CrcText(forgedBytes), crc);
    const std::string genuine = dir.write("genuine.exe", genuineBytes);
    const std::string forged = dir.write("forged.exe", forgedBytes);
    // An independent CRC32 agrees that the two collide.
    EXPECT_EQ(RunCommand("python3 -c \"import sys, zlib; print(*('%08X' % zlib.crc32(open(p, 'rb').read())"
                         " for p in sys.argv[1:]))\" " + genuine + " " + forged),
              crc + " " + crc + "\n");

    const uint32_t genuineAge = AgeAfterTouch(genuine, 1700000000);   // November 2023
    const uint32_t forgedAge = AgeAfterTouch(forged, 1760000000);     // made later: October 2025
    ASSERT_NE(genuineAge, forgedAge);
    const int64_t size = GetFileSize64(genuine);
    ASSERT_EQ(GetFileSize64(forged), size);

    const fs::path folder = dir.path() / "Cache";
    TFileCaches(folder.string(), [] { return At(2026, 2, 2, 2, 2, 2, 2); }).Store(crc, kMd5, kSha1, size, genuineAge);
    const std::string stored = folder.string() + "/2602022222.dat";
    // A record of an older store: the same CRC32, zeros where size and time are now kept.
    std::ofstream(folder / "old.dat", std::ios::binary) << EntryBytes(crc, kMd5, kSha1, 1, 0, 0);

    const struct { const char* what; int64_t size; uint32_t age; bool hit; } cases[] = {
        {"the genuine file again", size, genuineAge, true},
        {"the forged file", size, forgedAge, false},
        {"the genuine time with another size", size + 4, genuineAge, false},
        {"no size and no time, as the older record has", 0, 0, false},
    };
    for (const auto& c : cases) {
        TFileCaches caches(folder.string());
        ASSERT_EQ(caches.Count(), 2u);
        caches.Lookup(crc, c.size, c.age);
        EXPECT_EQ(caches.MatchedFile(), c.hit ? stored : "") << c.what;
        EXPECT_EQ(caches.CurrentMD5(), c.hit ? kMd5 : "") << c.what;
        EXPECT_EQ(caches.CurrentSHA1(), c.hit ? kSha1 : "") << c.what;
    }
}

TEST(FileCaches, CloseUpkeepTrimsByTheLimitOrClearsAll) {
    const struct { int entries, limit; bool clearAll; int remaining; } cases[] = {
        {49, 50, false, 49}, {50, 50, false, 0}, {60, 50, false, 10},
        {60, 0, false, 60}, {60, 50, true, 0}, {3, 0, true, 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path folder = dir.path() / "Cache";
        Fill(folder, c.entries);
        const std::vector<std::string> listing = TFileCaches(folder.string()).List();
        CacheCloseUpkeep(c.clearAll, c.limit, folder.string());
        ASSERT_EQ(int(EntryCount(folder)), c.remaining) << c.entries << " " << c.limit << " " << c.clearAll;
        // What remains is the end of the listing.
        for (int i = 0; i < c.remaining; ++i)
            EXPECT_TRUE(fs::exists(listing[size_t(c.entries - c.remaining + i)]));
    }
}

TEST(FileCaches, CleanUpsCountAndDeleteForeignFiles) {
    TempDir dir;
    const fs::path folder = dir.path() / "Cache";
    Fill(folder, 1);
    std::ofstream(folder / "foreign.txt") << std::string(100, 'x');

    // The 100-byte file is counted towards the limit and deleted with the others.
    CacheCloseUpkeep(false, 2, folder.string());
    EXPECT_EQ(EntryCount(folder), 0u);

    Fill(folder, 2);
    std::ofstream(folder / "foreign.txt") << std::string(100, 'x');
    TFileCaches caches(folder.string());
    EXPECT_EQ(caches.Count(), 3u);
    EXPECT_TRUE(caches.ClearAll());
    EXPECT_EQ(EntryCount(folder), 0u);
    EXPECT_FALSE(caches.ClearAll());   // the entries are gone: the first deletion fails
    EXPECT_FALSE(TFileCaches(folder.string()).ClearAll());   // nothing listed

    // A folder inside stops the clearing.
    fs::create_directory(folder / "sub");
    EXPECT_FALSE(TFileCaches(folder.string()).ClearAll());
    EXPECT_TRUE(fs::is_directory(folder / "sub"));

    // DeleteEntry leaves folders alone and keeps the listing.
    TFileCaches one(folder.string());
    EXPECT_FALSE(one.DeleteEntry(0));
    EXPECT_FALSE(one.DeleteEntry(7));
    EXPECT_EQ(one.Count(), 1u);
}

TEST(FileCaches, AnUnavailableFolderFindsAndStoresNothing) {
    TempDir dir;
    const std::string folder = dir.file("no/such/Cache");   // only one level is created
    TFileCaches caches(folder);
    EXPECT_TRUE(caches.Unavailable());
    EXPECT_EQ(caches.Folder(), "");
    EXPECT_EQ(caches.Count(), 0u);
    caches.Store(kCrc, kMd5, kSha1, kSize, kAge);
    caches.Lookup(kCrc, kSize, kAge);
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_FALSE(caches.ClearAll());
    EXPECT_FALSE(fs::exists(dir.path() / "no"));

    dir.write("file", "x");   // a file where the folder should be
    EXPECT_TRUE(TFileCaches(dir.file("file")).Unavailable());
}

TEST(FileCaches, TheDefaultFolderIsCacheBesideTheProgram) {
    const std::string folder = TProgramLayout::OfRunningProgram().Folder() + "/";
    EXPECT_TRUE(fs::exists(folder + "test_engine"));
    const bool existed = fs::exists(folder + "Cache");
    const TFileCaches caches;
    EXPECT_EQ(caches.Folder(), folder + "Cache");
    EXPECT_TRUE(fs::is_directory(folder + "Cache"));
    if (!existed) fs::remove(folder + "Cache");
}
