#include "engine/FileMD5Info.h"

#include "engine/digest/Hex.h"
#include "engine/digest/Md5.h"
#include "text/Cp932.h"

namespace {

class Md5Digest : public TNormalFileInfo::Digest {
public:
    bool Slow() const override { return true; }
    void Init() override { digest::Md5Init(ctx_); }
    void Feed(const uint8_t* data, size_t len) override { digest::Md5Update(ctx_, data, len); }
    std::string Finish() override {
        uint8_t out[16];
        digest::Md5Final(ctx_, out);
        return digest::HexUpper(out, 16);
    }

private:
    digest::Md5Context ctx_{};
};

}  // namespace

std::unique_ptr<TNormalFileInfo::Digest> TFileMD5Info::NewDigest() {
    return std::make_unique<Md5Digest>();
}

void TFileMD5Info::Execute() {
    Md5Digest d;
    Run(d, &TFileInfo::MD5, /*raiseErrors=*/true);
}

std::string TFileMD5Info::GetHashText(bool upper) {
    Execute();
    return CaseOf(info_.MD5, upper);
}

std::string TFileMD5Info::HashString(const std::string& text, bool upper) const {
    if (text.empty()) return {};
    const std::string bytes = cp932::FromUtf8(text);
    Md5Digest d;
    d.Init();
    d.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return CaseOf(d.Finish(), upper);
}
