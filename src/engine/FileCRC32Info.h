#pragma once

#include <memory>

#include "engine/NormalFileInfo.h"

class TFileCRC32Info : public TNormalFileInfo {
public:
    // A file that cannot be opened or read to its end leaves CRC32 empty; Failure() says why.
    void Execute() override;
    std::string GetHashText(bool upper) override;
    static std::unique_ptr<Digest> NewDigest();
};
