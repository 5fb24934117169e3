#include "app/FileHooks.h"

#include <unistd.h>

#include <QString>

#include "app/Tavrenne.h"
#include "engine/Sidecar.h"
#include "engine/cache/FileCaches.h"
#include "platform/Platform.h"

std::string TFileHooks::ReadSidecar(TTavrenne& window, const std::string& path) {
    const std::optional<std::string> value = ::ReadSidecar(path);
    if (!value) return {};
    window.AddLog(QStringLiteral("MD5ファイルからハッシュを読み込みました"), lkInformation);
    return *value;
}

bool TFileHooks::WriteSidecar(TTavrenne& window, const std::string& path, const std::string& md5) {
    const TSidecarWriteResult r = ::WriteSidecar(path, md5);
    switch (r.Outcome) {
    case TSidecarWrite::Written:
        window.AddLog(QStringLiteral("MD5ファイルを生成しました"), lkInformation);
        return true;
    case TSidecarWrite::Exists:
        return true;
    case TSidecarWrite::Failed:
        break;
    }
    window.AddLog(QStringLiteral("MD5ファイルを生成できません: ") + QString::fromStdString(SidecarPath(path)) +
                      QStringLiteral(" (") + QString::fromStdString(r.Reason) + QStringLiteral(")"),
                  lkWarning);
    return false;
}

std::string TFileHooks::CacheFolder() {
    return ProgramLayout().CacheFolder();
}

TCacheHit TFileHooks::CacheLookup(const std::string& crc32) {
    TFileCaches caches(CacheFolder());
    caches.Lookup(crc32);
    return {caches.CurrentMD5(), caches.CurrentSHA1(), caches.MatchedFile()};
}

bool TFileHooks::CacheDeleteRecord(const std::string& recordFile) {
    return !recordFile.empty() && ::unlink(recordFile.c_str()) == 0;
}

void TFileHooks::CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1) {
    TFileCaches(CacheFolder()).Store(crc32, md5, sha1);
}

void TFileHooks::CacheUpkeep(bool clearAll, int limit) { CacheCloseUpkeep(clearAll, limit, CacheFolder()); }
