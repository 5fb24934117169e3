#pragma once

#include <memory>

#include "engine/NormalFileInfo.h"

class TFileSHA1 : public TNormalFileInfo {
public:
    // Throw EFileOpenError when the file cannot be opened, EFileReadError when it cannot be
    // read to its end; Failure() says the same.
    void Execute() override;
    std::string GetHashText(bool upper) override;
    static std::unique_ptr<Digest> NewDigest();
};
