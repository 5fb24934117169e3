// Hash-cache records as a damaged disk or another program may leave them. The reader under
// test is TFileCaches::Lookup over a folder holding one record file; when the reader's
// interface changes, only ReadThroughReader below needs to follow.
#include <unistd.h>

#include <array>
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
    bool Kept = false;   // the record file is still there after the lookup
    TCacheRecord Current{};
};

// The reader: what a lookup of `crc` for the file `id` finds in a folder holding `bytes` as
// its one record file.
TFound ReadThroughReader(const std::string& bytes, const std::string& crc, const TFileIdentity& id) {
    const std::string file = Folder() + "/record.dat";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    TFileCaches caches(Folder());
    caches.Lookup(crc, id);
    return {!caches.MatchedFile().empty(), std::filesystem::exists(file), caches.Current()};
}

bool Hex(const std::string& text, size_t length) {
    return text.size() == length && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    TCacheRecord rec{};
    const bool whole = size >= sizeof rec;

    // The file asked about comes from the bytes after the record; when the first of them is
    // odd its fingerprint is planted in the record, so that records of this very file (the
    // only ones that may match) are reached too.
    std::string tail = whole ? bytes.substr(sizeof rec) : std::string();
    tail.resize(41, '\0');
    TFileIdentity id;
    std::memcpy(&id.Device, tail.data() + 1, 8);
    std::memcpy(&id.Inode, tail.data() + 9, 8);
    std::memcpy(&id.Size, tail.data() + 17, 8);
    std::memcpy(&id.ModifiedNs, tail.data() + 25, 8);
    std::memcpy(&id.ChangedNs, tail.data() + 33, 8);
    if (whole && (tail[0] & 1)) {
        const std::array<uint8_t, 12> f = id.Fingerprint();
        std::memcpy(bytes.data(), f.data(), 8);
        std::memcpy(bytes.data() + 12, f.data() + 8, 4);
        bytes[100] = 1;
    }
    if (whole) std::memcpy(&rec, bytes.data(), sizeof rec);

    // Texts never run past their fields, whatever their length bytes say.
    Check(rec.CRC32Text().size() <= 8 && rec.MD5Text().size() <= 32 && rec.SHA1Text().size() <= 40);

    // Asked for exactly what the record holds, the reader finds it only when it is whole and
    // written for this file, and what it hands out are digests of their kinds' lengths.
    const TFound same = ReadThroughReader(bytes, rec.CRC32Text(), id);
    Check(same.Matched == (whole && rec.Intact() && rec.Identifies(id)));
    if (same.Matched) {
        Check(std::memcmp(&same.Current, &rec, sizeof rec) == 0);
        Check(same.Current.CRC32Text().empty() || Hex(same.Current.CRC32Text(), 8));
        Check(same.Current.MD5Text().empty() || Hex(same.Current.MD5Text(), 32));
        Check(same.Current.SHA1Text().empty() || Hex(same.Current.SHA1Text(), 40));
    } else {
        const TCacheRecord zero{};
        Check(std::memcmp(&same.Current, &zero, sizeof zero) == 0);
    }
    // A damaged record does not stay to be read again (another marker: no record of ours).
    if (whole && rec.MarkerValue() == 1 && !rec.Intact()) Check(!same.Kept);
    // Any other file finds nothing, however alike.
    TFileIdentity other = id;
    other.Inode ^= 1;
    Check(!ReadThroughReader(bytes, rec.CRC32Text(), other).Matched);
    other = id;
    other.ChangedNs ^= 1;
    Check(!ReadThroughReader(bytes, rec.CRC32Text(), other).Matched);
    return 0;
}
