#include "platform/ArchiveLibraries.h"

#include <archive.h>
#include <archive_entry.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>

#include "text/Cp932.h"
#include "text/Utf8.h"

namespace {

const std::map<std::string, TArchiveLibrary>* g_libraries = nullptr;
std::atomic<int> g_loaded{0};
std::atomic<int> g_lhaRunning{0};
std::atomic<int> g_gcaRunning{0};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

const std::map<std::string, TArchiveLibrary>& BuiltIn() {
    static const std::map<std::string, TArchiveLibrary> libraries = {
        {"UNZIP32.DLL", {{{"UnZip", &UnZip}}, {}}},
        {"UNLHA32.DLL", {{{"Unlha", &Unlha}}, {{"UnlhaGetRunning", &UnlhaGetRunning}}}},
        {"cab32.dll", {{{"Cab", &Cab}}, {}}},
        {"UnGCA32.dll", {{{"UnGCA", &UnGCA}}, {{"UnGCAGetRunning", &UnGCAGetRunning}}}},
    };
    return libraries;
}

// Held while an entry point works, so its busy test answers non-zero.
class TRunning {
public:
    explicit TRunning(std::atomic<int>& count) : count_(count) { ++count_; }
    ~TRunning() { --count_; }
    TRunning(const TRunning&) = delete;
    TRunning& operator=(const TRunning&) = delete;

private:
    std::atomic<int>& count_;
};

int Report(int code, const std::string& text, char* output, unsigned long size) {
    if (output && size > 0) {
        const size_t n = std::min<size_t>(text.size(), size - 1);
        std::memcpy(output, text.data(), n);
        output[n] = '\0';
    }
    return code;
}

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start && path.compare(start, slash - start, ".") != 0)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

bool RelativeInside(const std::string& path) {
    if (path.empty() || path[0] == '/') return false;
    const std::vector<std::string> parts = Components(path);
    // No name at all ("." or "./") is the destination itself, which an entry must not replace.
    return !parts.empty() && std::none_of(parts.begin(), parts.end(), [](const std::string& p) { return p == ".."; });
}

// What an entry point was asked to do.
struct TRequest {
    std::string Archive;
    std::string Destination;   // without its closing separator
    std::vector<std::string> Patterns;
};

bool MakeRequest(const TArchiveCommand& command, TRequest& request) {
    request.Archive = command.Archive;
    request.Destination = command.Destination;
    while (request.Destination.size() > 1 && request.Destination.back() == '/') request.Destination.pop_back();
    request.Patterns = command.Patterns;
    return !request.Archive.empty() && !request.Destination.empty();
}

bool Wanted(const std::vector<std::string>& patterns, const std::string& path) {
    if (patterns.empty()) return true;
    for (const std::string& p : patterns)
        if (p == "*.*" || p == "*" || ::fnmatch(p.c_str(), path.c_str(), 0) == 0) return true;
    return false;
}

struct TReadCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct TWriteCloser {
    void operator()(archive* a) const { archive_write_free(a); }
};

std::string Why(archive* a) {
    const char* text = archive_error_string(a);
    return text ? text : "";
}

// Copies one entry's data; `written` counts every byte written by the extraction, which stops
// (kArchiveErrorTooLarge) before it would pass `limit`.
int CopyData(archive* in, archive* out, uint64_t& written, uint64_t limit) {
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(in, &block, &size, &offset);
        if (r == ARCHIVE_EOF) return ARCHIVE_OK;
        if (r < ARCHIVE_WARN) return r;
        if (size > limit - written) return kArchiveErrorTooLarge;
        written += size;
        if (archive_write_data_block(out, block, size, offset) < ARCHIVE_WARN) return ARCHIVE_FATAL;
    }
}

uint64_t FreeBytes(const std::string& folder) {
    struct statvfs st;
    if (::statvfs(folder.c_str(), &st) != 0) return UINT64_MAX;
    return uint64_t(st.f_bavail) * uint64_t(st.f_frsize);
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? uint64_t(st.st_size) : 0;
}

// `options` (may be nullptr) go to the reader; *badHeader tells a header the reader could not
// take from any other failure.
int Extract(int (*support)(archive*), const char* options, const TRequest& request, char* output,
            unsigned long size, bool* badHeader = nullptr) {
    std::unique_ptr<archive, TReadCloser> in(archive_read_new());
    support(in.get());
    if (options) archive_read_set_options(in.get(), options);
    if (archive_read_open_filename(in.get(), request.Archive.c_str(), 64 * 1024) != ARCHIVE_OK)
        return Report(kArchiveErrorOpen, Why(in.get()),
                      output, size);

    // The destination without symbolic links, so that the check of every entry's path against
    // links on disk starts from a real folder.
    std::error_code ec;
    const std::filesystem::path root = std::filesystem::canonical(request.Destination, ec);
    if (ec || !std::filesystem::is_directory(root, ec))
        return Report(kArchiveErrorDamaged, "destination folder missing", output, size);
    const std::string prefix = root.string() + "/";

    std::unique_ptr<archive, TWriteCloser> out(archive_write_disk_new());
    archive_write_disk_set_options(out.get(), ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                                                  ARCHIVE_EXTRACT_SECURE_NODOTDOT);
    archive_write_disk_set_standard_lookup(out.get());

    const uint64_t limit = ArchiveWriteLimit(FileSize(request.Archive), FreeBytes(root.string()));
    uint64_t written = 0;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(in.get(), &entry);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) {
            if (badHeader) *badHeader = true;
            return Report(kArchiveErrorDamaged, Why(in.get()), output, size);
        }
        const char* name = archive_entry_pathname(entry);
        if (!name) name = archive_entry_pathname_utf8(entry);
        const char* symlink = archive_entry_symlink(entry);
        const char* hardlink = archive_entry_hardlink(entry);
        const std::string path = ArchiveEntryName(name ? name : "");
        const std::string linkTarget = symlink ? ArchiveEntryName(symlink) : "";
        const std::string hardTarget = hardlink ? ArchiveEntryName(hardlink) : "";
        if (!ArchiveEntryStaysInside(path, linkTarget, hardTarget))
            return Report(kArchiveErrorUnsafe, "entry outside the destination: " + path, output, size);
        if (!Wanted(request.Patterns, path)) continue;
        archive_entry_set_pathname(entry, (prefix + path).c_str());
        if (symlink) archive_entry_set_symlink(entry, linkTarget.c_str());
        if (hardlink) archive_entry_set_hardlink(entry, (prefix + hardTarget).c_str());
        int copied = ARCHIVE_OK;
        if (archive_write_header(out.get(), entry) < ARCHIVE_WARN ||
            (archive_entry_size(entry) > 0 && (copied = CopyData(in.get(), out.get(), written, limit)) != ARCHIVE_OK) ||
            archive_write_finish_entry(out.get()) < ARCHIVE_WARN) {
            if (copied == kArchiveErrorTooLarge) {
                // No cut file is left to pass for the whole one.
                archive_write_finish_entry(out.get());
                ::unlink((prefix + path).c_str());
                return Report(kArchiveErrorTooLarge, "more than " + std::to_string(limit) + " bytes: " + path, output,
                              size);
            }
            const std::string why = Why(out.get()).empty() ? Why(in.get()) : Why(out.get());
            return Report(kArchiveErrorDamaged, why.empty() ? path : why, output, size);
        }
    }
    if (archive_write_close(out.get()) < ARCHIVE_WARN)
        return Report(kArchiveErrorDamaged, Why(out.get()), output, size);
    return Report(0, "", output, size);
}

int Run(int (*support)(archive*), const TArchiveCommand& command, char* output, unsigned long size) {
    TRequest request;
    if (!MakeRequest(command, request)) return Report(kArchiveErrorCommandLine, "no archive or destination", output, size);
    return Extract(support, nullptr, request, output, size);
}

}  // namespace

const TArchiveLibrary* LoadArchiveLibrary(const std::string& name) {
    const auto& libraries = g_libraries ? *g_libraries : BuiltIn();
    for (const auto& [key, library] : libraries)
        if (Lower(key) == Lower(name)) {
            ++g_loaded;
            return &library;
        }
    return nullptr;
}

void FreeArchiveLibrary(const TArchiveLibrary* library) {
    if (library) --g_loaded;
}

int LoadedArchiveLibraries() { return g_loaded; }

void SetArchiveLibraries(const std::map<std::string, TArchiveLibrary>* libraries) { g_libraries = libraries; }

std::string ArchiveCommandLine(const TArchiveCommand& command) {
    std::string line = command.Switches + "\"" + command.Archive + "\" \"" + command.Destination + "\"";
    for (const std::string& pattern : command.Patterns) line += " " + pattern;
    return line;
}

uint64_t ArchiveWriteLimit(uint64_t archiveSize, uint64_t freeBytes) {
    constexpr uint64_t kMiB = uint64_t(1) << 20;
    const uint64_t byRatio = archiveSize > UINT64_MAX / 100 ? UINT64_MAX : std::max(archiveSize * 100, 16 * kMiB);
    const uint64_t bySpace = freeBytes > 64 * kMiB ? freeBytes - 64 * kMiB : 0;
    return std::min(byRatio, bySpace);
}

std::string ArchiveEntryName(const std::string& raw) { return IsUtf8(raw) ? raw : cp932::ToUtf8(raw); }

bool ArchiveEntryStaysInside(const std::string& path, const std::string& symlinkTarget,
                             const std::string& hardlinkTarget) {
    if (!RelativeInside(path)) return false;
    if (!hardlinkTarget.empty() && !RelativeInside(hardlinkTarget)) return false;
    if (symlinkTarget.empty()) return true;
    if (symlinkTarget[0] == '/') return false;
    std::vector<std::string> where = Components(path);
    if (!where.empty()) where.pop_back();   // the link's own folder
    for (const std::string& part : Components(symlinkTarget)) {
        if (part != "..") {
            where.push_back(part);
            continue;
        }
        if (where.empty()) return false;
        where.pop_back();
    }
    return true;
}

int UnZip(void*, const TArchiveCommand& command, char* output, unsigned long size) {
    return Run(archive_read_support_format_zip, command, output, size);
}

int Unlha(void*, const TArchiveCommand& command, char* output, unsigned long size) {
    const TRunning running(g_lhaRunning);
    TRequest request;
    if (!MakeRequest(command, request)) return Report(kArchiveErrorCommandLine, "no archive or destination", output, size);
    // The reader turns names into the locale's text and refuses bytes that are none; LHA
    // archives name their entries in code page 932 without saying so, so a header it refused
    // is read once more as that.
    bool badHeader = false;
    const int r = Extract(archive_read_support_format_lha, nullptr, request, output, size, &badHeader);
    if (r == 0 || !badHeader) return r;
    return Extract(archive_read_support_format_lha, "hdrcharset=CP932", request, output, size);
}

int UnlhaGetRunning() { return g_lhaRunning; }

int Cab(void*, const TArchiveCommand& command, char* output, unsigned long size) {
    return Run(archive_read_support_format_cab, command, output, size);
}

int UnGCA(void*, const TArchiveCommand& command, char* output, unsigned long size) {
    const TRunning running(g_gcaRunning);
    TRequest request;
    if (!MakeRequest(command, request)) return Report(kArchiveErrorCommandLine, "no archive or destination", output, size);
    return Report(kArchiveErrorUnsupported, "GCA archives cannot be read here", output, size);
}

int UnGCAGetRunning() { return g_gcaRunning; }
