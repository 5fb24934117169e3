#pragma once

#include <memory>

#include "engine/NormalFileInfo.h"

class TFileMD5Info : public TNormalFileInfo {
public:
    // Throw EFileOpenError when the file cannot be opened, EFileReadError when it cannot be
    // read to its end; Failure() says the same.
    void Execute() override;
    std::string GetHashText(bool upper) override;
    // MD5 of the text's Shift_JIS bytes (text given as UTF-8); empty text gives empty result.
    std::string HashString(const std::string& text, bool upper) const;
    static std::unique_ptr<Digest> NewDigest();
};
