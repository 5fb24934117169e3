#include "engine/DigestKinds.h"

#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"

namespace {

template <class Engine>
std::unique_ptr<TNormalFileInfo> Make() {
    return std::make_unique<Engine>();
}

const std::array<TDigestKindInfo, 3> kKinds = {{
    {TDigestKind::CRC32, "CRC32", "crc32", 'c', 8, &TFileInfo::CRC32, &Make<TFileCRC32Info>, &TFileCRC32Info::NewDigest},
    {TDigestKind::SHA1, "SHA1", "sha1", 'h', 40, &TFileInfo::SHA1, &Make<TFileSHA1>, &TFileSHA1::NewDigest},
    {TDigestKind::MD5, "MD5", "md5", 'm', 32, &TFileInfo::MD5, &Make<TFileMD5Info>, &TFileMD5Info::NewDigest},
}};

}  // namespace

const std::array<TDigestKindInfo, 3>& DigestKinds() { return kKinds; }

const TDigestKindInfo& DigestKindInfo(TDigestKind kind) {
    for (const TDigestKindInfo& k : kKinds)
        if (k.Kind == kind) return k;
    return kKinds[0];
}

const TDigestKindInfo* DigestKindByCommandName(std::string_view name) {
    for (const TDigestKindInfo& k : kKinds)
        if (name == k.CommandName) return &k;
    return nullptr;
}

const TDigestKindInfo* DigestKindBySwitch(char letter) {
    for (const TDigestKindInfo& k : kKinds)
        if (letter == k.Switch) return &k;
    return nullptr;
}
