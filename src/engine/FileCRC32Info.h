#pragma once

#include "engine/NormalFileInfo.h"

class TFileCRC32Info : public TNormalFileInfo {
public:
    void Execute() override;                         // an open failure leaves CRC32 empty
    std::string GetHashText(bool upper) override;
};
