// The hash cache: record bytes, file names, lookups and the clean-ups.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/ProgramLayout.h"
#include "engine/cache/FileCaches.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kCrc = "ABCDEF01";
const std::string kMd5 = "0123456789ABCDEF0123456789ABCDEF";
const std::string kSha1 = "0123456789abcdef0123456789abcdef01234567";

// The 101 bytes of an entry, laid out field by field.
std::string EntryBytes(const std::string& crc, const std::string& md5, const std::string& sha1,
                       int32_t marker = 1) {
    std::string b(101, '\0');
    for (int i = 0; i < 4; ++i) b[8 + i] = char(uint32_t(marker) >> (8 * i));
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
    store.Store(kCrc, kMd5, kSha1);
    EXPECT_EQ(ReadBytes(folder + "/2601039573.dat"), EntryBytes(kCrc, kMd5, kSha1));

    // An empty text leaves its field zero and its flag off.
    TFileCaches partial(folder, [] { return At(2026, 1, 3, 9, 5, 7, 4); });
    partial.Store(kCrc, "", kSha1);
    const std::string bytes = ReadBytes(folder + "/2601039574.dat");
    EXPECT_EQ(bytes, EntryBytes(kCrc, "", kSha1));
    EXPECT_EQ(bytes[16], 5);

    // The same name again replaces the earlier entry.
    TFileCaches again(folder, [] { return At(2026, 1, 3, 9, 5, 7, 3); });
    again.Store("00000000", "", "");
    EXPECT_EQ(ReadBytes(folder + "/2601039573.dat"), EntryBytes("00000000", "", ""));
    EXPECT_EQ(EntryCount(folder), 2u);
}

TEST(FileCaches, StoresNothingForTextsOfTheWrongLength) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    const struct { std::string crc, md5, sha1; } bad[] = {
        {"ABCDEF0", kMd5, kSha1}, {"ABCDEF012", kMd5, kSha1}, {kCrc, kMd5.substr(1), kSha1},
        {kCrc, kMd5 + "0", kSha1}, {kCrc, kMd5, kSha1.substr(1)}, {kCrc, kMd5, kSha1 + "0"},
    };
    for (const auto& b : bad) TFileCaches(folder, Ticking(At(2026, 1, 1, 0, 0, 0, 0))).Store(b.crc, b.md5, b.sha1);
    EXPECT_EQ(EntryCount(folder), 0u);
    TFileCaches(folder).Store("", "", "");   // empty texts are allowed: an entry with no text
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
    TFileCaches(folder.string(), [] { return At(2026, 5, 5, 5, 5, 5, 5); }).Store(kCrc, "", kSha1);
    // A longer file counts by its first 101 bytes.
    std::ofstream(folder / "long.dat", std::ios::binary) << EntryBytes("11111111", kMd5, "") + "trailing";

    TFileCaches caches(folder.string());
    EXPECT_EQ(caches.Count(), 6u);

    caches.Lookup("abcdef01");   // letter case counts
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_EQ(caches.CurrentSHA1(), "");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&caches.Current()), 101), std::string(101, '\0'));

    caches.Lookup(kCrc);
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/2605055555.dat");
    EXPECT_EQ(caches.CurrentMD5(), "");      // stored without MD5: the caller computes it
    EXPECT_EQ(caches.CurrentSHA1(), kSha1);

    caches.Lookup("11111111");
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/long.dat");
    EXPECT_EQ(caches.CurrentMD5(), kMd5);

    for (const char* key : {"5555AAAA", "2222AAAA", "22222222"}) {
        caches.Lookup(key);   // a miss also clears what the last hit loaded
        EXPECT_EQ(caches.MatchedFile(), "") << key;
        EXPECT_EQ(caches.CurrentMD5(), "") << key;
    }
}

TEST(FileCaches, TheFirstListedOfTwoEqualKeysWins) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 1); }).Store(kCrc, kMd5, "");
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 2); }).Store(kCrc, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "");
    TFileCaches caches(folder);
    ASSERT_EQ(caches.Count(), 2u);
    caches.Lookup(kCrc);
    EXPECT_EQ(caches.MatchedFile(), caches.List()[0]);
    EXPECT_EQ(caches.CurrentMD5(), ReadBytes(caches.List()[0]).substr(27, 32));
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
    caches.Store(kCrc, kMd5, kSha1);
    caches.Lookup(kCrc);
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_FALSE(caches.ClearAll());
    EXPECT_FALSE(fs::exists(dir.path() / "no"));

    dir.write("file", "x");   // a file where the folder should be
    EXPECT_TRUE(TFileCaches(dir.file("file")).Unavailable());
}

TEST(FileCaches, TheDefaultFolderIsCacheBesideTheProgram) {
    const std::string folder = TProgramLayout::OfRunningProgram().Folder() + "/";
    EXPECT_TRUE(fs::exists(folder + "test_engine_FileCachesTest"));
    const bool existed = fs::exists(folder + "Cache");
    const TFileCaches caches;
    EXPECT_EQ(caches.Folder(), folder + "Cache");
    EXPECT_TRUE(fs::is_directory(folder + "Cache"));
    if (!existed) fs::remove(folder + "Cache");
}
