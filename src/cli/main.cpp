// tavrenne-cli: the engines without a window, for scripts and for checking them from outside.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "engine/FileUtils.h"
#ifdef TAV_CLI_ANALYZE
#include "cli/Analyze.h"
#endif

namespace {

const char* const kUsage =
    "usage: tavrenne-cli hash {crc32|md5|sha1} [--upper] [--buffer KB] FILE...\n"
    "       tavrenne-cli string [--upper] TEXT\n"
    "       tavrenne-cli info FILE\n"
#ifdef TAV_CLI_ANALYZE
    "       tavrenne-cli analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] FILE\n"
#endif
    ;

int Usage(const char* problem = nullptr) {
    if (problem) std::fprintf(stderr, "tavrenne-cli: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

std::unique_ptr<TNormalFileInfo> MakeEngine(const std::string& kind) {
    if (kind == "crc32") return std::make_unique<TFileCRC32Info>();
    if (kind == "md5") return std::make_unique<TFileMD5Info>();
    if (kind == "sha1") return std::make_unique<TFileSHA1>();
    return nullptr;
}

int Hash(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("hash needs a digest kind");
    const std::string kind = args[0];
    if (!MakeEngine(kind)) return Usage(("unknown digest kind: " + kind).c_str());
    bool upper = false;
    long bufferKB = 64;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--upper") {
            upper = true;
        } else if (args[i] == "--buffer") {
            if (++i >= args.size()) return Usage("--buffer needs a size in kilobytes");
            char* end = nullptr;
            bufferKB = std::strtol(args[i].c_str(), &end, 10);
            if (*end || bufferKB < 1 || bufferKB > 65535) return Usage("--buffer takes 1 to 65535 (kilobytes)");
        } else if (args[i] == "--") {
            files.insert(files.end(), args.begin() + long(i) + 1, args.end());
            break;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) return Usage("hash needs at least one file");

    int status = 0;
    for (const std::string& path : files) {
        auto engine = MakeEngine(kind);
        engine->SetBufferSize(uint16_t(bufferKB));
        engine->SetFileName(path);
        std::string text, reason;
        if (engine->Info().FileName.empty()) {
            reason = "no such file (or a folder, or not a regular file)";
        } else {
            try {
                text = engine->GetHashText(upper);
                if (text.empty()) reason = engine->Canceled() ? "empty file" : "cannot be read";
            } catch (const EFileOpenError& e) {
                reason = "cannot be opened: " + e.Reason();
            }
        }
        if (text.empty()) {
            std::fprintf(stderr, "tavrenne-cli: %s: %s\n", path.c_str(), reason.c_str());
            status = 1;
        } else {
            std::printf("%s  %s\n", text.c_str(), path.c_str());
        }
    }
    return status;
}

int String(const std::vector<std::string>& args) {
    bool upper = false;
    std::vector<std::string> rest;
    for (const auto& a : args) {
        if (a == "--upper" && rest.empty()) upper = true;
        else rest.push_back(a);
    }
    if (rest.size() != 1) return Usage("string takes exactly one TEXT");
    std::printf("%s\n", TFileMD5Info().HashString(rest[0], upper).c_str());
    return 0;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("info takes exactly one FILE");
    const std::string& path = args[0];
    if (!FileExistsByAge(path)) {
        std::fprintf(stderr, "tavrenne-cli: %s: no such file (or a folder, or not a regular file, or dated outside 1980-2107)\n",
                     path.c_str());
        return 1;
    }
    TNormalFileInfo info;
    info.SetFileName(path);
    info.ReadSize();
    info.ReadVersionInfo();
    TFileInfo r;
    info.GetFileInfo(r);
    std::printf("Size: %lld\n", static_cast<long long>(r.Size));
    std::printf("Attr: %08X\n", r.Attr);
    std::printf("Age: %08X\n", r.Age);
    std::printf("TimeText: %s\n", r.TimeText.c_str());
    std::printf("TimeTextDefault: %s\n", r.TimeTextDefault.c_str());
    std::printf("TimeTextShort: %s\n", r.TimeTextShort.c_str());
    std::printf("FileVersion: %s\n", r.FileVersion.c_str());
    std::printf("LegalCopyright: %s\n", r.LegalCopyright.c_str());
    std::printf("FileDescription: %s\n", r.FileDescription.c_str());
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
#ifdef TAV_CLI_ANALYZE
    if (command == "analyze") return RunAnalyze(args);
#endif
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Usage(("unknown command: " + command).c_str());
}
