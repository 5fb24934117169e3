// tavrenne-cli batch: the batch window's adding, hash run and list export without a window.
#pragma once

#include <string>
#include <vector>

// batch {KIND|all} [--recurse] [--format gnu|bsd|sfv] [--export FILE] PATH...
// Adds the paths as the batch window does (a folder as "フォルダから追加", --recurse answering
// its subfolder question Yes), runs the hash phases and writes the list as the export does: to
// FILE in Shift_JIS with CR LF, or to standard output in UTF-8. With --format, the list of one
// kind that `sha256sum -c` (gnu, bsd) or `cksfv -f` (sfv) checks instead, with the paths as
// given. 0 when every file listed gave its digests, 1 when one did not or a path named added
// nothing (each reason on standard error), 2 for a usage error.
int RunBatch(const std::vector<std::string>& args);
