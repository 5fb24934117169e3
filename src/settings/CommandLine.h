// What the command line asks the program to do at start-up. The arguments arrive already
// split by the system (quotes removed); this decides what they mean.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/DigestKinds.h"

struct TCommandLineDecision {
    std::string FileToAnalyze;       // empty: no analysis
    bool SetDigests = false;         // true: the three digest boxes take the states below
    TDigestSet Digests;
    bool RunDuplicateSearch = false; // after the analysis
    bool VerifyList = false;         // "-l LIST": verify FileToAnalyze as a checksum list, whatever its name
    bool operator==(const TCommandLineDecision&) const = default;
};

// `args` are the arguments after the program name; `fileExists` is the program's existence
// test (FileExistsByAge in the program, a fake in tests).
TCommandLineDecision EvaluateCommandLine(const std::vector<std::string>& args,
                                         const std::function<bool(const std::string&)>& fileExists);
