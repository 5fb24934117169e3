// tavrenne-cli hash: lines that `sha256sum` (or `sha256sum --tag`) would print.
#pragma once

#include <string>
#include <vector>

// hash KIND [--upper] [--tag] [--recurse] [--buffer KB] [--] FILE...
// One line per file, names escaped as coreutils escapes them ("-": standard input); with
// --recurse a folder stands for every regular file below it, in walk order (sorted within
// each folder, no symbolic link followed). 0 when every file gave its digest, 1 otherwise
// (each reason on standard error), 2 for a usage error.
int RunHash(const std::vector<std::string>& args);

// "crc32|sha1|md5": the kinds as the commands take them.
std::string DigestKindChoices();
