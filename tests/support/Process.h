// Runs a program with its arguments as separate values (no shell), and gives back what it
// printed on both streams and how it ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct ProcessOptions {
    std::string WorkDir;                                        // empty: the test's own
    std::vector<std::string> Unset;                             // variables taken away
    std::vector<std::pair<std::string, std::string>> Set;       // variables set
    std::string Input;                                          // standard input
    int TimeoutMs = 60000;                                      // then the program is killed
};

struct ProcessResult {
    int Status = -1;   // exit code; -1 when it could not start, was killed or timed out
    std::string Out;
    std::string Err;
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});
