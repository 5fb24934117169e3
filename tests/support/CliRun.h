// tavrenne-cli as built, run through the shell, so tests write arguments, redirections and
// byte-exact names as a user types them.
#pragma once

#include <string>

inline const std::string kCli = TAV_BINARY_DIR "/bin/tavrenne-cli";

struct CliResult {
    int status = -1;
    std::string out, err;
};

// `kCli args` with `input` on standard input; both streams and the exit status.
CliResult Cli(const std::string& args, const std::string& input = "");

// `s` quoted for the shell.
std::string Quote(const std::string& s);
