// Steps of an analysis that belong to the MD5 sidecar, the hash cache and the mascot. The
// window calls them at their places in the run; the defaults do nothing.
#pragma once

#include <string>

class TTavrenne;

enum class TMascotScript { Greeting, Results, Version };

struct TCacheHit {
    std::string MD5;           // upper case as stored; empty when the record has none
    std::string SHA1;
    std::string MatchedFile;   // record file that matched; empty when nothing matched
};

class TAnalysisHooks {
public:
    virtual ~TAnalysisHooks() = default;

    // Value stored in path + ".MD5", or empty. Logs what it read through the window.
    virtual std::string ReadSidecar(TTavrenne&, const std::string& /*path*/) { return {}; }
    // Writes path + ".MD5" unless it exists. Logs what it wrote through the window.
    virtual void WriteSidecar(TTavrenne&, const std::string& /*path*/, const std::string& /*md5*/) {}

    virtual TCacheHit CacheLookup(const std::string& /*crc32*/) { return {}; }
    virtual bool CacheDeleteRecord(const std::string& /*recordFile*/) { return false; }
    virtual void CacheStore(const std::string& /*crc32*/, const std::string& /*md5*/,
                            const std::string& /*sha1*/) {}
    // Upkeep when the window closes: clear all, or trim to the limit.
    virtual void CacheUpkeep(bool /*clearAll*/, int /*limit*/) {}

    virtual bool MascotInUse() { return false; }
    virtual void SendMascotScript(TTavrenne&, TMascotScript) {}
};
