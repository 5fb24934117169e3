#include "engine/FileSHA256Info.h"

#include "engine/digest/Hex.h"
#include "engine/digest/Sha256.h"

namespace {

class Sha256Digest : public TNormalFileInfo::Digest {
public:
    bool Slow() const override { return true; }
    void Init() override { digest::Sha256Init(ctx_); }
    void Feed(const uint8_t* data, size_t len) override { digest::Sha256Update(ctx_, data, len); }
    std::string Finish() override {
        uint8_t out[32];
        digest::Sha256Final(ctx_, out);
        return digest::HexUpper(out, 32);
    }

private:
    digest::Sha256Context ctx_{};
};

}  // namespace

std::unique_ptr<TNormalFileInfo::Digest> TFileSHA256Info::NewDigest() {
    return std::make_unique<Sha256Digest>();
}

void TFileSHA256Info::Execute() {
    Sha256Digest d;
    Run(d, &TFileInfo::SHA256, /*raiseErrors=*/true);
}

std::string TFileSHA256Info::GetHashText(bool upper) {
    Execute();
    return CaseOf(info_.SHA256, upper);
}
