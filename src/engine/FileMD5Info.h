#pragma once

#include "engine/NormalFileInfo.h"

class TFileMD5Info : public TNormalFileInfo {
public:
    void Execute() override;                         // throws EFileOpenError
    std::string GetHashText(bool upper) override;    // throws EFileOpenError
    // MD5 of the text's Shift_JIS bytes (text given as UTF-8); empty text gives empty result.
    std::string HashString(const std::string& text, bool upper) const;
};
