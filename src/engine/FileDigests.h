// Several digests of one file from a single read.
#pragma once

#include <string>

#include "engine/DigestKinds.h"
#include "engine/NormalFileInfo.h"

// Runs every chosen digest over one read of the selected file, with the contract of every
// engine: the buffer size, the progress procedure (one pass from 0 to the file's size, then
// the final (100, 100)), the message pump every 101 buffers on the caller's thread, and
// SetCanceled, which ends every digest of the run.
class TFileDigests : public TNormalFileInfo {
public:
    explicit TFileDigests(TDigestSet kinds);
    TDigestSet Kinds() const { return kinds_; }

    // Never throws: each text (upper case) goes to its kind's field of Info(). A canceled or
    // empty run leaves them empty with Canceled(); a failure leaves them all empty and says
    // why in FailureReason().
    void Execute() override;
    // The text of one kind in the case asked for; empty when the run gave none.
    std::string HashText(TDigestKind kind, bool upper) const;

private:
    TDigestSet kinds_;
};
