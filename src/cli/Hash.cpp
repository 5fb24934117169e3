#include "cli/Hash.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/NamedFileDigest.h"
#include "cli/TerminalText.h"
#include "cli/Words.h"
#include "engine/ChecksumList.h"
#include "text/TextUtil.h"

namespace {

int HashUsage(const std::string& problem) {
    std::fprintf(stderr, "tavrenne-cli: %s\n", EscapeControls(problem).c_str());
    std::fprintf(stderr, "usage: tavrenne-cli hash {%s} [--upper] [--tag] [--recurse] [--buffer KB] [--] FILE...\n",
                 DigestKindChoices().c_str());
    return 2;
}

// A file to digest, or a path that gave none and why.
struct THashJob {
    std::string Path;
    std::string Problem;
};

// Every regular file below `folder`: entries in byte order, a subfolder's files at its place,
// symbolic links and special files left out.
void WalkForHash(const std::string& folder, std::vector<THashJob>& jobs) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        jobs.push_back({folder, std::string("cannot be listed: ") + std::strerror(errno)});
        return;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    const int error = errno;
    ::closedir(dir);
    if (error) jobs.push_back({folder, std::string("cannot be listed: ") + std::strerror(error)});
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    for (const std::string& name : names) {
        const std::string path = prefix + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            // Gone since it was listed: nothing to hash. Listed but out of reach (a folder
            // that can be read but not searched): said, never silently left out.
            if (errno != ENOENT) jobs.push_back({path, std::string("cannot be read: ") + std::strerror(errno)});
            continue;
        }
        if (S_ISDIR(st.st_mode)) WalkForHash(path, jobs);
        else if (S_ISREG(st.st_mode)) jobs.push_back({path, {}});
    }
}

}  // namespace

std::string DigestKindChoices() {
    std::string choices;
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!choices.empty()) choices += '|';
        choices += k.CommandName;
    }
    return choices;
}

int RunHash(const std::vector<std::string>& args) {
    if (args.empty()) return HashUsage("hash needs a digest kind");
    const TDigestKindInfo* kind = DigestKindByCommandName(args[0]);
    if (!kind) return HashUsage("unknown digest kind: " + args[0]);
    const TWords w = SplitWords({args.begin() + 1, args.end()}, {"--upper", "--tag", "--recurse"}, {"--buffer"});
    if (!w.Problem.empty()) return HashUsage(w.Problem);
    bool upper = false, tag = false, recurse = false;
    long bufferKB = 64;
    for (const auto& [name, value] : w.Options) {
        if (name == "--upper") {
            upper = true;
        } else if (name == "--tag") {
            tag = true;
        } else if (name == "--recurse") {
            recurse = true;
        } else {
            char* end = nullptr;
            bufferKB = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || bufferKB < 1 || bufferKB > 65535)
                return HashUsage("--buffer takes 1 to 65535 (kilobytes)");
        }
    }
    if (w.Operands.empty()) return HashUsage("hash needs at least one file");

    std::vector<THashJob> jobs;
    for (const std::string& path : w.Operands) {
        struct stat st;
        // A folder named on the command line is walked even through a link: it was asked for.
        if (recurse && path != "-" && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) WalkForHash(path, jobs);
        else jobs.push_back({path, {}});
    }

    std::vector<TFileDigest> results(jobs.size());
    const std::vector<const TDigestKindInfo*> kinds{kind};
    const TListFormat format = tag ? TListFormat::Bsd : TListFormat::Gnu;
    int status = 0;
    std::string out;
    RunInOrder(
        jobs.size(),
        [&](size_t i) {
            if (jobs[i].Problem.empty()) results[i] = DigestFile(jobs[i].Path, kinds, uint16_t(bufferKB));
        },
        [&](size_t i) {
            const TFileDigest& r = results[i];
            if (jobs[i].Problem.empty() && r.State == TFileDigest::TState::Done) {
                out += *FormatListLine(format, *kind, AsciiCase(r.Texts[0], upper), jobs[i].Path);
                out += '\n';
                if (out.size() > 64 * 1024) {
                    std::fwrite(out.data(), 1, out.size(), stdout);
                    out.clear();
                }
                return;
            }
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
            std::fflush(stdout);
            const std::string& why = jobs[i].Problem.empty() ? r.Reason : jobs[i].Problem;
            std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(jobs[i].Path).c_str(),
                         EscapeControls(why).c_str());
            status = 1;
        });
    std::fwrite(out.data(), 1, out.size(), stdout);
    return status;
}
