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
#include "support/CacheFixtures.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kCrc = "ABCDEF01";
const std::string kMd5 = "0123456789ABCDEF0123456789ABCDEF";
const std::string kSha1 = "0123456789abcdef0123456789abcdef01234567";

// An ordinary file's identity, and the record's 12 bytes of it.
const TFileIdentity kId{0x803, 1234567, 1234, INT64_C(1700000000123456789), INT64_C(1700000001987654321)};

std::string FingerprintBytes(const TFileIdentity& id) {
    const auto f = id.Fingerprint();
    return std::string(reinterpret_cast<const char*>(f.data()), f.size());
}

// The 101 bytes of an entry, laid out field by field. `fingerprint` empty: a record of an
// older store, with no identity (its size and time where the fingerprint now is).
std::string EntryBytes(const std::string& crc, const std::string& md5, const std::string& sha1,
                       const std::string& fingerprint = FingerprintBytes(kId), int32_t marker = 1) {
    std::string b(101, '\0');
    for (int i = 0; i < 4; ++i) b[8 + i] = char(uint32_t(marker) >> (8 * i));
    if (fingerprint.empty()) {
        b.replace(0, 2, "\xD2\x04");           // 1234 bytes
        b.replace(12, 4, "\x21\x4A\x2E\x5C");  // its DOS date-time
    } else {
        b.replace(0, 8, fingerprint.substr(0, 8));
        b.replace(12, 4, fingerprint.substr(8, 4));
        b[100] = 1;
    }
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

TFileIdentity IdentityOf(const std::string& path) {
    const std::optional<TFileIdentity> id = TFileIdentity::Of(path);
    EXPECT_TRUE(id) << path;
    return id.value_or(TFileIdentity{});
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
    store.Store(kCrc, kMd5, kSha1, kId);
    EXPECT_EQ(ReadBytes(folder + "/2601039573.dat"), EntryBytes(kCrc, kMd5, kSha1));

    // An empty text leaves its field zero and its flag off.
    TFileCaches partial(folder, [] { return At(2026, 1, 3, 9, 5, 7, 4); });
    partial.Store(kCrc, "", kSha1, kId);
    const std::string bytes = ReadBytes(folder + "/2601039574.dat");
    EXPECT_EQ(bytes, EntryBytes(kCrc, "", kSha1));
    EXPECT_EQ(bytes[16], 5);

    // The same name again replaces the earlier entry. The identity is a real file's here, its
    // fingerprint computed by Python from os.stat.
    const std::string file = dir.write("a.bin", "abc");
    const std::string reference = ReferenceFingerprint(file);
    ASSERT_EQ(reference.size(), 12u);
    TFileCaches again(folder, [] { return At(2026, 1, 3, 9, 5, 7, 3); });
    again.Store("00000000", "", "", IdentityOf(file));
    const std::string replaced = ReadBytes(folder + "/2601039573.dat");
    EXPECT_EQ(replaced, EntryBytes("00000000", "", "", reference));
    EXPECT_EQ(replaced.substr(8, 4), std::string("\1\0\0\0", 4));
    EXPECT_EQ(replaced[100], '\1');
    EXPECT_EQ(EntryCount(folder), 2u);
}

TEST(FileCaches, StoresNothingForTextsOfTheWrongLengthOrNotHexadecimal) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    const struct { std::string crc, md5, sha1; } bad[] = {
        {"ABCDEF0", kMd5, kSha1}, {"ABCDEF012", kMd5, kSha1}, {kCrc, kMd5.substr(1), kSha1},
        {kCrc, kMd5 + "0", kSha1}, {kCrc, kMd5, kSha1.substr(1)}, {kCrc, kMd5, kSha1 + "0"},
        {"ABCDEF0G", kMd5, kSha1}, {kCrc, std::string(32, 'z'), kSha1}, {kCrc, kMd5, std::string(40, ' ')},
    };
    for (const auto& b : bad)
        TFileCaches(folder, Ticking(At(2026, 1, 1, 0, 0, 0, 0))).Store(b.crc, b.md5, b.sha1, kId);
    EXPECT_EQ(EntryCount(folder), 0u);
    TFileCaches(folder).Store("", "", "", kId);   // empty texts are allowed: an entry with no text
    EXPECT_EQ(EntryCount(folder), 1u);
}

TEST(FileCaches, LookupMatchesTheCrcExactlyAndSkipsWhatIsNoEntry) {
    TempDir dir;
    const fs::path folder = dir.path() / "Cache";
    fs::create_directory(folder);
    // Files that hold a key but are no entries: 100 bytes long, another marker.
    std::ofstream(folder / "short.dat", std::ios::binary) << EntryBytes("5555AAAA", kMd5, kSha1).substr(0, 100);
    std::ofstream(folder / "marker.dat", std::ios::binary)
        << EntryBytes("2222AAAA", kMd5, kSha1, FingerprintBytes(kId), 2);
    fs::create_directory(folder / "sub.dat");
    ASSERT_EQ(mkfifo((folder / "pipe.dat").c_str(), 0600), 0);   // must not block the lookup
    TFileCaches(folder.string(), [] { return At(2026, 5, 5, 5, 5, 5, 5); }).Store(kCrc, "", kSha1, kId);
    // A longer file counts by its first 101 bytes.
    std::ofstream(folder / "long.dat", std::ios::binary) << EntryBytes("11111111", kMd5, "") + "trailing";

    TFileCaches caches(folder.string());
    EXPECT_EQ(caches.Count(), 6u);

    caches.Lookup("abcdef01", kId);   // letter case counts
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_EQ(caches.CurrentSHA1(), "");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&caches.Current()), 101), std::string(101, '\0'));

    caches.Lookup(kCrc, kId);
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/2605055555.dat");
    EXPECT_EQ(caches.CurrentMD5(), "");      // stored without MD5: the caller computes it
    EXPECT_EQ(caches.CurrentSHA1(), kSha1);

    caches.Lookup("11111111", kId);
    EXPECT_EQ(caches.MatchedFile(), folder.string() + "/long.dat");
    EXPECT_EQ(caches.CurrentMD5(), kMd5);

    for (const char* key : {"5555AAAA", "2222AAAA", "22222222"}) {
        caches.Lookup(key, kId);   // a miss also clears what the last hit loaded
        EXPECT_EQ(caches.MatchedFile(), "") << key;
        EXPECT_EQ(caches.CurrentMD5(), "") << key;
    }
    // What is no entry of ours stays for the clean-ups.
    EXPECT_EQ(caches.Count(), 6u);
    EXPECT_EQ(EntryCount(folder), 6u);
}

TEST(FileCaches, TheFirstListedOfTwoEqualKeysWins) {
    TempDir dir;
    const std::string folder = dir.file("Cache");
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 1); }).Store(kCrc, kMd5, "", kId);
    TFileCaches(folder, [] { return At(2026, 1, 1, 1, 1, 1, 2); })
        .Store(kCrc, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "", kId);
    TFileCaches caches(folder);
    ASSERT_EQ(caches.Count(), 2u);
    caches.Lookup(kCrc, kId);
    EXPECT_EQ(caches.MatchedFile(), caches.List()[0]);
    EXPECT_EQ(caches.CurrentMD5(), ReadBytes(caches.List()[0]).substr(27, 32));
}

// A copy forged to the genuine file's CRC32 and size, with its times copied by `touch -r`:
// only the genuine file itself finds the record.
TEST(FileCaches, ATwinWithCopiedTimesGetsNoneOfTheGenuineFilesDigests) {
    TempDir dir;
    const std::string genuineBytes = "setup.exe genuine 27 bytes.";
    const std::string twinBytes = Crc32Twin(genuineBytes);
    const std::string genuine = dir.write("genuine.exe", genuineBytes);
    const std::string twin = dir.write("twin.exe", twinBytes);
    const std::string crc = Crc32Text(genuineBytes);
    ASSERT_NE(twinBytes, genuineBytes);
    // An independent CRC32 agrees that the two collide.
    EXPECT_EQ(RunCommand("python3 -c \"import sys, zlib; print(*('%08X' % zlib.crc32(open(p, 'rb').read())"
                         " for p in sys.argv[1:]))\" " + genuine + " " + twin),
              crc + " " + crc + "\n");
    ASSERT_EQ(RunCommand("touch -r '" + genuine + "' '" + twin + "' && echo ok"), "ok\n");
    const TFileIdentity genuineId = IdentityOf(genuine), twinId = IdentityOf(twin);
    ASSERT_EQ(twinId.Size, genuineId.Size);
    ASSERT_EQ(twinId.ModifiedNs, genuineId.ModifiedNs);
    uint32_t genuineAge = 0, twinAge = 0;
    ASSERT_TRUE(FileExistsByAge(genuine, &genuineAge) && FileExistsByAge(twin, &twinAge));
    ASSERT_EQ(twinAge, genuineAge);   // what the record used to compare

    const fs::path folder = dir.path() / "Cache";
    TFileCaches(folder.string(), [] { return At(2026, 2, 2, 2, 2, 2, 2); }).Store(crc, kMd5, kSha1, genuineId);
    const std::string stored = folder.string() + "/2602022222.dat";

    TFileIdentity changedLater = genuineId;   // the same file after a chmod or a rename
    changedLater.ChangedNs += 1;
    const struct { const char* what; TFileIdentity id; bool hit; } cases[] = {
        {"the genuine file again", genuineId, true},
        {"the twin", twinId, false},
        {"the genuine file, changed since", changedLater, false},
    };
    for (const auto& c : cases) {
        TFileCaches caches(folder.string());
        caches.Lookup(crc, c.id);
        EXPECT_EQ(caches.MatchedFile(), c.hit ? stored : "") << c.what;
        EXPECT_EQ(caches.CurrentMD5(), c.hit ? kMd5 : "") << c.what;
        EXPECT_EQ(caches.CurrentSHA1(), c.hit ? kSha1 : "") << c.what;
    }
    EXPECT_TRUE(fs::exists(stored));   // a record of another file is no damage
}

// Records of the previous version carry no identity: they never match, and the lookup under
// their key deletes them, so that the run stores a record with one in their place.
TEST(FileCaches, RecordsWithoutIdentityNeverMatchAndGoUnderTheirKey) {
    TempDir dir;
    const fs::path folder = dir.path() / "Cache";
    fs::create_directory(folder);
    std::ofstream(folder / "old.dat", std::ios::binary) << EntryBytes(kCrc, kMd5, kSha1, "");
    std::ofstream(folder / "other.dat", std::ios::binary) << EntryBytes("11111111", kMd5, kSha1, "");
    for (const TFileIdentity& id : {kId, TFileIdentity{}}) {
        TFileCaches caches(folder.string());
        caches.Lookup("11111111", id);
        EXPECT_EQ(caches.MatchedFile(), "");
        EXPECT_EQ(caches.CurrentMD5(), "");
    }
    EXPECT_FALSE(fs::exists(folder / "other.dat"));
    TFileCaches caches(folder.string());
    ASSERT_EQ(caches.Count(), 1u);   // another key's old record is left to the clean-ups
    caches.Lookup(kCrc, kId);
    EXPECT_EQ(caches.MatchedFile(), "");
    EXPECT_EQ(caches.Count(), 0u);
    EXPECT_EQ(EntryCount(folder), 0u);
}

// Every field is checked on reading: a damaged record is never handed out and is deleted,
// whatever its key; the intact record beside it stays.
TEST(FileCaches, DamagedRecordsAreDeletedOnReading) {
    const std::string good = EntryBytes(kCrc, kMd5, kSha1);
    auto with = [&](size_t offset, std::string bytes) { return std::string(good).replace(offset, bytes.size(), bytes); };
    const struct { const char* what; std::string bytes; } cases[] = {
        {"MD5 text not hexadecimal", with(27, std::string(32, 'z'))},
        {"one SHA-1 digit a blank", with(99, " ")},
        {"CRC32 digit a NUL", with(25, std::string(1, '\0'))},
        {"MD5 length byte 0xFF", with(26, "\xFF")},
        {"SHA-1 length 39", with(59, "\x27")},
        {"CRC32 length 32", with(17, "\x20")},
        {"MD5 flag off with its text", with(16, "\x05")},
        {"SHA-1 flag on without its text", EntryBytes(kCrc, kMd5, "").replace(16, 1, "\x07")},
        {"an unknown flag", with(16, "\x0F")},
        {"bytes after an absent text", EntryBytes(kCrc, kMd5, "").replace(70, 1, "A")},
        {"unknown identity format", with(100, "\x02")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path folder = dir.path() / "Cache";
        fs::create_directory(folder);
        std::ofstream(folder / "damaged.dat", std::ios::binary) << c.bytes;
        std::ofstream(folder / "intact.dat", std::ios::binary) << EntryBytes("11111111", kMd5, kSha1);
        TFileCaches caches(folder.string());
        for (const std::string& key : {kCrc, std::string("22222222")}) {
            caches.Lookup(key, kId);
            EXPECT_EQ(caches.MatchedFile(), "");
            EXPECT_EQ(caches.CurrentMD5(), "");
            EXPECT_EQ(caches.CurrentSHA1(), "");
        }
        EXPECT_FALSE(fs::exists(folder / "damaged.dat"));
        EXPECT_EQ(caches.List(), std::vector<std::string>{(folder / "intact.dat").string()});
        caches.Lookup("11111111", kId);
        EXPECT_EQ(caches.CurrentMD5(), kMd5);
    }
    // The undamaged record itself is a hit: the damage above is what the lookup refuses.
    TempDir dir;
    const fs::path folder = dir.path() / "Cache";
    fs::create_directory(folder);
    std::ofstream(folder / "good.dat", std::ios::binary) << good;
    TFileCaches caches(folder.string());
    caches.Lookup(kCrc, kId);
    EXPECT_EQ(caches.CurrentMD5(), kMd5);
    EXPECT_EQ(caches.CurrentSHA1(), kSha1);
}

// The limit deletes the oldest records first: the survivors are the newest, whatever the
// order of the directory.
TEST(FileCaches, CloseUpkeepTrimsByTheLimitOldestFirstOrClearsAll) {
    const struct { int entries, limit; bool clearAll; int remaining; } cases[] = {
        {49, 50, false, 49}, {50, 50, false, 0}, {60, 50, false, 10},
        {60, 0, false, 60}, {60, 50, true, 0}, {3, 0, true, 0}, {7, 5, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.entries) + " " + std::to_string(c.limit) + " " + std::to_string(c.clearAll));
        TempDir dir;
        const fs::path folder = dir.path() / "Cache";
        Fill(folder, c.entries);
        // Ages that run against the names: e0 is the newest, e1 a second older, and so on.
        for (int i = 0; i < c.entries; ++i) {
            const std::string path = (folder / ("e" + std::to_string(i) + ".dat")).string();
            const timespec times[2] = {{1700000000 - i, 0}, {1700000000 - i, 0}};
            ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        CacheCloseUpkeep(c.clearAll, c.limit, folder.string());
        ASSERT_EQ(int(EntryCount(folder)), c.remaining);
        for (int i = 0; i < c.remaining; ++i) EXPECT_TRUE(fs::exists(folder / ("e" + std::to_string(i) + ".dat"))) << i;
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
    caches.Store(kCrc, kMd5, kSha1, kId);
    caches.Lookup(kCrc, kId);
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
