// Digests of one named file as the checksum tools and list checks take it: any regular file whatever its
// date, an empty file with the digest of empty input, "-" for standard input. Several files
// at once on a few workers, their results handed over in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/DigestKinds.h"

struct TFileDigest {
    enum class TState { Done, Missing, Failed, Canceled };
    TState State = TState::Failed;
    std::string Reason;               // why there are no digests, in words for the user
    std::vector<std::string> Texts;   // lower case, one for each kind asked for, in that order
};

// Every kind from one read of `path` (relative to the current folder; "-" reads standard
// input). A path that is not there is Missing; a folder, a FIFO, a device or a file that
// cannot be opened or read to its end is Failed, without ever blocking on it.
// `watch`, when given, hears the progress of a file read on the calling thread and ends it
// (Canceled) by answering false.
using TDigestWatch = std::function<bool(int64_t processed, int64_t total)>;
TFileDigest DigestFile(const std::string& path, const std::vector<const TDigestKindInfo*>& kinds,
                       uint16_t bufferKB = 64, const TDigestWatch& watch = {});

// Runs work(i) for every i below `count` on a few workers and calls emit(i) on the calling
// thread in the order of i, each as soon as work(i) and every earlier emit are done. While
// the calling thread waits, `idle` (when given) runs on it about every `idleMs`: a window
// stays painted and its abort button live while a long file is read.
void RunInOrder(size_t count, const std::function<void(size_t)>& work, const std::function<void(size_t)>& emit,
                const std::function<void()>& idle = {}, int idleMs = 50);
