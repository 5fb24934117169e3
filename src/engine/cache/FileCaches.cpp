#include "engine/cache/FileCaches.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "text/TextUtil.h"

namespace {

constexpr uint8_t kIdentityFormat = 1;

bool IsHexText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

// A text field of `capacity` characters: its length byte is 0 or `capacity`, its characters
// are hexadecimal digits, and the bytes after them are zero.
bool CacheFieldIntact(const uint8_t* field, size_t capacity) {
    const size_t len = field[0];
    if (len != 0 && len != capacity) return false;
    for (size_t i = 1; i <= capacity; ++i)
        if (i <= len ? !IsHexDigit(char(field[i])) : field[i] != 0) return false;
    return true;
}

std::string FieldText(const uint8_t* field, size_t capacity) {
    if (field[0] > capacity) return {};
    return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

uint64_t GetLE(const uint8_t* bytes, size_t n) {
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = v << 8 | bytes[i];
    return v;
}

void SetField(uint8_t* field, const std::string& text) {
    field[0] = uint8_t(text.size());
    std::memcpy(field + 1, text.data(), text.size());
}

void PutFingerprint(TCacheRecord& rec, const TFileIdentity& file) {
    const std::array<uint8_t, 12> f = file.Fingerprint();
    std::memcpy(rec.Identity, f.data(), 8);
    std::memcpy(rec.IdentityTail, f.data() + 8, 4);
    rec.IdentityFormat = kIdentityFormat;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The first record of a file; false when the file is shorter or cannot be read.
bool ReadRecord(const std::string& path, TCacheRecord& rec) {
    std::string bytes;
    if (ReadFileHead(path, sizeof rec, bytes) != 0 || bytes.size() != sizeof rec) return false;
    std::memcpy(&rec, bytes.data(), sizeof rec);
    return true;
}

// When an entry was written, for the limit's oldest-first order; 0 when it cannot be told.
int64_t EntryWrittenNs(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return 0;
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

int32_t TCacheRecord::MarkerValue() const { return int32_t(uint32_t(GetLE(Marker, 4))); }
std::string TCacheRecord::CRC32Text() const { return FieldText(CRC32, 8); }
std::string TCacheRecord::MD5Text() const { return FieldText(MD5, 32); }
std::string TCacheRecord::SHA1Text() const { return FieldText(SHA1, 40); }

bool TCacheRecord::Intact() const {
    if (MarkerValue() != 1 || (Flags & ~(kCacheHasCRC32 | kCacheHasMD5 | kCacheHasSHA1)) != 0) return false;
    if (IdentityFormat != 0 && IdentityFormat != kIdentityFormat) return false;
    const struct {
        const uint8_t* field;
        size_t capacity;
        uint8_t flag;
    } texts[] = {{CRC32, 8, kCacheHasCRC32}, {MD5, 32, kCacheHasMD5}, {SHA1, 40, kCacheHasSHA1}};
    for (const auto& t : texts)
        if (!CacheFieldIntact(t.field, t.capacity) || (t.field[0] != 0) != ((Flags & t.flag) != 0)) return false;
    return true;
}

bool TCacheRecord::Identifies(const TFileIdentity& file) const {
    if (IdentityFormat != kIdentityFormat) return false;
    const std::array<uint8_t, 12> f = file.Fingerprint();
    return std::memcmp(Identity, f.data(), 8) == 0 && std::memcmp(IdentityTail, f.data() + 8, 4) == 0;
}

std::string CacheFileName(const TDateTimeParts& t) { return FormatDateTime("yymmddhnsz", t) + ".dat"; }

TFileCaches::TFileCaches(const std::string& folder, TClock clock) : clock_(std::move(clock)) {
    std::string path = folder.empty() ? TProgramLayout::OfRunningProgram().CacheFolder() : folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (!IsFolder(path) && (::mkdir(path.c_str(), 0777) != 0 || !IsFolder(path))) {
        unavailable_ = true;
        return;
    }
    folder_ = path;
    RefreshList();
}

void TFileCaches::RefreshList() {
    list_.clear();
    if (folder_.empty()) return;
    DIR* dir = ::opendir(folder_.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        list_.push_back(folder_ + "/" + name);
    }
    ::closedir(dir);
}

void TFileCaches::Lookup(const std::string& crc, const TFileIdentity& file) {
    matchedFile_.clear();
    if (list_.empty()) return;
    current_ = TCacheRecord{};
    for (auto it = list_.begin(); it != list_.end();) {
        TCacheRecord rec;
        // Shorter files and other markers are no records of ours: only the clean-ups take them.
        if (!ReadRecord(*it, rec) || rec.MarkerValue() != 1) {
            ++it;
            continue;
        }
        const bool damaged = !rec.Intact();
        if (damaged || (rec.IdentityFormat == 0 && rec.CRC32Text() == crc)) {
            ::unlink(it->c_str());
            it = list_.erase(it);
            continue;
        }
        if (rec.CRC32Text() == crc && rec.Identifies(file)) {
            current_ = rec;
            matchedFile_ = *it;
            return;
        }
        ++it;
    }
}

void TFileCaches::Store(const std::string& crc, const std::string& md5, const std::string& sha1,
                        const TFileIdentity& file) {
    matchedFile_.clear();
    if (!(crc.empty() || crc.size() == 8) || !(md5.empty() || md5.size() == 32) ||
        !(sha1.empty() || sha1.size() == 40) || !IsHexText(crc + md5 + sha1))
        return;
    if (unavailable_) return;

    TCacheRecord rec = current_;
    uint8_t flags = 0;
    if (!crc.empty()) SetField(rec.CRC32, crc), flags |= kCacheHasCRC32;
    if (!md5.empty()) SetField(rec.MD5, md5), flags |= kCacheHasMD5;
    if (!sha1.empty()) SetField(rec.SHA1, sha1), flags |= kCacheHasSHA1;
    rec.Marker[0] = 1;
    rec.Marker[1] = rec.Marker[2] = rec.Marker[3] = 0;
    rec.Flags = flags;
    PutFingerprint(rec, file);

    const std::string path = folder_ + "/" + CacheFileName(clock_());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return;
    const ssize_t n = ::write(fd, &rec, sizeof rec);
    ::close(fd);
    if (n != ssize_t(sizeof rec)) ::unlink(path.c_str());   // a short entry is only clutter
}

bool TFileCaches::ClearAll() {
    if (!IsFolder(folder_) || list_.empty()) return false;
    bool ok = false;
    for (const std::string& path : list_) {
        // unlink, not remove: a sub-folder is not a cache entry and stops the clearing.
        ok = ::unlink(path.c_str()) == 0;
        if (!ok) break;
    }
    return ok;
}

bool TFileCaches::DeleteEntry(size_t index) {
    if (list_.empty() || index >= list_.size()) return false;
    const std::string& path = list_[index];
    if (!IsFolder(folder_) || !FileExistsByAge(path)) return false;
    return ::unlink(path.c_str()) == 0;
}

void CacheCloseUpkeep(bool clearAll, int limit, const std::string& folder) {
    if (clearAll) {
        TFileCaches(folder).ClearAll();
        return;
    }
    if (limit < 1) return;
    TFileCaches caches(folder);
    if (caches.Count() < size_t(limit)) return;
    // The entries by the time they were written, oldest first; equal times in listing order.
    std::vector<std::pair<int64_t, size_t>> byAge;
    for (size_t i = 0; i < caches.Count(); ++i) byAge.emplace_back(EntryWrittenNs(caches.List()[i]), i);
    std::stable_sort(byAge.begin(), byAge.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < size_t(limit); ++i) caches.DeleteEntry(byAge[i].second);
}
