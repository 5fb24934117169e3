// Hash-cache records as a damaged disk or another program may leave them. The reader under
// test is TFileCaches::Lookup over a folder holding one record file; when the reader's
// interface changes, only ReadThroughReader below needs to follow.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/cache/FileCaches.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// One folder for the whole run, in memory where the system offers it.
const std::string& Folder() {
    static const std::string folder = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        const std::filesystem::path f = base / ("tav-fuzz-cache-" + std::to_string(getpid()));
        std::filesystem::create_directories(f);
        return f.string();
    }();
    static const struct TRemove {
        ~TRemove() {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    } remove;
    return folder;
}

struct TFound {
    bool Matched = false;
    TCacheRecord Current{};
};

// The reader: what a lookup of `crc`, `size` and `age` finds in a folder holding `bytes` as
// its one record file.
TFound ReadThroughReader(const std::string& bytes, const std::string& crc, int64_t size, uint32_t age) {
    {
        std::ofstream out(Folder() + "/record.dat", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    TFileCaches caches(Folder());
    caches.Lookup(crc, size, age);
    return {!caches.MatchedFile().empty(), caches.Current()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TCacheRecord rec{};
    const bool whole = size >= sizeof rec;
    if (whole) std::memcpy(&rec, data, sizeof rec);

    // Texts never run past their fields, whatever their length bytes say.
    Check(rec.CRC32Text().size() <= 8 && rec.MD5Text().size() <= 32 && rec.SHA1Text().size() <= 40);

    // Asked for exactly what the record holds, the reader finds it when it is a valid entry.
    const TFound same = ReadThroughReader(bytes, rec.CRC32Text(), rec.SizeValue(), rec.AgeValue());
    const bool valid = whole && rec.MarkerValue() == 1 && rec.AgeValue() != 0;
    Check(same.Matched == valid);
    if (same.Matched) {
        Check(std::memcmp(&same.Current, &rec, sizeof rec) == 0);
        Check(same.Current.MD5Text() == rec.MD5Text() && same.Current.SHA1Text() == rec.SHA1Text());
    } else {
        const TCacheRecord zero{};
        Check(std::memcmp(&same.Current, &zero, sizeof zero) == 0);
    }
    // Any other size or time finds nothing.
    Check(!ReadThroughReader(bytes, rec.CRC32Text(), rec.SizeValue() ^ 1, rec.AgeValue()).Matched);
    Check(!ReadThroughReader(bytes, rec.CRC32Text(), rec.SizeValue(), rec.AgeValue() ^ 1).Matched);
    return 0;
}
