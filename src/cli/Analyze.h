// tavrenne-cli analyze: the main window's analysis without a window on screen.
#pragma once

#include <string>
#include <vector>

// analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] FILE
// Prints the result text and the log; 0 when the run ended without an error, 1 otherwise,
// 2 for a usage error.
int RunAnalyze(const std::vector<std::string>& args);
