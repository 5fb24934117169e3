#include "support/CliRun.h"

#include "support/TempDir.h"

CliResult Cli(const std::string& args, const std::string& input) {
    TempDir io;
    const std::string in = io.write("in", input);
    const std::string out =
        RunCommand(kCli + " " + args + " <" + Quote(in) + " 2>" + Quote(io.file("err")) + "; echo \"#$?\"");
    const auto mark = out.rfind('#');
    return {std::stoi(out.substr(mark + 1)), out.substr(0, mark), ReadBytes(io.file("err"))};
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
