// tavrenne-cli: the engines without a window, for scripts and for checking them from outside.
#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/TerminalText.h"
#include "engine/DigestKinds.h"
#include "engine/FileMD5Info.h"
#include "engine/FileUtils.h"
#include "cli/Analyze.h"
#include "cli/Same.h"
#include "cli/Batch.h"

namespace {

const char* const kUsage =
    "usage: tavrenne-cli hash {crc32|md5|sha1} [--upper] [--buffer KB] [--] FILE...\n"
    "       tavrenne-cli string [--upper] [--] TEXT\n"
    "       tavrenne-cli info [--] FILE\n"
    "       tavrenne-cli analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] [--] FILE\n"
    "       tavrenne-cli same [--] FILE [ROOT...]\n"
    "       tavrenne-cli digest-pass [--add] [--no-duplicates] [--] FILE REALM USER   (password on stdin)\n"
    "       tavrenne-cli batch {crc32|md5|sha1|all} [--recurse] [--export FILE] [--] PATH...\n"
    ;

int Usage(const std::string& problem = {}) {
    if (!problem.empty()) std::fprintf(stderr, "tavrenne-cli: %s\n", EscapeControls(problem).c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

// A file's name and why it gave nothing, on one line however odd the name.
void ReportFile(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(path).c_str(), EscapeControls(reason).c_str());
}

// A subcommand's words as getopt reads them: options anywhere until "--", which ends them, a
// value in the word after its option, and a lone "-" as an operand.
struct TWords {
    std::vector<std::pair<std::string, std::string>> Options;   // name, value ("" for a flag)
    std::vector<std::string> Operands;
    std::string Problem;                                       // empty when the words are fine
};

TWords SplitWords(const std::vector<std::string>& args, std::initializer_list<std::string_view> flags,
                  std::initializer_list<std::string_view> valued = {}) {
    TWords w;
    auto in = [](std::initializer_list<std::string_view> names, const std::string& a) {
        return std::find(names.begin(), names.end(), a) != names.end();
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            w.Operands.insert(w.Operands.end(), args.begin() + long(i) + 1, args.end());
            break;
        }
        if (a.size() < 2 || a[0] != '-') {
            w.Operands.push_back(a);
        } else if (in(flags, a)) {
            w.Options.emplace_back(a, "");
        } else if (in(valued, a)) {
            if (i + 1 == args.size()) {
                w.Problem = a + " needs a value";
                break;
            }
            w.Options.emplace_back(a, args[++i]);
        } else {
            w.Problem = "unknown option " + a + " (put -- before a name that starts with -)";
            break;
        }
    }
    return w;
}

struct THashResult {
    std::string Text;     // the digest; empty when there is none
    std::string Reason;   // why there is none
};

THashResult HashFile(const TDigestKindInfo& kind, const std::string& path, uint16_t bufferKB, bool upper) {
    if (std::string problem = FileProblem(path); !problem.empty()) return {{}, problem};
    const auto engine = kind.MakeEngine();
    engine->SetBufferSize(bufferKB);
    engine->SetFileName(path);
    if (engine->Info().FileName.empty()) {
        // It passed a moment ago: it was changed or replaced meanwhile.
        std::string again = FileProblem(path);
        return {{}, again.empty() ? "changed while being opened" : again};
    }
    std::string text;
    try {
        text = engine->GetHashText(upper);
    } catch (const EFileOpenError&) {
        // Every engine records why before it throws: the switch below words it.
    }
    if (!text.empty()) return {text, {}};
    switch (engine->Failure()) {
    case TRunFailure::Open: return {{}, "cannot be opened: " + engine->FailureReason()};
    case TRunFailure::Read: return {{}, "cannot be read: " + engine->FailureReason()};
    case TRunFailure::None: break;
    }
    return {{}, engine->Canceled() ? "empty file" : "cannot be read"};
}

int Hash(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("hash needs a digest kind");
    const TDigestKindInfo* kind = DigestKindByCommandName(args[0]);
    if (!kind) return Usage("unknown digest kind: " + args[0]);
    const TWords w = SplitWords({args.begin() + 1, args.end()}, {"--upper"}, {"--buffer"});
    if (!w.Problem.empty()) return Usage(w.Problem);
    bool upper = false;
    long bufferKB = 64;
    for (const auto& [name, value] : w.Options) {
        if (name == "--upper") {
            upper = true;
        } else {
            char* end = nullptr;
            bufferKB = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || bufferKB < 1 || bufferKB > 65535)
                return Usage("--buffer takes 1 to 65535 (kilobytes)");
        }
    }
    if (w.Operands.empty()) return Usage("hash needs at least one file");

    int status = 0;
    for (const std::string& path : w.Operands) {
        const THashResult r = HashFile(*kind, path, uint16_t(bufferKB), upper);
        if (r.Text.empty()) {
            ReportFile(path, r.Reason);
            status = 1;
        } else {
            std::printf("%s\n", Md5sumLine(r.Text, path).c_str());
        }
    }
    return status;
}

int String(const std::vector<std::string>& args) {
    const TWords w = SplitWords(args, {"--upper"});
    if (!w.Problem.empty()) return Usage(w.Problem);
    if (w.Operands.size() != 1) return Usage("string takes exactly one TEXT");
    std::printf("%s\n", TFileMD5Info().HashString(w.Operands[0], !w.Options.empty()).c_str());
    return 0;
}

int Info(const std::vector<std::string>& args) {
    const TWords w = SplitWords(args, {});
    if (!w.Problem.empty()) return Usage(w.Problem);
    if (w.Operands.size() != 1) return Usage("info takes exactly one FILE");
    const std::string& path = w.Operands[0];
    if (std::string problem = FileProblem(path); !problem.empty()) {
        ReportFile(path, problem);
        return 1;
    }
    TNormalFileInfo info;
    info.SetFileName(path);
    info.ReadSize();
    info.ReadVersionInfo();
    TFileInfo r;
    info.GetFileInfo(r);
    // The version strings come from the file: whatever they hold must not reach the terminal raw.
    auto line = [](const char* name, const std::string& value) {
        std::printf("%s: %s\n", name, EscapeControls(value).c_str());
    };
    std::printf("Size: %lld\n", static_cast<long long>(r.Size));
    std::printf("Attr: %08X\n", r.Attr);
    std::printf("Age: %08X\n", r.Age);
    line("TimeText", r.TimeText);
    line("TimeTextDefault", r.TimeTextDefault);
    line("TimeTextShort", r.TimeTextShort);
    line("FileVersion", r.FileVersion);
    line("LegalCopyright", r.LegalCopyright);
    line("FileDescription", r.FileDescription);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "hash") return Hash(args);
    if (command == "string") return String(args);
    if (command == "info") return Info(args);
    if (command == "analyze") return RunAnalyze(args);
    if (command == "same") return RunSame(args);
    if (command == "digest-pass") return RunDigestPass(args);
    if (command == "batch") return RunBatch(args);
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Usage("unknown command: " + command);
}
