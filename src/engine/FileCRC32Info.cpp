#include "engine/FileCRC32Info.h"

#include "engine/digest/Crc32.h"
#include "engine/digest/Hex.h"

namespace {

// The fast paths give the same register as the byte-wise table, so no table per run.
class Crc32Digest : public TNormalFileInfo::Digest {
public:
    void Init() override { reg_ = 0xFFFFFFFFu; }
    void Feed(const uint8_t* data, size_t len) override { reg_ = digest::Crc32Feed(reg_, data, len); }
    std::string Finish() override {
        const uint32_t v = reg_ ^ 0xFFFFFFFFu;
        const uint8_t be[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
        return digest::HexUpper(be, 4);
    }

private:
    uint32_t reg_ = 0;
};

}  // namespace

std::unique_ptr<TNormalFileInfo::Digest> TFileCRC32Info::NewDigest() {
    return std::make_unique<Crc32Digest>();
}

void TFileCRC32Info::Execute() {
    Crc32Digest d;
    Run(d, &TFileInfo::CRC32, /*raiseErrors=*/false);
}

std::string TFileCRC32Info::GetHashText(bool upper) {
    Execute();
    return CaseOf(info_.CRC32, upper);
}
