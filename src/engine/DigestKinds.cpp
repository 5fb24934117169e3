#include "engine/DigestKinds.h"

#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "engine/FileSHA256Info.h"
#include "engine/FileSHA512Info.h"

namespace {

template <class Engine>
std::unique_ptr<TNormalFileInfo> Make() {
    return std::make_unique<Engine>();
}

constinit const std::array<TDigestKindInfo, 5> kKinds = {{
    {TDigestKind::CRC32, "CRC32", "CRC32", "crc32", 'c', true, 8, &TFileInfo::CRC32, &Make<TFileCRC32Info>,
     &TFileCRC32Info::NewDigest},
    {TDigestKind::SHA1, "SHA1", "SHA-1", "sha1", 'h', true, 40, &TFileInfo::SHA1, &Make<TFileSHA1>, &TFileSHA1::NewDigest},
    {TDigestKind::MD5, "MD5", "MD5", "md5", 'm', true, 32, &TFileInfo::MD5, &Make<TFileMD5Info>, &TFileMD5Info::NewDigest},
    {TDigestKind::SHA256, "SHA256", "SHA-256", "sha256", '2', false, 64, &TFileInfo::SHA256, &Make<TFileSHA256Info>,
     &TFileSHA256Info::NewDigest},
    {TDigestKind::SHA512, "SHA512", "SHA-512", "sha512", '\0', false, 128, &TFileInfo::SHA512, &Make<TFileSHA512Info>,
     &TFileSHA512Info::NewDigest},
}};

}  // namespace

const std::array<TDigestKindInfo, 5>& DigestKinds() { return kKinds; }

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
    if (letter == '\0') return nullptr;
    for (const TDigestKindInfo& k : kKinds)
        if (letter == k.Switch) return &k;
    return nullptr;
}

TDigestSet AllDigestKinds() {
    TDigestSet all;
    for (const TDigestKindInfo& k : kKinds)
        if (k.InAll) all.Add(k.Kind);
    return all;
}

const TDigestKindInfo* DigestKindByTextLength(size_t length) {
    for (const TDigestKindInfo& k : DigestKinds())
        if (k.TextLength == length) return &k;
    return nullptr;
}
