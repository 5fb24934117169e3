#include "cli/Check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "engine/NamedFileDigest.h"
#include "cli/TerminalText.h"
#include "cli/Words.h"
#include "engine/ChecksumList.h"
#include "engine/ChecksumVerify.h"
#include "text/TextUtil.h"

namespace {

const char* const kCheckUsage =
    "usage: tavrenne-cli check [--quiet] [--status] [--ignore-missing] [--strict] [--warn] [--] LIST...\n";

int CheckUsage(const std::string& problem) {
    std::fprintf(stderr, "tavrenne-cli: %s\n", EscapeControls(problem).c_str());
    std::fputs(kCheckUsage, stderr);
    return 2;
}

// Standard output is buffered for speed; whatever goes to standard error goes after it, so
// both streams on one terminal keep the order in which things happened.
void CheckMessage(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "tavrenne-cli: %s\n", text.c_str());
}

struct TCheckOptions {
    bool Quiet = false, Status = false, Warn = false, IgnoreMissing = false, Strict = false;
};

// A list's bytes line by line, whatever its size: a block at a time, an overlong line cut
// to its first kMaxListLineBytes and the rest of it skipped.
class TListLines {
public:
    explicit TListLines(int fd) : fd_(fd) {}

    // The first `n` bytes (fewer at the end of the list).
    std::string_view Head(size_t n) {
        while (buffer_.size() - pos_ < n && Fill()) {}
        return std::string_view(buffer_).substr(pos_, n);
    }

    // The next line without its LF, valid until the next call; false at the end or on an error.
    bool Next(std::string_view& line, bool& tooLong) {
        tooLong = false;
        size_t searched = 0;   // bytes after pos_ known to hold no LF
        for (;;) {
            const size_t eol = buffer_.find('\n', pos_ + searched);
            if (eol != std::string::npos) {
                line = std::string_view(buffer_).substr(pos_, eol - pos_);
                pos_ = eol + 1;
                if (line.size() > kMaxListLineBytes) {
                    tooLong = true;
                    line = line.substr(0, kMaxListLineBytes);
                }
                return true;
            }
            if (buffer_.size() - pos_ > kMaxListLineBytes) {
                // No checksum line is this long: keep its head to count it, drop the rest.
                head_.assign(buffer_, pos_, kMaxListLineBytes);
                for (;;) {
                    buffer_.clear();
                    pos_ = 0;
                    if (!Fill()) break;
                    const size_t lf = buffer_.find('\n');
                    if (lf != std::string::npos) {
                        pos_ = lf + 1;
                        break;
                    }
                }
                line = head_;
                tooLong = true;
                return true;
            }
            searched = buffer_.size() - pos_;
            if (!Fill()) {
                if (pos_ == buffer_.size()) return false;
                line = std::string_view(buffer_).substr(pos_);
                pos_ = buffer_.size();
                return true;
            }
        }
    }

    int Error() const { return error_; }

private:
    static constexpr size_t kBlock = 1 << 20;

    // Appends the next block; false at the end or on an error.
    bool Fill() {
        if (end_) return false;
        if (pos_ == buffer_.size()) {
            buffer_.clear();
            pos_ = 0;
        } else if (pos_ > kBlock) {
            buffer_.erase(0, pos_);
            pos_ = 0;
        }
        const size_t had = buffer_.size();
        buffer_.resize(had + kBlock);
        ssize_t n;
        do n = ::read(fd_, buffer_.data() + had, kBlock);
        while (n < 0 && errno == EINTR);
        buffer_.resize(had + size_t(n > 0 ? n : 0));
        if (n <= 0) {
            end_ = true;
            if (n < 0) error_ = errno;
        }
        return n > 0;
    }

    int fd_;
    std::string buffer_;
    size_t pos_ = 0;
    bool end_ = false;
    int error_ = 0;
    std::string head_;
};

// Enough lines to keep every worker busy and few enough to keep a huge list in bounds.
constexpr size_t kEntriesPerBlock = 16384;

class TListCheck {
public:
    TListCheck(const TCheckOptions& options, std::string shownList, bool fromStandardInput)
        : o_(options), list_(std::move(shownList)), fromStandardInput_(fromStandardInput) {}

    // The list's verdict: true when it passes.
    bool Run(int fd, bool sfvFirst) {
        TListLines lines(fd);
        if (LooksBinary(lines.Head(kListProbeBytes))) {
            CheckMessage(list_ + ": not a checksum list: it holds NUL bytes (binary data, or text in UTF-16)");
            return false;
        }
        TChecksumListParser parser({sfvFirst});
        std::string_view line;
        bool tooLong = false;
        TListEntry entry;
        bool more = true;
        while (more) {
            entries_.clear();
            malformedLines_.clear();
            while (entries_.size() < kEntriesPerBlock && (more = lines.Next(line, tooLong))) {
                const TListLine kind = parser.Next(line, entry, tooLong);
                // A list on standard input cannot also name standard input.
                if (kind == TListLine::Malformed || (kind == TListLine::Entry && fromStandardInput_ && entry.Name == "-"))
                    malformedLines_.push_back(parser.LineNumber());
                else if (kind == TListLine::Entry)
                    entries_.push_back(std::move(entry));
            }
            CheckBlock();
        }
        Flush();
        if (lines.Error()) {
            CheckMessage(list_ + ": cannot be read: " + std::strerror(lines.Error()));
            return false;
        }
        return Summary();
    }

private:
    void CheckBlock() {
        size_t nextMalformed = 0;
        auto malformedBefore = [&](uint64_t lineNumber) {
            for (; nextMalformed < malformedLines_.size() && malformedLines_[nextMalformed] < lineNumber; ++nextMalformed)
                EmitMalformed(malformedLines_[nextMalformed]);
        };
        VerifyListEntries(
            entries_, std::string(),
            [](const std::string& path, const std::vector<const TDigestKindInfo*>& kinds) {
                return DigestFile(path, kinds);
            },
            [&](size_t i, const TListCheckResult& r) {
                malformedBefore(entries_[i].Line);
                Emit(entries_[i], r);
            });
        malformedBefore(UINT64_MAX);
    }

    void Print(const std::string& name, const char* verdict) {
        out_ += ListNameText(name);
        out_ += ": ";
        out_ += verdict;
        out_ += '\n';
        if (out_.size() > 64 * 1024) Flush();
    }

    void Flush() {
        std::fwrite(out_.data(), 1, out_.size(), stdout);
        out_.clear();
    }

    void EmitMalformed(uint64_t lineNumber) {
        ++malformed_;
        if (o_.Warn) {
            Flush();
            CheckMessage(list_ + ": " + std::to_string(lineNumber) + ": improperly formatted checksum line");
        }
    }

    void Emit(const TListEntry& e, const TListCheckResult& r) {
        anyEntry_ = true;
        const std::string& name = r.ReadAsCp932 ? e.Cp932Name : e.Name;
        if (r.Verdict == TListVerdict::Missing && o_.IgnoreMissing) return;
        if (r.Verdict != TListVerdict::Match && r.Verdict != TListVerdict::Mismatch) {
            ++unreadable_;
            Flush();
            CheckMessage(EscapeControls(name) + ": " + r.Reason);
            if (!o_.Status) Print(name, "FAILED open or read");
            return;
        }
        const bool match = r.Verdict == TListVerdict::Match;
        if (match) anyMatch_ = true;
        else ++mismatched_;
        if (o_.Status) return;
        if (!match) Print(name, "FAILED");
        else if (!o_.Quiet) Print(name, "OK");
    }

    bool Summary() {
        if (!anyEntry_) {
            CheckMessage(list_ + ": no properly formatted checksum lines found");
            return false;
        }
        auto count = [](uint64_t n, const char* one, const char* many) {
            CheckMessage("WARNING: " + std::to_string(n) + (n == 1 ? one : many));
        };
        if (!o_.Status) {
            if (malformed_) count(malformed_, " line is improperly formatted", " lines are improperly formatted");
            if (unreadable_) count(unreadable_, " listed file could not be read", " listed files could not be read");
            if (mismatched_) count(mismatched_, " computed checksum did NOT match", " computed checksums did NOT match");
            if (o_.IgnoreMissing && !anyMatch_) CheckMessage(list_ + ": no file was verified");
        }
        return anyMatch_ && !mismatched_ && !unreadable_ && (!o_.Strict || !malformed_);
    }

    const TCheckOptions& o_;
    std::string list_;
    bool fromStandardInput_;
    std::vector<TListEntry> entries_;
    std::vector<uint64_t> malformedLines_;
    std::string out_;
    uint64_t malformed_ = 0, mismatched_ = 0, unreadable_ = 0;
    bool anyEntry_ = false, anyMatch_ = false;
};

bool CheckOneList(const std::string& list, const TCheckOptions& options) {
    const bool standardInput = list == "-";
    const std::string shown = QuotedFileName(standardInput ? "standard input" : list);
    int fd = STDIN_FILENO;
    if (!standardInput) {
        // Opened as any program opens a file it was given: a FIFO holding a list (a shell's
        // process substitution) is read as it comes.
        fd = ::open(list.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            CheckMessage(shown + ": " + (errno == ENOENT ? std::string("no such file") : std::strerror(errno)));
            return false;
        }
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            CheckMessage(shown + ": is a folder");
            return false;
        }
    }
    TListCheck check(options, shown, standardInput);
    const bool ok = check.Run(fd, IsSfvListName(list));
    if (!standardInput) ::close(fd);
    return ok;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args) {
    const TWords w = SplitWords(args, {"--quiet", "--status", "--ignore-missing", "--strict", "--warn", "-w"});
    if (!w.Problem.empty()) return CheckUsage(w.Problem);
    if (w.Operands.empty()) return CheckUsage("check needs a LIST (- for standard input)");
    TCheckOptions o;
    for (const auto& [name, value] : w.Options) {
        // As in coreutils, the last of --quiet, --status and --warn decides.
        if (name == "--quiet") o.Quiet = true, o.Status = o.Warn = false;
        else if (name == "--status") o.Status = true, o.Quiet = o.Warn = false;
        else if (name == "--warn" || name == "-w") o.Warn = true, o.Quiet = o.Status = false;
        else if (name == "--ignore-missing") o.IgnoreMissing = true;
        else if (name == "--strict") o.Strict = true;
    }
    bool ok = true;
    for (const std::string& list : w.Operands) ok = CheckOneList(list, o) && ok;
    std::fflush(stdout);
    return ok ? 0 : 1;
}
