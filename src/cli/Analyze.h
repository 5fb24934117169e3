// tavrenne-cli analyze: the main window's analysis without a window on screen.
#pragma once

#include <string>
#include <vector>

// analyze [-a|-c|-m|-h] [--upper] [--compare md5|sha1|crc32 VALUE] [--cp932] FILE
// Prints the result text and the log; 0 when the run ended without an error, 1 otherwise,
// 2 for a usage error. The settings are those of tavr2.ini beside the program, read but never
// written, so sidecars and the hash cache work as in the window; digests come in upper case
// with --upper or when the window is set to "書式->L ".
int RunAnalyze(const std::vector<std::string>& args);
