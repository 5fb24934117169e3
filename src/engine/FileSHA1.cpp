#include "engine/FileSHA1.h"

#include "engine/digest/Hex.h"
#include "engine/digest/Sha1.h"

namespace {

class Sha1Digest : public TNormalFileInfo::Digest {
public:
    bool Slow() const override { return true; }
    void Init() override { digest::Sha1Reset(ctx_); }
    void Feed(const uint8_t* data, size_t len) override { digest::Sha1Input(ctx_, data, len); }
    std::string Finish() override {
        uint8_t out[20];
        if (!digest::Sha1Result(ctx_, out)) return {};
        return digest::HexUpper(out, 20);
    }

private:
    digest::Sha1Context ctx_{};
};

}  // namespace

std::unique_ptr<TNormalFileInfo::Digest> TFileSHA1::NewDigest() {
    return std::make_unique<Sha1Digest>();
}

void TFileSHA1::Execute() {
    Sha1Digest d;
    Run(d, &TFileInfo::SHA1, /*raiseErrors=*/true);
}

std::string TFileSHA1::GetHashText(bool upper) {
    Execute();
    return CaseOf(info_.SHA1, upper);
}
