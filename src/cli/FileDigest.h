// Digests of one named file as the checksum tools take it: any regular file whatever its
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
    enum class TState { Done, Missing, Failed };
    TState State = TState::Failed;
    std::string Reason;               // why there are no digests, in words for the user
    std::vector<std::string> Texts;   // lower case, one for each kind asked for, in that order
};

// Every kind from one read of `path` (relative to the current folder; "-" reads standard
// input). A path that is not there is Missing; a folder, a FIFO, a device or a file that
// cannot be opened or read to its end is Failed, without ever blocking on it.
TFileDigest DigestFile(const std::string& path, const std::vector<const TDigestKindInfo*>& kinds,
                       uint16_t bufferKB = 64);

// Runs work(i) for every i below `count` on a few workers and calls emit(i) on the calling
// thread in the order of i, each as soon as work(i) and every earlier emit are done.
void RunInOrder(size_t count, const std::function<void(size_t)>& work, const std::function<void(size_t)>& emit);
