#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "cli/Same.h"
#include "cli/TerminalText.h"
#include "engine/DigestPassFile.h"

namespace {

// One line of standard input; on a terminal it is not echoed.
bool ReadPassword(std::string& password) {
    const bool tty = isatty(STDIN_FILENO);
    termios old{};
    if (tty && tcgetattr(STDIN_FILENO, &old) == 0) {
        termios quiet = old;
        quiet.c_lflag &= tcflag_t(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        std::fputs("パスワード: ", stderr);
    }
    const bool got = static_cast<bool>(std::getline(std::cin, password));
    if (tty) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::fputc('\n', stderr);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return got;
}

int Fail(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "tavrenne-cli: %s: %s\n", EscapeControls(path).c_str(), EscapeControls(why).c_str());
    return 1;
}

}  // namespace

int RunDigestPass(const std::vector<std::string>& args) {
    bool add = false, refuse = false, optionsEnded = false;
    std::vector<std::string> operands;
    for (const std::string& a : args) {
        if (!optionsEnded && a == "--") optionsEnded = true;
        else if (!optionsEnded && a == "--add") add = true;
        else if (!optionsEnded && a == "--no-duplicates") refuse = true;
        else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "tavrenne-cli: unknown option %s\n", EscapeControls(a).c_str());
            return 2;
        } else operands.push_back(a);
    }
    if (operands.size() != 3) {
        std::fputs("usage: tavrenne-cli digest-pass [--add] [--no-duplicates] [--] FILE REALM USER\n", stderr);
        return 2;
    }
    const std::string& path = operands[0];
    const std::string& realm = operands[1];
    const std::string& user = operands[2];
    std::string password;
    if (!ReadPassword(password) || password.empty() || realm.empty() || user.empty())
        return Fail(path, "未記入の項目があります...");
    if (const std::string problem = DigestEntryProblem(user, realm, password); !problem.empty())
        return Fail(path, problem);
    const std::string line = DigestEntryLine(user, realm, password);
    const TDigestWriteResult r = add ? AddDigestEntry(path, line, refuse) : CreateDigestFile(path, line);
    switch (r.Result) {
    case TDigestWrite::Written:
    case TDigestWrite::AlreadyPresent:
        return 0;
    case TDigestWrite::Missing:
        return Fail(path, "ファイルが見当たりません");
    case TDigestWrite::Failed:
        break;
    }
    return Fail(path, r.Reason);
}
