#include "engine/cache/FileCaches.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"

namespace {

std::string FieldText(const uint8_t* field, size_t capacity) {
    const size_t len = field[0] <= capacity ? field[0] : capacity;   // a foreign length byte
    return std::string(reinterpret_cast<const char*>(field + 1), len);
}

uint64_t GetLE(const uint8_t* bytes, size_t n) {
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = v << 8 | bytes[i];
    return v;
}

void PutLE(uint8_t* bytes, size_t n, uint64_t v) {
    for (size_t i = 0; i < n; ++i, v >>= 8) bytes[i] = uint8_t(v);
}

void SetField(uint8_t* field, const std::string& text) {
    field[0] = uint8_t(text.size());
    std::memcpy(field + 1, text.data(), text.size());
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

}  // namespace

int64_t TCacheRecord::SizeValue() const { return int64_t(GetLE(Size, 8)); }
int32_t TCacheRecord::MarkerValue() const { return int32_t(uint32_t(GetLE(Marker, 4))); }
uint32_t TCacheRecord::AgeValue() const { return uint32_t(GetLE(Age, 4)); }
std::string TCacheRecord::CRC32Text() const { return FieldText(CRC32, 8); }
std::string TCacheRecord::MD5Text() const { return FieldText(MD5, 32); }
std::string TCacheRecord::SHA1Text() const { return FieldText(SHA1, 40); }

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

void TFileCaches::Lookup(const std::string& crc, int64_t size, uint32_t age) {
    matchedFile_.clear();
    if (list_.empty()) return;
    current_ = TCacheRecord{};
    for (const std::string& path : list_) {
        TCacheRecord rec;
        if (!ReadRecord(path, rec)) continue;
        if (rec.MarkerValue() == 1 && rec.CRC32Text() == crc && rec.AgeValue() != 0 &&
            rec.SizeValue() == size && rec.AgeValue() == age) {
            current_ = rec;
            matchedFile_ = path;
            return;
        }
    }
}

void TFileCaches::Store(const std::string& crc, const std::string& md5, const std::string& sha1,
                        int64_t size, uint32_t age) {
    matchedFile_.clear();
    if (!(crc.empty() || crc.size() == 8) || !(md5.empty() || md5.size() == 32) ||
        !(sha1.empty() || sha1.size() == 40))
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
    PutLE(rec.Size, 8, uint64_t(size));
    PutLE(rec.Age, 4, age);

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
    for (size_t i = 0; i < size_t(limit); ++i) caches.DeleteEntry(i);
}
