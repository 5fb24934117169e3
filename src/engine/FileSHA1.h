#pragma once

#include "engine/NormalFileInfo.h"

class TFileSHA1 : public TNormalFileInfo {
public:
    void Execute() override;                         // throws EFileOpenError
    std::string GetHashText(bool upper) override;    // throws EFileOpenError
};
