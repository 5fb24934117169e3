#include "engine/NormalFileInfo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/FileReader.h"
#include "engine/FileUtils.h"
#include "engine/version/VersionResource.h"
#include "text/DateTimeFormat.h"

namespace {

std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}

TIconLookup g_iconLookup = nullptr;

class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

const char* const kLongTimePattern = "yyyy\"年\"m\"月\"d\"日 \"hh\"時\"nn\"分\"ss\"秒\"";
const char* const kShortTimePattern = "yymmdd\"-\"hhnn";

}  // namespace

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

void PumpMessages() {
    if (Pump()) Pump()();
}

void SetIconLookup(TIconLookup lookup) { g_iconLookup = lookup; }

EFileOpenError::EFileOpenError(std::string path, std::string reason)
    : std::runtime_error(reason), path_(std::move(path)), reason_(std::move(reason)) {}

TNormalFileInfo::TNormalFileInfo() = default;
TNormalFileInfo::~TNormalFileInfo() = default;

void TNormalFileInfo::SetFileName(const std::string& path) {
    uint32_t age = 0;
    if (!FileExistsByAge(path, &age)) {
        ClearInfo();
        return;
    }
    ClearInfo();
    info_.FileName = path;
    LargeIcon = SmallIcon = 0;
    if (g_iconLookup) {
        LargeIcon = g_iconLookup(path, false);
        SmallIcon = g_iconLookup(path, true);
    }
    info_.Age = age;
    const TDateTimeParts t = UnpackDosDateTime(age);
    info_.TimeText = FormatDateTime(kLongTimePattern, t);
    info_.TimeTextDefault = LocaleDateTimeText(t);
    info_.TimeTextShort = FormatDateTime(kShortTimePattern, t);
}

void TNormalFileInfo::ReadSize() {
    if (!FileExistsByAge(info_.FileName)) {
        info_.Size = 0;
        return;
    }
    info_.Attr = FileAttributes(info_.FileName);
    const int64_t size = GetFileSize64(info_.FileName);
    info_.Size = size < 0 ? 0 : size;
}

void TNormalFileInfo::ReadVersionInfo() {
    const std::vector<uint8_t> block = version::LoadVersionResource(info_.FileName);
    if (block.empty()) return;
    const auto translation = version::QueryTranslation(block);
    char table[9] = {};
    if (translation)
        std::snprintf(table, sizeof table, "%04X%04X", unsigned(*translation & 0xFFFF),
                      unsigned(*translation >> 16));
    auto value = [&](const char* name) -> std::string {
        if (!translation) return "--NON--";
        const auto v = version::QueryString(block, table, name);
        return v && !v->empty() ? *v : "--NON--";
    };
    info_.FileVersion = value("FileVersion");
    info_.LegalCopyright = value("LegalCopyright");
    info_.FileDescription = value("FileDescription");
}

std::string TNormalFileInfo::CaseOf(const std::string& text, bool upper) const {
    std::string s = text;
    for (char& c : s) {
        if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return s;
}

void TNormalFileInfo::Run(Digest& digest, std::string TFileInfo::*field, bool raiseOpenError) {
    (info_.*field).clear();
    if (info_.FileName.empty()) return;

    canceled_ = false;
    const TProgressProc progress = progress_;
    int64_t processed = 0;
    uint8_t buffers = 0;
    const size_t capacity = size_t(bufferKB_ ? bufferKB_ : 1) * 1024;

    {
        // Non-blocking open, then only regular files: a FIFO put in the file's place must not hang us.
        FileHandle file(open(info_.FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        struct stat st;
        if (file.get() >= 0 && (fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))) {
            if (raiseOpenError) throw EFileOpenError(info_.FileName, "Not a regular file");
            return;
        }
        if (file.get() < 0) {
            if (raiseOpenError) throw EFileOpenError(info_.FileName, std::strerror(errno));
            return;
        }
        if (st.st_size == 0) {
            canceled_ = true;
        } else {
            const int64_t total = st.st_size;
            posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
            digest.Init();
            TFileReader reader(file.get(), capacity, digest.ReadAhead());
            for (;;) {
                const TChunk chunk = reader.Next();
                const ssize_t n = chunk.size;
                if (n <= 0) break;   // a read failure ends the loop like the end of the file
                digest.Feed(chunk.data, size_t(n));
                ++buffers;
                processed += n;
                if (buffers > 100) {
                    PumpMessages();
                    buffers = 0;
                    if (canceled_) break;
                    if (progress) progress(processed, total);
                }
            }
        }
    }

    if (progress) progress(100, 100);
    if (!canceled_) info_.*field = digest.Finish();
}
