// tavrenne-cli check: checksum lists verified the way `sha256sum -c` verifies them.
#pragma once

#include <string>
#include <vector>

// check [--quiet] [--status] [--ignore-missing] [--strict] [--warn] [--] LIST...
// Reads GNU lines, BSD tags, SFV and .MD5 sidecar lines of every digest kind ("-": the list
// on standard input); names resolve against the current folder. Prints "NAME: OK", "NAME:
// FAILED" or "NAME: FAILED open or read" in list order and the warnings of coreutils on
// standard error. 0 when every list had a proper line and every file listed was read and
// matched, 1 otherwise, 2 for a usage error.
int RunCheck(const std::vector<std::string>& args);
