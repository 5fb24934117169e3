// tavrenne-cli same and digest-pass: the duplicate search and the Digest tool without a window.
#pragma once

#include <string>
#include <vector>

// same FILE [ROOT...]: prints each file with FILE's size and CRC32, one a line in the order
// found, over the roots or else the local drives; the count goes to standard error, and so
// does each file of FILE's size that could not be read. 0 after a search, 1 when FILE is
// empty or unreadable or a file of its size could not be read, 2 for a usage error.
int RunSame(const std::vector<std::string>& args);

// digest-pass [--add] [--no-duplicates] FILE REALM USER: writes the user's line, the password
// read from standard input (without echo on a terminal). 0 when written or already present,
// 1 when it could not be, 2 for a usage error.
int RunDigestPass(const std::vector<std::string>& args);
