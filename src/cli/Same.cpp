#include "cli/Same.h"

#include <cstdio>
#include <string>

#include "cli/TerminalText.h"
#include "engine/DuplicateSearch.h"
#include "engine/MountTable.h"

int RunSame(const std::vector<std::string>& args) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "tavrenne-cli: unknown option %s (put -- before a name that starts with -)\n",
                         EscapeControls(a).c_str());
            return 2;
        } else {
            operands.push_back(a);
        }
    }
    if (operands.empty()) {
        std::fputs("usage: tavrenne-cli same [--] FILE [ROOT...]\n", stderr);
        return 2;
    }
    const TDuplicateReference ref = ReadDuplicateReference(operands[0]);
    if (ref.Crc32.empty()) {
        std::fprintf(stderr, "tavrenne-cli: %s: Error!! (empty or unreadable)\n", EscapeControls(operands[0]).c_str());
        return 1;
    }
    std::vector<std::string> roots(operands.begin() + 1, operands.end());
    if (roots.empty()) roots = ReadLocalMountPoints();
    TDuplicateSearch search(ref);
    search.OnFound = [](const std::string& path) {
        // The bytes of the name, as find prints them.
        std::fwrite(path.data(), 1, path.size(), stdout);
        std::fputc('\n', stdout);
    };
    int status = 0;
    search.OnSkipped = [&](const std::string& path, const std::string& reason) {
        std::fflush(stdout);
        std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(path).c_str(), EscapeControls(reason).c_str());
        status = 1;
    };
    for (const std::string& root : roots) search.SearchRoot(root);
    std::fflush(stdout);
    std::fprintf(stderr, "%lld個の同一内容のファイルが見つかりました！\n", static_cast<long long>(search.Found()));
    return status;
}
