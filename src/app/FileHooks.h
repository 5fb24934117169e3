// The sidecar and cache steps of an analysis, on disk: "<file>.MD5" beside the file and the
// folder "Cache" in the program's folder.
#pragma once

#include "app/AnalysisHooks.h"

class TFileHooks : public TAnalysisHooks {
public:
    std::string ReadSidecar(TTavrenne& window, const std::string& path) override;
    bool WriteSidecar(TTavrenne& window, const std::string& path, const std::string& md5) override;

    TCacheHit CacheLookup(const std::string& crc32) override;
    bool CacheDeleteRecord(const std::string& recordFile) override;
    void CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1) override;
    void CacheUpkeep(bool clearAll, int limit) override;

    // "Cache" in the program's folder, asked of the platform each time.
    static std::string CacheFolder();
};
