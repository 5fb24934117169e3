#include "analysis/AnalysisRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <exception>

#include "analysis/ResultText.h"
#include "engine/FileDigests.h"
#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "engine/cache/FileCaches.h"
#include "text/TextUtil.h"

namespace {

constexpr int64_t kLargeFile = 2147483647;

// The run whose engine is reporting progress.
TAnalysisSink* g_progressSink = nullptr;

uint32_t SteadyTicks() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// What tells one file from another and a file from its changed self.
struct TFileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    int64_t ModifiedNs = 0;
    bool operator==(const TFileIdentity&) const = default;
};

std::optional<TFileIdentity> IdentityOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return TFileIdentity{st.st_dev, st.st_ino, st.st_size, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// Ends the digest steps after a failure that was reported where it happened.
struct TRunEnded {};

}  // namespace

std::optional<std::string> TFileHooks::ReadSidecar(const std::string& path) { return ::ReadSidecar(path); }

TSidecarWriteResult TFileHooks::WriteSidecar(const std::string& path, const std::string& md5) {
    return ::WriteSidecar(path, md5);
}

TCacheHit TFileHooks::CacheLookup(const std::string& crc32, int64_t size, uint32_t age) {
    TFileCaches caches(cacheFolder_);
    caches.Lookup(crc32, size, age);
    return {caches.CurrentMD5(), caches.CurrentSHA1(), caches.MatchedFile()};
}

bool TFileHooks::CacheDeleteRecord(const std::string& recordFile) {
    return !recordFile.empty() && ::unlink(recordFile.c_str()) == 0;
}

void TFileHooks::CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1, int64_t size,
                            uint32_t age) {
    TFileCaches(cacheFolder_).Store(crc32, md5, sha1, size, age);
}

void ProgressPercent(int64_t processed, int64_t total) {
    if (g_progressSink) g_progressSink->Progress(total > 0 ? processed * 100 / total : 0, processed);
}

void ProgressBytes(int64_t processed, int64_t /*total*/) {
    if (g_progressSink) g_progressSink->Progress(processed, processed);
}

std::unique_ptr<TNormalFileInfo> TAnalysisRun::MakeEngine(TDigestSet kinds) {
    if (kinds.Count() == 1)
        for (const TDigestKindInfo& k : DigestKinds())
            if (kinds.Has(k.Kind)) return k.MakeEngine();
    return std::make_unique<TFileDigests>(kinds);
}

TAnalysisRun::TAnalysisRun(TAnalysisSink& sink, TAnalysisHooks& hooks) : sink_(sink), hooks_(hooks) {}
TAnalysisRun::~TAnalysisRun() = default;

TAnalysisOutcome TAnalysisRun::Run(const TAnalysisRequest& requestIn) {
    TAnalysisRequest request = requestIn;
    TAnalysisOutcome outcome;
    const auto ticks = TickCount ? TickCount : std::function<uint32_t()>(SteadyTicks);
    auto has = [&](TDigestKind k) { return request.Digests.Has(k); };

    // Step 1: the run's own values.
    bool errorFlag = false;
    bool cancelFlag = false;
    int logKind = lkInformation;
    int64_t size = 0;
    bool large = false;
    std::string cachedMD5, cachedSHA1, matchedFile;
    int cacheHits = 0;
    sink_.ProgressReset(!request.Digests.Empty());

    // Step 2.
    if (!FileExistsByAge(request.Path)) {
        outcome.Error = true;
        sink_.Message("ファイルが見当たりません", TBoxIcon::Exclamation);
        sink_.ProgressHidden();
        return outcome;
    }
    outcome.Found = true;

    // Steps 3 to 5.
    sink_.Accepted(request.Path);
    const uint32_t start = ticks();

    // Step 6: an .MD5 sidecar turns the run into a comparison against its value.
    const TSidecarRedirect redirect = RedirectForSidecar(request.Path, request.UseMD5File, request.NotUseMD5File,
                                                         [](const std::string& p) { return FileExistsByAge(p); });
    const std::string path = redirect.Path;
    outcome.Path = path;
    if (redirect.ReadSidecar) {
        if (const std::optional<std::string> value = hooks_.ReadSidecar(path)) {
            sink_.Log("MD5ファイルからハッシュを読み込みました", lkInformation);
            if (!value->empty()) {
                sink_.SidecarComparison(*value);
                request.Digests.Remove(TDigestKind::CRC32);
                request.Digests.Add(TDigestKind::MD5);
            }
        }
    }
    {
        const TComparisonInput c = sink_.Comparison();
        if (c.On && c.Value.empty()) sink_.ComparisonOff();
    }

    // Step 7.
    const std::string name = ExtractFileName(path);
    sink_.ShowPath(path, Captioned(kCaptionName, name));

    // Step 8.
    sink_.Log(name + "のファイル情報を取得中です..しばらくお待ち下さい", lkInformation);

    const auto makeEngine = EngineFactory ? EngineFactory : TEngineFactory(&TAnalysisRun::MakeEngine);
    std::unique_ptr<TNormalFileInfo> engine;
    auto releaseEngine = [&] {
        if (!engine) return;
        sink_.EngineChanged(nullptr);
        sink_.ReleaseIcons(engine->LargeIcon, engine->SmallIcon);
        engine.reset();
    };
    auto useEngine = [&](std::unique_ptr<TNormalFileInfo> e) {
        releaseEngine();
        engine = std::move(e);
        sink_.EngineChanged(engine.get());
    };
    auto compareIfChosen = [&](TDigestKind kind, const std::string& digest) {
        const TComparisonInput c = sink_.Comparison();
        if (!c.On || c.Kind != kind) return;
        const TComparisonResult r = CompareDigestText(kind, digest, c.Value);
        if (r.Cleaned) sink_.CompareValueCleaned(r.Expected);
        sink_.Log(r.Line, r.Kind);
        sink_.CompareRemark(r.Remark);
        outcome.Mismatch = !r.Match;
    };

    bool running = false;
    bool endedEarly = false;
    std::optional<TFileIdentity> identity;
    uint32_t age = 0;
    g_progressSink = &sink_;
    try {
        // Step 9.
        useEngine(makeEngine({TDigestKind::CRC32}));
        engine->SetBufferSize(request.BufferKB);
        engine->SetFileName(path);
        engine->ReadSize();
        identity = IdentityOf(path);
        size = engine->Info().Size;
        if (SizeOverride) size = SizeOverride(path, size);

        if (size == 0) {
            // Step 10.
            sink_.Message("ファイルがオープン出来ません :理由File size of zero or run", TBoxIcon::Error);
            sink_.Log("File Open Error 634", lkError);
            errorFlag = true;
            throw TRunEnded{};
        }

        // Steps 11 to 16.
        large = size > kLargeFile;
        const TFileInfo& info = engine->Info();
        age = info.Age;
        TShownInfo shown;
        shown.Size = Captioned(kCaptionSize, SizeText(size, request.ByteLen));
        shown.Time = Captioned(kCaptionTime, info.TimeText);
        shown.Age = info.Age;
        shown.ReadOnly = (info.Attr & faReadOnly) != 0;
        shown.Hidden = (info.Attr & faHidden) != 0;
        const std::string ext = AsciiCase(ExtractFileExt(path), false);
        if (ext == ".exe" || ext == ".dll") {
            engine->ReadVersionInfo();
            shown.HasVersion = true;
            shown.Version = Captioned(kCaptionVersion, engine->Info().FileVersion);
            shown.Copyright = Captioned(kCaptionCopyright, engine->Info().LegalCopyright);
        }
        shown.Icon = engine->LargeIcon;
        sink_.ShowInfo(shown);
        sink_.Running(true);
        running = true;

        auto chooseProgress = [&](TNormalFileInfo& e) {
            e.SetProgressProc(large ? &ProgressPercent : &ProgressBytes);
            sink_.ProgressMaximum(large ? 100 : size);
        };

        // Texts from a shared read, by kind; a kind the read covered is not read again.
        TDigestSet fromShared;
        std::string sharedText[3];
        TRunFailure sharedFailure = TRunFailure::None;
        std::string sharedReason;
        // Runs one read for `kinds` on a fresh engine (or, for CRC32, the one of step 9).
        auto runShared = [&](TDigestSet kinds, bool reuseEngine) {
            if (!reuseEngine) {
                useEngine(makeEngine(kinds));
                chooseProgress(*engine);
                engine->SetBufferSize(request.BufferKB);
            } else {
                chooseProgress(*engine);
                // Selecting the file again fetches its icons again: let go of the old ones.
                sink_.ReleaseIcons(engine->LargeIcon, engine->SmallIcon);
            }
            engine->SetFileName(path);
            sharedFailure = TRunFailure::None;
            sharedReason.clear();
            try {
                engine->Execute();
                sharedFailure = engine->Failure();
                sharedReason = engine->FailureReason();
            } catch (const EFileOpenError& e) {
                sharedFailure = engine->Failure() == TRunFailure::Read ? TRunFailure::Read : TRunFailure::Open;
                sharedReason = e.Reason();
            }
            cancelFlag = engine->Canceled();
            for (const TDigestKindInfo& k : DigestKinds()) {
                if (!kinds.Has(k.Kind)) continue;
                fromShared.Add(k.Kind);
                sharedText[int(k.Kind)] = cancelFlag ? std::string() : engine->Info().*k.Field;
            }
        };
        auto textOf = [&](TDigestKind kind) { return AsciiCase(sharedText[int(kind)], request.Upper); };

        // Steps 17 to 19: CRC32. With the cache off, SHA-1 and MD5 come from the same read.
        if (has(TDigestKind::CRC32)) {
            TDigestSet kinds{TDigestKind::CRC32};
            if (!request.UseCache) {
                if (has(TDigestKind::SHA1)) kinds.Add(TDigestKind::SHA1);
                if (has(TDigestKind::MD5)) kinds.Add(TDigestKind::MD5);
            }
            sink_.Log(name + "のCRC32取得を開始", lkInformation);
            runShared(kinds, kinds.Count() == 1);
            const std::string text = textOf(TDigestKind::CRC32);
            std::string line;
            if (!text.empty()) {
                sink_.ShowDigest(TDigestKind::CRC32, text);
                outcome.CRC32 = text;
                line = name + "のCRC32取得完了";
                compareIfChosen(TDigestKind::CRC32, text);
            } else {
                sink_.ShowDigest(TDigestKind::CRC32, {});
                line = cancelFlag ? "CRC32の取得時にユーザーによるキャンセルを受付ました" : "CRC32 Error!!";
                logKind = lkWarning;
                errorFlag = true;
            }
            sink_.Log(line, logKind);
        }

        // Step 20: the cache, keyed by the CRC32 with the size and time, before any SHA-1 or
        // MD5 work.
        auto fromCache = [&](TDigestKind kind, std::string TCacheHit::*field, std::string& out) {
            if (!has(kind) || outcome.CRC32.empty() || !request.UseCache) return;
            const TCacheHit hit = hooks_.CacheLookup(outcome.CRC32, size, age);
            out = AsciiCase(hit.*field, request.Upper);
            if (matchedFile.empty()) matchedFile = hit.MatchedFile;
            if (!out.empty()) ++cacheHits;
        };
        fromCache(TDigestKind::SHA1, &TCacheHit::SHA1, cachedSHA1);
        fromCache(TDigestKind::MD5, &TCacheHit::MD5, cachedMD5);
        auto servedByCache = [&](TDigestKind kind) {
            const std::string& cached = kind == TDigestKind::SHA1 ? cachedSHA1 : cachedMD5;
            return has(TDigestKind::CRC32) && !cached.empty();
        };

        // Steps 21 and 22: SHA-1 then MD5, from the cache, the shared read or the file.
        for (TDigestKind kind : {TDigestKind::SHA1, TDigestKind::MD5}) {
            if (!has(kind)) continue;
            const std::string label = DigestKindInfo(kind).Name;
            sink_.Log(name + "の" + label + "取得を開始", lkInformation);
            std::string result;
            if (servedByCache(kind)) {
                sink_.Log("キャッシュを読み込み/使用", logKind);
                result = kind == TDigestKind::SHA1 ? cachedSHA1 : cachedMD5;
            } else {
                if (!fromShared.Has(kind) && !cancelFlag) {
                    // SHA-1 takes MD5 along in its read when MD5 needs the file too.
                    TDigestSet kinds{kind};
                    if (kind == TDigestKind::SHA1 && has(TDigestKind::MD5) && !servedByCache(TDigestKind::MD5))
                        kinds.Add(TDigestKind::MD5);
                    runShared(kinds, false);
                } else if (!fromShared.Has(kind)) {
                    releaseEngine();
                }
                if (fromShared.Has(kind) && sharedFailure != TRunFailure::None && !cancelFlag) {
                    // The file cannot be opened or read: this digest and those after it are
                    // given up, the run still closes normally.
                    sink_.ShowDigest(kind, {});
                    errorFlag = true;
                    logKind = lkError;
                    sink_.Log(label + " Error!!", lkError);
                    const char* what = sharedFailure == TRunFailure::Open ? "ファイルがオープン出来ません :理由"
                                                                          : "ファイルを読み込めません :理由";
                    sink_.Message(what + sharedReason + "\n" + path, TBoxIcon::Error);
                    throw TRunEnded{};
                }
                if (fromShared.Has(kind)) result = textOf(kind);
            }
            if (!result.empty()) {
                sink_.ShowDigest(kind, result);
                (kind == TDigestKind::SHA1 ? outcome.SHA1 : outcome.MD5) = result;
                sink_.Log(name + "の" + label + "取得完了", logKind);
                if (kind == TDigestKind::MD5 && request.AutoCreateMD5) {
                    const TSidecarWriteResult w = hooks_.WriteSidecar(path, result);
                    if (w.Outcome == TSidecarWrite::Written) {
                        sink_.Log("MD5ファイルを生成しました", lkInformation);
                    } else if (w.Outcome == TSidecarWrite::Failed) {
                        // A sidecar that cannot be written: the run goes on as after any
                        // other failure.
                        sink_.Log("MD5ファイルを生成できません: " + SidecarPath(path) + " (" + w.Reason + ")",
                                  lkWarning);
                        errorFlag = true;
                        logKind = lkWarning;
                    }
                }
                compareIfChosen(kind, result);
            } else {
                sink_.ShowDigest(kind, {});
                if (cancelFlag) {
                    sink_.Log(label + "の取得時にユーザーによるキャンセルを受付ました", lkWarning);
                    logKind = lkWarning;
                } else {
                    sink_.Log(label + " Error!!", lkError);
                    logKind = lkError;
                }
                errorFlag = true;
            }
        }
    } catch (const TRunEnded&) {
        // Reported where it happened.
        endedEarly = true;
    } catch (const std::exception& e) {
        endedEarly = true;
        errorFlag = true;
        sink_.Message(std::string("処理中にエラーが発生しました: ") + e.what(), TBoxIcon::Error);
    }
    g_progressSink = nullptr;

    const bool digestsRan = running;
    if (running) {
        // The digests must all describe one content: a file replaced or changed meanwhile
        // gives nothing to keep.
        if (!request.Digests.Empty() && IdentityOf(path) != identity) {
            sink_.Log(name + "は解析中に変更されました。結果は保存しません", lkWarning);
            errorFlag = true;
            outcome.Changed = true;
        }
        // Steps 23 to 25; a run that ended at a failure has no elapsed time.
        if (!endedEarly) sink_.Log(ElapsedText(start, ticks()), lkInformation);
        sink_.Running(false);
        sink_.Mascot();
    }

    // Steps 26 onwards run for every run that got this far.
    releaseEngine();

    if (!request.Digests.Empty()) sink_.PlaySound(errorFlag);

    if (!errorFlag && sink_.ShutdownChecked()) {
        const TProgramLayout layout(request.ProgramFolder);
        sink_.Shutdown(layout.ShutdownLog(path), layout.HelperProgram());
    }

    if (digestsRan && !outcome.Changed && has(TDigestKind::CRC32) &&
        (has(TDigestKind::MD5) || has(TDigestKind::SHA1))) {
        auto store = [&](const std::string& crc, const std::string& md5, const std::string& sha1) {
            // Without a CRC32 there is no key a lookup could find.
            if (size > 0 && request.UseCache && !crc.empty()) hooks_.CacheStore(crc, md5, sha1, size, age);
        };
        if (cacheHits > 0) {
            bool complete = false;
            if (cachedMD5.empty() && !outcome.MD5.empty()) {
                cachedMD5 = outcome.MD5;
                complete = true;
            }
            if (cachedSHA1.empty() && !outcome.SHA1.empty()) {
                cachedSHA1 = outcome.SHA1;
                complete = true;
            }
            if (complete && hooks_.CacheDeleteRecord(matchedFile)) store(outcome.CRC32, cachedMD5, cachedSHA1);
        } else {
            store(outcome.CRC32, outcome.MD5, outcome.SHA1);
        }
    }

    // Step 30: the completion blink; step 31.
    if (!errorFlag) sink_.Blink();
    sink_.ProgressHidden();
    outcome.Error = errorFlag;
    outcome.Canceled = cancelFlag;
    outcome.Digests = request.Digests;
    return outcome;
}
