#include "engine/ChecksumVerify.h"

#include <cstring>
#include <filesystem>
#include <unordered_map>

#include "engine/FileUtils.h"
#include "text/TextUtil.h"

namespace {

// A list a window reads whole: far beyond any real one (a million lines of SHA-512 is 200 MB).
constexpr size_t kListFileLimit = size_t(512) << 20;

bool EndsWithText(std::string_view s, std::string_view end) { return s.size() > end.size() && s.ends_with(end); }

std::string_view BaseNameOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// One file of the list, read once for every kind its entries name.
struct TVerifiedFile {
    std::string Path, Cp932Path;
    std::vector<const TDigestKindInfo*> Kinds;
    TFileDigest Result;
    bool ReadAsCp932 = false;
};

}  // namespace

bool IsChecksumListName(std::string_view name) {
    for (const char* whole : {"SHA256SUMS", "SHA512SUMS", "SHA1SUMS", "MD5SUMS", "CHECKSUMS"})
        if (name == whole) return true;
    for (const char* end : {".sha256", ".sha512", ".sha1", ".md5", ".sfv"})
        if (EndsWithText(name, end)) return true;
    return false;
}

bool IsSfvListName(std::string_view name) {
    return name.size() >= 4 && AsciiCase(std::string(name.substr(name.size() - 4)), false) == ".sfv";
}

TListFile ReadChecksumListFile(const std::string& path) {
    TListFile out;
    std::string bytes;
    if (const int error = ReadFileHead(path, kListFileLimit, bytes)) {
        const std::string problem = FileProblem(path);
        out.Problem = problem.empty() ? std::strerror(error) : problem;
        return out;
    }
    out.List = ParseChecksumList(bytes, {IsSfvListName(BaseNameOf(path))});
    if (out.List.BinaryData) out.Problem = "not a checksum list: it holds NUL bytes";
    else if (out.List.Entries.empty()) out.Problem = "no properly formatted checksum lines found";
    return out;
}

bool LooksLikeChecksumList(const std::string& path, TListFile* read) {
    if (!IsChecksumListName(BaseNameOf(path)) || !FileExistsByAge(path)) return false;
    TListFile list = ReadChecksumListFile(path);
    if (!list.Problem.empty()) return false;
    if (read) *read = std::move(list);
    return true;
}

std::string ListedPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.starts_with('/')) return name;
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

void VerifyListEntries(const std::vector<TListEntry>& entries, const std::string& folder,
                       const TListDigestHook& digest,
                       const std::function<void(size_t, const TListCheckResult&)>& emit,
                       const std::function<void()>& idle) {
    std::vector<TVerifiedFile> files;
    std::vector<size_t> fileOf(entries.size());
    std::vector<size_t> kindAt(entries.size());
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TListEntry& e = entries[i];
        const auto [it, added] = index.try_emplace(e.Name, files.size());
        if (added) {
            files.push_back({ListedPath(folder, e.Name),
                             e.Cp932Name.empty() ? std::string() : ListedPath(folder, e.Cp932Name), {}, {}, false});
        }
        TVerifiedFile& f = files[it->second];
        size_t at = 0;
        while (at < f.Kinds.size() && f.Kinds[at] != e.Kind) ++at;
        if (at == f.Kinds.size()) f.Kinds.push_back(e.Kind);
        fileOf[i] = it->second;
        kindAt[i] = at;
    }

    // Entries are handed over as soon as the file of each, and every earlier one, is done.
    size_t next = 0;
    auto emitUpTo = [&](size_t file) {
        for (; next < entries.size() && fileOf[next] <= file; ++next) {
            const TVerifiedFile& f = files[fileOf[next]];
            const TFileDigest& r = f.Result;
            TListCheckResult out;
            out.ReadAsCp932 = f.ReadAsCp932;
            switch (r.State) {
            case TFileDigest::TState::Missing:
                out.Verdict = TListVerdict::Missing;
                out.Reason = r.Reason;
                break;
            case TFileDigest::TState::Failed:
                out.Verdict = TListVerdict::Unreadable;
                out.Reason = r.Reason;
                break;
            case TFileDigest::TState::Canceled: out.Verdict = TListVerdict::Skipped; break;
            case TFileDigest::TState::Done:
                out.Computed = r.Texts[kindAt[next]];
                out.Verdict = AsciiCase(entries[next].Hex, false) == out.Computed ? TListVerdict::Match
                                                                                   : TListVerdict::Mismatch;
                break;
            }
            emit(next, out);
        }
    };
    RunInOrder(
        files.size(),
        [&](size_t i) {
            TVerifiedFile& f = files[i];
            f.Result = digest(f.Path, f.Kinds);
            // A name from a Windows list may be on disk in UTF-8.
            if (f.Result.State == TFileDigest::TState::Missing && !f.Cp932Path.empty()) {
                TFileDigest other = digest(f.Cp932Path, f.Kinds);
                if (other.State != TFileDigest::TState::Missing) {
                    f.Result = std::move(other);
                    f.ReadAsCp932 = true;
                }
            }
        },
        emitUpTo, idle);
    emitUpTo(SIZE_MAX);
}

std::string RelativeListName(const std::string& listFolder, const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path file = fs::path(path).lexically_normal();
    if (listFolder.empty()) return file.string();
    const fs::path relative = file.lexically_relative(fs::path(listFolder).lexically_normal());
    return relative.empty() ? file.string() : relative.string();
}

std::string ListFileBytes(TListFormat format, const TDigestKindInfo& kind, const std::vector<std::string>& names,
                          const std::vector<std::string>& hexes, size_t* leftOut) {
    std::string out;
    size_t skipped = 0;
    for (size_t i = 0; i < names.size() && i < hexes.size(); ++i) {
        const std::optional<std::string> line = FormatListLine(format, kind, hexes[i], names[i]);
        if (!line) {
            ++skipped;
            continue;
        }
        out += *line;
        out += '\n';
    }
    if (leftOut) *leftOut = skipped;
    return out;
}
