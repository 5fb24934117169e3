// The analysis of one file: its information, CRC32, SHA-1 and MD5 (from the file, the MD5
// sidecar or the hash cache), the comparison, and the closing steps. A request goes in, a
// sink receives everything the run shows, an outcome comes back. The main window maps its
// controls to a request and the sink back to its controls; tavrenne-cli prints.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Comparison.h"
#include "analysis/ListsBeside.h"
#include "engine/DigestKinds.h"
#include "engine/NormalFileInfo.h"
#include "engine/Sidecar.h"
#include "engine/cache/FileIdentity.h"

// Kinds of log line; also the image index of the line in the window's log.
enum TLogKind : int { lkInformation = 0, lkError = 1, lkWarning = 2 };

enum class TBoxIcon { Exclamation, Error };

struct TAnalysisRequest {
    std::string Path;
    TDigestSet Digests;          // the digests to compute
    bool Upper = false;          // digest texts in upper case
    // Settings the run reads.
    bool UseMD5File = false;     // a file with a sidecar is analysed through it
    bool NotUseMD5File = false;  // a sidecar is analysed as an ordinary file
    bool ByteLen = false;        // sizes always in bytes
    bool AutoCreateMD5 = false;  // write the sidecar after the MD5
    bool UseCache = false;       // the hash cache
    uint16_t BufferKB = 64;
    bool ListsBeside = false;    // compare with the checksum lists in the file's folder
    std::string ProgramFolder;   // where the result text of a shutdown and the helper live
};

// The information area as the run fills it.
struct TShownInfo {
    std::string Size;        // "ファイルサイズ: " + size text
    std::string Time;        // "更新日時: " + long time text
    bool HasVersion = false; // programs and libraries: the two lines below are set
    std::string Version;     // "ファイルバージョン: " + FileVersion
    std::string Copyright;   // "著作権: " + LegalCopyright
    uint32_t Age = 0;        // packed DOS date-time
    bool ReadOnly = false;
    bool Hidden = false;
    TIconHandle Icon = 0;    // the large icon to show
};

// Digest texts by kind; a kind without a text gives an empty one.
class TDigestTexts {
public:
    const std::string& Text(TDigestKind kind) const;
    void Set(TDigestKind kind, std::string text) { texts_[kind] = std::move(text); }

private:
    std::map<TDigestKind, std::string> texts_;
};

struct TAnalysisOutcome {
    bool Found = false;      // false: the file was not there (nothing else happened)
    bool Error = false;      // the run's error flag
    bool Canceled = false;
    bool Mismatch = false;   // a comparison ran and did not match
    bool Changed = false;    // the file changed while it was read: nothing was kept
    std::string Path;        // after the sidecar redirection
    TDigestSet Digests;      // the digests asked for, after the sidecar redirection
    TDigestTexts Texts;      // as shown; empty for a digest that gave none
    const std::string& Text(TDigestKind kind) const { return Texts.Text(kind); }
};

// Everything the run shows. Calls come in the order of the run.
class TAnalysisSink {
public:
    virtual ~TAnalysisSink() = default;

    virtual void Log(const std::string& text, int kind) = 0;
    // A message box with an OK button and the application title as caption.
    virtual void Message(const std::string& text, TBoxIcon icon) = 0;

    // Progress display: reset (shown when any digest is chosen), the bar's maximum, a
    // position with the bytes processed, and hidden at the very end.
    virtual void ProgressReset(bool /*show*/) {}
    virtual void ProgressMaximum(int64_t /*maximum*/) {}
    virtual void Progress(int64_t /*position*/, int64_t /*processed*/) {}
    virtual void ProgressHidden() {}

    // The file exists: the requested path goes to the recent files, the display is reset.
    virtual void Accepted(const std::string& /*requestedPath*/) {}
    // A sidecar's value turns the run into an MD5 comparison with it (CRC32 off, MD5 on).
    virtual void SidecarComparison(const std::string& /*value*/) {}
    // The comparison controls as they stand; read where the run compares.
    virtual TComparisonInput Comparison() { return {}; }
    // The comparison was on without a value: it is switched off.
    virtual void ComparisonOff() {}
    // The expected value lost its first blank; the remark for the mascot changed.
    virtual void CompareValueCleaned(const std::string& /*value*/) {}
    virtual void CompareRemark(const std::string& /*remark*/) {}

    virtual void ShowPath(const std::string& /*path*/, const std::string& /*nameLine*/) {}
    virtual void ShowInfo(const TShownInfo& /*info*/) {}
    virtual void ShowDigest(TDigestKind /*kind*/, const std::string& /*text*/) {}
    // Idle or running: the commands that could start other work are off while running.
    virtual void Running(bool /*running*/) {}
    // The engine that an abort acts on, or nullptr.
    virtual void EngineChanged(TNormalFileInfo* /*engine*/) {}
    // Icons the run no longer needs; the sink keeps the one it shows.
    virtual void ReleaseIcons(TIconHandle /*large*/, TIconHandle /*small*/) {}

    virtual void Mascot() {}                      // the results script, when the mascot is in use
    virtual void PlaySound(bool /*error*/) {}
    virtual bool ShutdownChecked() { return false; }
    // Write the result text to `resultFile`, then start `helper` with "-W".
    virtual void Shutdown(const std::string& /*resultFile*/, const std::string& /*helper*/) {}
    virtual void Blink() {}                       // the completion blink of an error-free run
};

struct TCacheHit {
    std::string MD5;           // as stored; empty when the record has none
    std::string SHA1;
    std::string MatchedFile;   // record file that matched; empty when nothing matched

    // The kinds a record keeps beside its CRC32 key, and their texts (empty for the others).
    static bool Keeps(TDigestKind kind);
    std::string Text(TDigestKind kind) const;
};

// The sidecar and hash-cache steps. They return what happened; the run logs it.
class TAnalysisHooks {
public:
    virtual ~TAnalysisHooks() = default;
    // The value stored in path + ".MD5"; nullopt when there is none.
    virtual std::optional<std::string> ReadSidecar(const std::string& path) = 0;
    // Writes path + ".MD5" unless it exists.
    virtual TSidecarWriteResult WriteSidecar(const std::string& path, const std::string& md5) = 0;
    // The record stored under `crc32` for this very file (`file` as it was when it was sized).
    virtual TCacheHit CacheLookup(const std::string& crc32, const TFileIdentity& file) = 0;
    virtual bool CacheDeleteRecord(const std::string& recordFile) = 0;
    virtual void CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1,
                            const TFileIdentity& file) = 0;
    // The names in a folder (no "." or ".."); nothing when it cannot be listed. Reads the disk.
    virtual std::vector<std::string> FolderNames(const std::string& folder);
    // A checksum list beside the file, up to `limit` bytes. Reads the disk.
    virtual TListBytes ReadListBeside(const std::string& path, uint64_t limit);
};

// Sidecars beside the files and the cache records in `cacheFolder`.
class TFileHooks : public TAnalysisHooks {
public:
    explicit TFileHooks(std::string cacheFolder) : cacheFolder_(std::move(cacheFolder)) {}
    std::optional<std::string> ReadSidecar(const std::string& path) override;
    TSidecarWriteResult WriteSidecar(const std::string& path, const std::string& md5) override;
    TCacheHit CacheLookup(const std::string& crc32, const TFileIdentity& file) override;
    bool CacheDeleteRecord(const std::string& recordFile) override;
    void CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1,
                    const TFileIdentity& file) override;

private:
    std::string cacheFolder_;
};

class TAnalysisRun {
public:
    // Makes the engine that computes a set of digests in one read.
    using TEngineFactory = std::function<std::unique_ptr<TNormalFileInfo>(TDigestSet)>;

    TAnalysisRun(TAnalysisSink& sink, TAnalysisHooks& hooks);
    ~TAnalysisRun();
    TAnalysisRun(const TAnalysisRun&) = delete;
    TAnalysisRun& operator=(const TAnalysisRun&) = delete;

    // Seams: the millisecond clock, the engines, and (tests) a size in place of the file's.
    std::function<uint32_t()> TickCount;
    TEngineFactory EngineFactory;
    std::function<int64_t(const std::string&, int64_t)> SizeOverride;

    TAnalysisOutcome Run(const TAnalysisRequest& request);

    // The default engines: a single engine for one digest, one shared read for several.
    static std::unique_ptr<TNormalFileInfo> MakeEngine(TDigestSet kinds);

private:
    // What one run carries from step to step.
    struct TRunState;
    // A step's verdict: the run goes on, or its digest steps end here (the closing steps
    // still run).
    enum class TNext { GoOn, Stop };

    // The groups of steps, in the order of the run.
    TNext Prepare(TRunState& s);             // the file, the sidecar, the name
    TNext RunDigests(TRunState& s);          // everything below, in order
    TNext ReadInformation(TRunState& s);     // size, times, attributes, version, icon
    TNext DigestCRC32(TRunState& s);
    void LookUpCache(TRunState& s);          // for the digests after CRC32, before any of them
    TNext DigestAfterCRC32(TRunState& s, const TDigestKindInfo& kind);
    void EndDigests(TRunState& s);           // change check, elapsed time, idle again, mascot
    void Close(TRunState& s);                // engine, sound, shutdown, cache, blink

    // Helpers of the steps.
    std::unique_ptr<TNormalFileInfo> NewEngine(TDigestSet kinds) const;
    void UseEngine(TRunState& s, std::unique_ptr<TNormalFileInfo> engine);
    void ReleaseEngine(TRunState& s);
    void ReadShared(TRunState& s, TDigestSet kinds, bool reuseEngine);
    void CompareIfChosen(TRunState& s, TDigestKind kind, const std::string& digest);
    void ChooseComparedKind(TRunState& s, const TComparisonInput& c);
    void FindListsBeside(TRunState& s);
    void LogListsBeside(TRunState& s);
    void UpdateCache(TRunState& s);
    uint32_t Ticks() const;

    TAnalysisSink& sink_;
    TAnalysisHooks& hooks_;
};
