#include "engine/FileSHA512Info.h"

#include "engine/digest/Hex.h"
#include "engine/digest/Sha512.h"

namespace {

class Sha512Digest : public TNormalFileInfo::Digest {
public:
    bool Slow() const override { return true; }
    void Init() override { digest::Sha512Init(ctx_); }
    void Feed(const uint8_t* data, size_t len) override { digest::Sha512Update(ctx_, data, len); }
    std::string Finish() override {
        uint8_t out[64];
        digest::Sha512Final(ctx_, out);
        return digest::HexUpper(out, 64);
    }

private:
    digest::Sha512Context ctx_{};
};

}  // namespace

std::unique_ptr<TNormalFileInfo::Digest> TFileSHA512Info::NewDigest() {
    return std::make_unique<Sha512Digest>();
}

void TFileSHA512Info::Execute() {
    Sha512Digest d;
    Run(d, &TFileInfo::SHA512, /*raiseErrors=*/true);
}

std::string TFileSHA512Info::GetHashText(bool upper) {
    Execute();
    return CaseOf(info_.SHA512, upper);
}
