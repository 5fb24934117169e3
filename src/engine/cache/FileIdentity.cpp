#include "engine/cache/FileIdentity.h"

#include <sys/stat.h>

#include "engine/digest/Sha1.h"

std::optional<TFileIdentity> TFileIdentity::Of(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    TFileIdentity id;
    id.Device = uint64_t(st.st_dev);
    id.Inode = uint64_t(st.st_ino);
    id.Size = int64_t(st.st_size);
    id.ModifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.ChangedNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

std::array<uint8_t, 12> TFileIdentity::Fingerprint() const {
    uint8_t packed[40];
    const uint64_t values[5] = {Device, Inode, uint64_t(Size), uint64_t(ModifiedNs), uint64_t(ChangedNs)};
    for (size_t v = 0; v < 5; ++v)
        for (size_t i = 0; i < 8; ++i) packed[v * 8 + i] = uint8_t(values[v] >> (8 * i));
    digest::Sha1Context ctx;
    digest::Sha1Reset(ctx);
    digest::Sha1Input(ctx, packed, sizeof packed);
    uint8_t sha1[20] = {};
    digest::Sha1Result(ctx, sha1);
    std::array<uint8_t, 12> out;
    for (size_t i = 0; i < out.size(); ++i) out[i] = sha1[i];
    return out;
}
