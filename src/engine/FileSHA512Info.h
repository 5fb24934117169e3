#pragma once

#include <memory>

#include "engine/NormalFileInfo.h"

// The SHA-512 digest of the selected file, in the record's SHA512 field.
class TFileSHA512Info : public TNormalFileInfo {
public:
    // Throw EFileOpenError when the file cannot be opened, EFileReadError when it cannot be
    // read to its end; Failure() says the same.
    void Execute() override;
    std::string GetHashText(bool upper) override;
    static std::unique_ptr<Digest> NewDigest();
};
