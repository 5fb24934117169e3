#include "analysis/AnalysisRun.h"
#include "text/Translate.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <chrono>
#include <exception>
#include <utility>

#include "analysis/ResultText.h"
#include "engine/ChecksumList.h"
#include "engine/FileDigests.h"
#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "engine/cache/FileCaches.h"
#include "text/TextUtil.h"

namespace {

constexpr int64_t kLargeFile = 2147483647;

uint32_t SteadyTicks() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The bar's position: bytes up to kLargeFile, above that a percentage, so that its 32-bit
// range is never exceeded.
int64_t ProgressPercent(int64_t processed, int64_t total) { return total > 0 ? processed * 100 / total : 0; }
int64_t ProgressBytes(int64_t processed, int64_t /*total*/) { return processed; }

}  // namespace

std::optional<std::string> TFileHooks::ReadSidecar(const std::string& path) { return ::ReadSidecar(path); }

TSidecarWriteResult TFileHooks::WriteSidecar(const std::string& path, const std::string& md5) {
    return ::WriteSidecar(path, md5);
}

TCacheHit TFileHooks::CacheLookup(const std::string& crc32, const TFileIdentity& file) {
    TFileCaches caches(cacheFolder_);
    caches.Lookup(crc32, file);
    return {caches.CurrentMD5(), caches.CurrentSHA1(), caches.MatchedFile()};
}

bool TFileHooks::CacheDeleteRecord(const std::string& recordFile) {
    return !recordFile.empty() && ::unlink(recordFile.c_str()) == 0;
}

void TFileHooks::CacheStore(const std::string& crc32, const std::string& md5, const std::string& sha1,
                            const TFileIdentity& file) {
    TFileCaches(cacheFolder_).Store(crc32, md5, sha1, file);
}

std::vector<std::string> TAnalysisHooks::FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

TListBytes TAnalysisHooks::ReadListBeside(const std::string& path, uint64_t limit) {
    TListBytes r;
    // A FIFO or device named like a list is never opened: it could block or never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        r.Status = TListBytes::TStatus::Unreadable;
        r.Reason = fd < 0 ? std::strerror(errno) : "not a regular file";
        if (fd >= 0) ::close(fd);
        return r;
    }
    if (uint64_t(st.st_size) > limit) {
        ::close(fd);
        r.Status = TListBytes::TStatus::TooLarge;
        return r;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            r.Status = TListBytes::TStatus::Unreadable;
            r.Reason = std::strerror(errno);
            break;
        }
        if (n == 0) break;
        r.Bytes.append(buf, size_t(n));
        if (r.Bytes.size() > limit) {
            r.Status = TListBytes::TStatus::TooLarge;
            r.Bytes.clear();
            break;
        }
    }
    ::close(fd);
    return r;
}

const std::string& TDigestTexts::Text(TDigestKind kind) const {
    static const std::string none;
    const auto it = texts_.find(kind);
    return it == texts_.end() ? none : it->second;
}

bool TCacheHit::Keeps(TDigestKind kind) { return kind == TDigestKind::MD5 || kind == TDigestKind::SHA1; }

std::string TCacheHit::Text(TDigestKind kind) const {
    return kind == TDigestKind::MD5 ? MD5 : kind == TDigestKind::SHA1 ? SHA1 : std::string();
}

std::unique_ptr<TNormalFileInfo> TAnalysisRun::MakeEngine(TDigestSet kinds) {
    if (kinds.Count() == 1)
        for (const TDigestKindInfo& k : DigestKinds())
            if (kinds.Has(k.Kind)) return k.MakeEngine();
    return std::make_unique<TFileDigests>(kinds);
}

TAnalysisRun::TAnalysisRun(TAnalysisSink& sink, TAnalysisHooks& hooks) : sink_(sink), hooks_(hooks) {}
TAnalysisRun::~TAnalysisRun() = default;

struct TAnalysisRun::TRunState {
    explicit TRunState(const TAnalysisRequest& r) : request(r) {}
    bool Has(TDigestKind kind) const { return request.Digests.Has(kind); }

    TAnalysisRequest request;   // its digests as the sidecar leaves them
    TAnalysisOutcome outcome;
    std::string path;           // after the sidecar redirection
    std::string name;           // its file name part, as the log lines name it
    uint32_t start = 0;         // millisecond tick
    bool error = false;
    bool cancel = false;
    int logKind = lkInformation;   // every failure changes it for the later lines
    int64_t size = 0;
    bool large = false;
    std::optional<TFileIdentity> identity;   // the file when it was sized
    bool running = false;       // the commands are off from the information to the end
    bool endedEarly = false;    // a failure ended the digests where it was reported

    std::unique_ptr<TNormalFileInfo> engine;

    // The last read: the kinds every read so far covered and their texts in upper case; a
    // kind a read covered is not read again.
    TDigestSet fromShared;
    TDigestTexts shared;
    TRunFailure sharedFailure = TRunFailure::None;
    std::string sharedReason;

    // The cache: texts in the display's case, how many were found, the record they came from.
    TDigestTexts cached;
    int cacheHits = 0;
    std::string matchedFile;

    // The kind an automatic comparison chose by the value's length; none: nothing to compare.
    std::optional<TDigestKind> autoKind;
    // What the checksum lists beside the file expect of it.
    std::vector<TListBeside> lists;

    std::string SharedText(TDigestKind kind) const { return AsciiCase(shared.Text(kind), request.Upper); }
    bool ServedByCache(TDigestKind kind) const { return Has(TDigestKind::CRC32) && !cached.Text(kind).empty(); }
};

uint32_t TAnalysisRun::Ticks() const { return TickCount ? TickCount() : SteadyTicks(); }

std::unique_ptr<TNormalFileInfo> TAnalysisRun::NewEngine(TDigestSet kinds) const {
    return EngineFactory ? EngineFactory(kinds) : MakeEngine(kinds);
}

TAnalysisOutcome TAnalysisRun::Run(const TAnalysisRequest& request) {
    TRunState s(request);
    if (Prepare(s) == TNext::Stop) {
        sink_.ProgressHidden();
        return std::move(s.outcome);
    }
    try {
        s.endedEarly = RunDigests(s) == TNext::Stop;
    } catch (const std::exception& e) {
        // Nothing the run expects ends here; whatever does still closes the run normally.
        s.endedEarly = true;
        s.error = true;
        sink_.Message(TavFormat(TavTr("AnalysisRun", "処理中にエラーが発生しました: %1"), {e.what()}), TBoxIcon::Error);
    }
    EndDigests(s);
    Close(s);
    return std::move(s.outcome);
}

TAnalysisRun::TNext TAnalysisRun::Prepare(TRunState& s) {
    sink_.ProgressReset(!s.request.Digests.Empty());
    if (!FileExistsByAge(s.request.Path)) {
        s.outcome.Error = true;
        sink_.Message(TavTr("AnalysisRun", "ファイルが見当たりません"), TBoxIcon::Exclamation);
        return TNext::Stop;
    }
    s.outcome.Found = true;
    sink_.Accepted(s.request.Path);
    s.start = Ticks();

    // An .MD5 sidecar turns the run into a comparison against its value.
    const TSidecarRedirect redirect = RedirectForSidecar(s.request.Path, s.request.UseMD5File,
                                                         s.request.NotUseMD5File,
                                                         [](const std::string& p) { return FileExistsByAge(p); });
    s.path = redirect.Path;
    s.outcome.Path = s.path;
    if (redirect.ReadSidecar) {
        if (const std::optional<std::string> value = hooks_.ReadSidecar(s.path)) {
            sink_.Log(TavTr("AnalysisRun", "MD5ファイルからハッシュを読み込みました"), lkInformation);
            if (!value->empty()) {
                sink_.SidecarComparison(*value);
                s.request.Digests.Remove(TDigestKind::CRC32);
                s.request.Digests.Add(TDigestKind::MD5);
            }
        }
    }
    const TComparisonInput c = sink_.Comparison();
    if (c.On && c.Value.empty()) sink_.ComparisonOff();

    s.name = ExtractFileName(s.path);
    sink_.ShowPath(s.path, Captioned(kCaptionName, s.name));
    sink_.Log(TavFormat(TavTr("AnalysisRun", "%1のファイル情報を取得中です..しばらくお待ち下さい"), {s.name}), lkInformation);
    if (c.On && !c.Value.empty()) ChooseComparedKind(s, c);
    if (s.request.ListsBeside) FindListsBeside(s);
    return TNext::GoOn;
}

void TAnalysisRun::ChooseComparedKind(TRunState& s, const TComparisonInput& c) {
    if (!c.Auto) {
        // The three of the boxes compare only when asked for, as they always did; a kind
        // without a box of its own in every window is computed for the comparison.
        if (!DigestKindInfo(c.Kind).InAll) s.request.Digests.Add(c.Kind);
        return;
    }
    const std::string value = TrimmedCompareValue(c.Value);
    const TDigestKindInfo* kind = DigestKindByTextLength(value.size());
    if (!kind) {
        sink_.Log(TavFormat(TavTr("AnalysisRun", "比較する値(%1文字)はCRC32(8)、MD5(32)、SHA-1(40)、SHA-256(64)、SHA-512(128)のどの長さでもありません。比較しません"),
                            {std::to_string(value.size())}),
                  lkWarning);
        return;
    }
    s.autoKind = kind->Kind;
    s.request.Digests.Add(kind->Kind);
}

void TAnalysisRun::FindListsBeside(TRunState& s) {
    const size_t slash = s.path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : s.path.substr(0, slash + 1);
    s.lists = ListsBesideFile(s.name, hooks_.FolderNames(folder.empty() ? "." : folder),
                              [&](const std::string& listName) {
                                  return hooks_.ReadListBeside(folder + listName, kMaxListBesideBytes);
                              });
    const TDigestSet kinds = KindsListed(s.lists);
    for (const TDigestKindInfo& k : DigestKinds())
        if (kinds.Has(k.Kind)) s.request.Digests.Add(k.Kind);
}

void TAnalysisRun::LogListsBeside(TRunState& s) {
    for (const TListBeside& f : s.lists) {
        const std::string digest = f.Kind ? s.outcome.Text(f.Kind->Kind) : std::string();
        const auto line = ListBesideLogLine(f, digest);
        if (!line) continue;
        sink_.Log(line->first, line->second);
        if (f.What == TListBeside::TWhat::Expects && line->second != lkInformation) s.outcome.Mismatch = true;
    }
}

TAnalysisRun::TNext TAnalysisRun::RunDigests(TRunState& s) {
    if (ReadInformation(s) == TNext::Stop || DigestCRC32(s) == TNext::Stop) return TNext::Stop;
    LookUpCache(s);
    for (const TDigestKindInfo& kind : DigestKinds())
        if (kind.Kind != TDigestKind::CRC32 && s.Has(kind.Kind) && DigestAfterCRC32(s, kind) == TNext::Stop)
            return TNext::Stop;
    LogListsBeside(s);
    return TNext::GoOn;
}

TAnalysisRun::TNext TAnalysisRun::ReadInformation(TRunState& s) {
    UseEngine(s, NewEngine({TDigestKind::CRC32}));
    TNormalFileInfo& engine = *s.engine;
    engine.SetBufferSize(s.request.BufferKB);
    engine.SetFileName(s.path);
    engine.ReadSize();
    s.identity = TFileIdentity::Of(s.path);
    s.size = engine.Info().Size;
    if (SizeOverride) s.size = SizeOverride(s.path, s.size);

    if (s.size == 0) {
        sink_.Message(TavTr("AnalysisRun", "ファイルがオープン出来ません :理由File size of zero or run"), TBoxIcon::Error);
        sink_.Log("File Open Error 634", lkError);
        s.error = true;
        return TNext::Stop;
    }

    s.large = s.size > kLargeFile;
    const TFileInfo& info = engine.Info();
    TShownInfo shown;
    shown.Size = Captioned(kCaptionSize, SizeText(s.size, s.request.ByteLen));
    shown.Time = Captioned(kCaptionTime, info.TimeText);
    shown.Age = info.Age;
    shown.ReadOnly = (info.Attr & faReadOnly) != 0;
    shown.Hidden = (info.Attr & faHidden) != 0;
    const std::string ext = AsciiCase(ExtractFileExt(s.path), false);
    if (ext == ".exe" || ext == ".dll") {
        engine.ReadVersionInfo();
        shown.HasVersion = true;
        shown.Version = Captioned(kCaptionVersion, engine.Info().FileVersion);
        shown.Copyright = Captioned(kCaptionCopyright, engine.Info().LegalCopyright);
    }
    shown.Icon = engine.LargeIcon;
    sink_.ShowInfo(shown);
    sink_.Running(true);
    s.running = true;
    return TNext::GoOn;
}

TAnalysisRun::TNext TAnalysisRun::DigestCRC32(TRunState& s) {
    if (!s.Has(TDigestKind::CRC32)) return TNext::GoOn;
    const std::string label = DigestKindInfo(TDigestKind::CRC32).Name;
    // With the cache off every other digest comes from the same read; with it on, CRC32 is
    // read alone first, since it is the key under which the others may be found.
    TDigestSet kinds{TDigestKind::CRC32};
    if (!s.request.UseCache)
        for (const TDigestKindInfo& k : DigestKinds())
            if (s.Has(k.Kind)) kinds.Add(k.Kind);
    sink_.Log(TavFormat(TavTr("AnalysisRun", "%1の%2取得を開始"), {s.name, label}), lkInformation);
    ReadShared(s, kinds, kinds.Count() == 1);
    const std::string text = s.SharedText(TDigestKind::CRC32);
    std::string line;
    if (!text.empty()) {
        sink_.ShowDigest(TDigestKind::CRC32, text);
        s.outcome.Texts.Set(TDigestKind::CRC32, text);
        line = TavFormat(TavTr("AnalysisRun", "%1の%2取得完了"), {s.name, label});
        // Its verdict comes before the completion line.
        CompareIfChosen(s, TDigestKind::CRC32, text);
    } else {
        sink_.ShowDigest(TDigestKind::CRC32, {});
        line = s.cancel ? TavFormat(TavTr("AnalysisRun", "%1の取得時にユーザーによるキャンセルを受付ました"), {label})
                       : label + " Error!!";
        s.logKind = lkWarning;
        s.error = true;
    }
    sink_.Log(line, s.logKind);
    return TNext::GoOn;
}

void TAnalysisRun::LookUpCache(TRunState& s) {
    const std::string& crc = s.outcome.Text(TDigestKind::CRC32);
    if (crc.empty() || !s.request.UseCache || !s.identity) return;
    bool wanted = false;
    for (const TDigestKindInfo& k : DigestKinds()) wanted = wanted || (s.Has(k.Kind) && TCacheHit::Keeps(k.Kind));
    if (!wanted) return;
    const TCacheHit hit = hooks_.CacheLookup(crc, *s.identity);
    s.matchedFile = hit.MatchedFile;
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!s.Has(k.Kind) || !TCacheHit::Keeps(k.Kind)) continue;
        const std::string text = AsciiCase(hit.Text(k.Kind), s.request.Upper);
        if (!text.empty()) ++s.cacheHits;
        s.cached.Set(k.Kind, text);
    }
}

TAnalysisRun::TNext TAnalysisRun::DigestAfterCRC32(TRunState& s, const TDigestKindInfo& info) {
    const TDigestKind kind = info.Kind;
    const std::string label = info.Name;
    sink_.Log(TavFormat(TavTr("AnalysisRun", "%1の%2取得を開始"), {s.name, label}), lkInformation);
    std::string result;
    if (s.ServedByCache(kind)) {
        sink_.Log(TavTr("AnalysisRun", "キャッシュを読み込み/使用"), s.logKind);
        result = s.cached.Text(kind);
    } else {
        if (!s.fromShared.Has(kind) && !s.cancel) {
            // The first digest that needs the file takes along every later one that needs it.
            TDigestSet kinds{kind};
            bool later = false;
            for (const TDigestKindInfo& k : DigestKinds()) {
                if (later && s.Has(k.Kind) && !s.ServedByCache(k.Kind) && !s.fromShared.Has(k.Kind))
                    kinds.Add(k.Kind);
                later = later || k.Kind == kind;
            }
            ReadShared(s, kinds, false);
        } else if (!s.fromShared.Has(kind)) {
            ReleaseEngine(s);
        }
        if (s.fromShared.Has(kind) && s.sharedFailure != TRunFailure::None && !s.cancel) {
            // The file cannot be opened or read: this digest and those after it are given
            // up, the run still closes normally.
            sink_.ShowDigest(kind, {});
            s.error = true;
            s.logKind = lkError;
            sink_.Log(label + " Error!!", lkError);
            const std::string what = s.sharedFailure == TRunFailure::Open
                                         ? TavTr("AnalysisRun", "ファイルがオープン出来ません :理由")
                                         : TavTr("AnalysisRun", "ファイルを読み込めません :理由");
            sink_.Message(what + s.sharedReason + "\n" + s.path, TBoxIcon::Error);
            return TNext::Stop;
        }
        if (s.fromShared.Has(kind)) result = s.SharedText(kind);
    }

    if (result.empty()) {
        sink_.ShowDigest(kind, {});
        if (s.cancel) {
            sink_.Log(TavFormat(TavTr("AnalysisRun", "%1の取得時にユーザーによるキャンセルを受付ました"), {label}), lkWarning);
            s.logKind = lkWarning;
        } else {
            sink_.Log(label + " Error!!", lkError);
            s.logKind = lkError;
        }
        s.error = true;
        return TNext::GoOn;
    }
    sink_.ShowDigest(kind, result);
    s.outcome.Texts.Set(kind, result);
    sink_.Log(TavFormat(TavTr("AnalysisRun", "%1の%2取得完了"), {s.name, label}), s.logKind);
    // The sidecar holds the MD5; it is written between the completion line and the verdict.
    if (kind == TDigestKind::MD5 && s.request.AutoCreateMD5) {
        const TSidecarWriteResult w = hooks_.WriteSidecar(s.path, result);
        if (w.Outcome == TSidecarWrite::Written) {
            sink_.Log(TavTr("AnalysisRun", "MD5ファイルを生成しました"), lkInformation);
        } else if (w.Outcome == TSidecarWrite::Failed) {
            // A sidecar that cannot be written: the run goes on as after any other failure.
            sink_.Log(TavFormat(TavTr("AnalysisRun", "MD5ファイルを生成できません: %1 (%2)"), {SidecarPath(s.path), w.Reason}), lkWarning);
            s.error = true;
            s.logKind = lkWarning;
        }
    }
    CompareIfChosen(s, kind, result);
    return TNext::GoOn;
}

void TAnalysisRun::EndDigests(TRunState& s) {
    if (!s.running) return;
    // The digests must all describe one content: a file replaced or changed meanwhile gives
    // nothing to keep.
    if (!s.request.Digests.Empty()) {
        const std::optional<TFileIdentity> now = TFileIdentity::Of(s.path);
        const bool same = now && s.identity ? now->SameContentAs(*s.identity) : !now && !s.identity;
        if (!same) {
            sink_.Log(TavFormat(TavTr("AnalysisRun", "%1は解析中に変更されました。結果は保存しません"), {s.name}), lkWarning);
            s.error = true;
            s.outcome.Changed = true;
        }
    }
    // A run that ended at a failure has no elapsed time.
    if (!s.endedEarly) sink_.Log(ElapsedText(s.start, Ticks()), lkInformation);
    sink_.Running(false);
    sink_.Mascot();
}

void TAnalysisRun::Close(TRunState& s) {
    ReleaseEngine(s);
    if (!s.request.Digests.Empty()) sink_.PlaySound(s.error);
    if (!s.error && sink_.ShutdownChecked()) {
        const TProgramLayout layout(s.request.ProgramFolder);
        sink_.Shutdown(layout.ShutdownLog(s.path), layout.HelperProgram());
    }
    if (s.running && !s.outcome.Changed) UpdateCache(s);
    if (!s.error) sink_.Blink();
    sink_.ProgressHidden();
    s.outcome.Error = s.error;
    s.outcome.Canceled = s.cancel;
    s.outcome.Digests = s.request.Digests;
}

void TAnalysisRun::UpdateCache(TRunState& s) {
    bool kept = false;
    for (const TDigestKindInfo& k : DigestKinds()) kept = kept || (s.Has(k.Kind) && TCacheHit::Keeps(k.Kind));
    if (!s.Has(TDigestKind::CRC32) || !kept) return;
    const std::string& crc = s.outcome.Text(TDigestKind::CRC32);
    auto store = [&](const TDigestTexts& texts) {
        // Without a CRC32 there is no key a lookup could find, without an identity no file.
        if (s.size > 0 && s.request.UseCache && !crc.empty() && s.identity)
            hooks_.CacheStore(crc, texts.Text(TDigestKind::MD5), texts.Text(TDigestKind::SHA1), *s.identity);
    };
    if (s.cacheHits == 0) return store(s.outcome.Texts);
    // A record that lacked a digest this run computed is replaced by a complete one.
    TDigestTexts texts = s.cached;
    bool completed = false;
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!TCacheHit::Keeps(k.Kind) || !texts.Text(k.Kind).empty() || s.outcome.Text(k.Kind).empty()) continue;
        texts.Set(k.Kind, s.outcome.Text(k.Kind));
        completed = true;
    }
    if (completed && hooks_.CacheDeleteRecord(s.matchedFile)) store(texts);
}

void TAnalysisRun::UseEngine(TRunState& s, std::unique_ptr<TNormalFileInfo> engine) {
    ReleaseEngine(s);
    s.engine = std::move(engine);
    sink_.EngineChanged(s.engine.get());
}

void TAnalysisRun::ReleaseEngine(TRunState& s) {
    if (!s.engine) return;
    sink_.EngineChanged(nullptr);
    sink_.ReleaseIcons(s.engine->LargeIcon, s.engine->SmallIcon);
    s.engine.reset();
}

void TAnalysisRun::ReadShared(TRunState& s, TDigestSet kinds, bool reuseEngine) {
    auto chooseProgress = [&] {
        // Procedures that receive no object: the handler carries the run's sink.
        s.engine->SetProgressHandler([&sink = sink_, large = s.large](int64_t processed, int64_t total) {
            sink.Progress(large ? ProgressPercent(processed, total) : ProgressBytes(processed, total), processed);
        });
        sink_.ProgressMaximum(s.large ? 100 : s.size);
    };
    if (!reuseEngine) {
        UseEngine(s, NewEngine(kinds));
        chooseProgress();
        s.engine->SetBufferSize(s.request.BufferKB);
    } else {
        chooseProgress();
        // Selecting the file again fetches its icons again: let go of the old ones.
        sink_.ReleaseIcons(s.engine->LargeIcon, s.engine->SmallIcon);
    }
    TNormalFileInfo& engine = *s.engine;
    engine.SetFileName(s.path);
    s.sharedFailure = TRunFailure::None;
    s.sharedReason.clear();
    try {
        engine.Execute();
        s.sharedFailure = engine.Failure();
        s.sharedReason = engine.FailureReason();
    } catch (const EFileOpenError& e) {
        s.sharedFailure = engine.Failure() == TRunFailure::Read ? TRunFailure::Read : TRunFailure::Open;
        s.sharedReason = e.Reason();
    }
    s.cancel = engine.Canceled();
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!kinds.Has(k.Kind)) continue;
        s.fromShared.Add(k.Kind);
        s.shared.Set(k.Kind, s.cancel ? std::string() : engine.Info().*k.Field);
    }
}

void TAnalysisRun::CompareIfChosen(TRunState& s, TDigestKind kind, const std::string& digest) {
    const TComparisonInput c = sink_.Comparison();
    if (!c.On || (c.Auto ? s.autoKind != kind : c.Kind != kind)) return;
    const std::string value = c.Auto ? TrimmedCompareValue(c.Value) : c.Value;
    TComparisonResult r = CompareDigestText(kind, digest, value);
    if (value != c.Value) r.Cleaned = true;
    if (r.Cleaned) sink_.CompareValueCleaned(r.Expected);
    sink_.Log(r.Line, r.Kind);
    sink_.CompareRemark(r.Remark);
    s.outcome.Mismatch = !r.Match;
}
