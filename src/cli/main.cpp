// tavrenne-cli: the engines without a window, for scripts and for checking them from outside.
#include <algorithm>
#include <cerrno>
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
#include "cli/Check.h"
#include "cli/Hash.h"
#include "cli/Words.h"

namespace {

std::string UsageText() {
    const std::string kinds = DigestKindChoices();
    return "usage: tavrenne-cli hash {" + kinds + "} [--upper] [--tag] [--recurse] [--buffer KB] [--] FILE...\n"
           "       tavrenne-cli check [--quiet] [--status] [--ignore-missing] [--strict] [--warn] [--] LIST...\n"
           "       tavrenne-cli string [--upper] [--] TEXT\n"
           "       tavrenne-cli info [--] FILE\n"
           "       tavrenne-cli analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] [--] FILE\n"
           "       tavrenne-cli same [--] FILE [ROOT...]\n"
           "       tavrenne-cli digest-pass [--add] [--no-duplicates] [--] FILE REALM USER   (password on stdin)\n"
           "       tavrenne-cli batch {" + kinds + "|all} [--recurse] [--format gnu|bsd|sfv] [--export FILE] [--] PATH...\n";
}

int Usage(const std::string& problem = {}) {
    if (!problem.empty()) std::fprintf(stderr, "tavrenne-cli: %s\n", EscapeControls(problem).c_str());
    std::fputs(UsageText().c_str(), stderr);
    return 2;
}

// A file's name and why it gave nothing, on one line however odd the name.
void ReportFile(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(path).c_str(), EscapeControls(reason).c_str());
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

namespace {

int RunCommandLine(const std::string& command, const std::vector<std::string>& args) {
    if (command == "hash") return RunHash(args);
    if (command == "check") return RunCheck(args);
    if (command == "string") return String(args);
    if (command == "info") return Info(args);
    if (command == "analyze") return RunAnalyze(args);
    if (command == "same") return RunSame(args);
    if (command == "digest-pass") return RunDigestPass(args);
    if (command == "batch") return RunBatch(args);
    if (command == "--help" || command == "-h") {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    return Usage("unknown command: " + command);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc < 2) return Usage();
    const int status = RunCommandLine(argv[1], std::vector<std::string>(argv + 2, argv + argc));
    // A list that did not reach its file (a full disk) is no list: say so, as coreutils does.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tavrenne-cli: write error: %s\n", std::strerror(errno));
        return status == 0 ? 1 : status;
    }
    return status;
}
