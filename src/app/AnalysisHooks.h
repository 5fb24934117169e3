// Steps of an analysis that belong to the MD5 sidecar, the hash cache and the mascot. The
// window calls them at their places in the run; the base class does nothing, TFileHooks
// (FileHooks.h) does the sidecar and cache work on disk.
#pragma once

#include <string>

class TTavrenne;

enum class TMascotScript { Greeting, Results, Version };

struct TCacheHit {
    std::string MD5;           // as stored; empty when the record has none
    std::string SHA1;
    std::string MatchedFile;   // record file that matched; empty when nothing matched
};

class TAnalysisHooks {
public:
    virtual ~TAnalysisHooks() = default;

    // Value stored in path + ".MD5", or empty. Logs what it read through the window.
    virtual std::string ReadSidecar(TTavrenne&, const std::string& /*path*/) { return {}; }
    // Writes path + ".MD5" unless it exists and logs what it did through the window; false
    // when the sidecar could not be written.
    virtual bool WriteSidecar(TTavrenne&, const std::string& /*path*/, const std::string& /*md5*/) { return true; }

    virtual TCacheHit CacheLookup(const std::string& /*crc32*/) { return {}; }
    virtual bool CacheDeleteRecord(const std::string& /*recordFile*/) { return false; }
    virtual void CacheStore(const std::string& /*crc32*/, const std::string& /*md5*/,
                            const std::string& /*sha1*/) {}
    // Upkeep when the window closes: clear all, or trim to the limit.
    virtual void CacheUpkeep(bool /*clearAll*/, int /*limit*/) {}

    virtual bool MascotInUse() { return false; }
    virtual void SendMascotScript(TTavrenne&, TMascotScript) {}
};
