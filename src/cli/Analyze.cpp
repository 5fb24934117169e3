#include "cli/Analyze.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/AnalysisRun.h"
#include "analysis/Comparison.h"
#include "analysis/ResultText.h"
#include "cli/TerminalText.h"
#include "engine/ChecksumList.h"
#include "engine/FileUtils.h"
#include "engine/ProgramLayout.h"
#include "settings/Language.h"
#include "settings/SettingsFile.h"
#include "text/Cp932.h"
#include "text/DateTimeFormat.h"
#include "text/Translate.h"

namespace {

const char* const kAnalyzeUsage =
    "usage: tavrenne-cli analyze [-a|-c|-m|-h] [--upper] [--compare auto|md5|sha1|crc32|sha256|sha512 VALUE]\n"
    "                            [--cp932] [--lang ja|en|auto] [--] FILE\n";

int AnalyzeUsage(const std::string& problem) {
    std::fprintf(stderr, "tavrenne-cli: %s\n%s", problem.c_str(), kAnalyzeUsage);
    return 2;
}

std::string Now() { return LocaleDateTimeText(NowParts()); }

// Keeps what the window would show and prints boxes to standard error.
class TPrintSink : public TAnalysisSink {
public:
    TPrintSink(std::string title, TComparisonInput comparison, bool clearLog)
        : title_(std::move(title)), comparison_(comparison), clearLog_(clearLog) {
        fields.Title = title_;
    }

    void Log(const std::string& text, int kind) override { log.push_back(LogKindPrefix(kind) + Now() + " " + text); }
    void Message(const std::string& text, TBoxIcon) override {
        std::fprintf(stderr, "tavrenne-cli: [%s] %s\n", title_.c_str(), EscapeControls(text).c_str());
    }
    void Accepted(const std::string&) override {
        TResultFields reset;
        reset.Title = title_;
        fields = reset;
        if (clearLog_) log.clear();
    }
    void SidecarComparison(const std::string& value) override { comparison_ = {true, TDigestKind::MD5, value}; }
    TComparisonInput Comparison() override { return comparison_; }
    void ComparisonOff() override { comparison_.On = false; }
    void CompareValueCleaned(const std::string& value) override { comparison_.Value = value; }
    void ShowPath(const std::string& path, const std::string& nameLine) override {
        fields.Path = path;
        fields.Name = nameLine;
    }
    void ShowInfo(const TShownInfo& info) override {
        fields.Size = info.Size;
        fields.Time = info.Time;
        if (info.HasVersion) {
            fields.Version = info.Version;
            fields.Copyright = info.Copyright;
        }
        fields.ReadOnly = info.ReadOnly;
        fields.Hidden = info.Hidden;
    }
    void ShowDigest(TDigestKind kind, const std::string& text) override {
        switch (kind) {
        case TDigestKind::CRC32: fields.CRC32 = text; break;
        case TDigestKind::MD5: fields.MD5 = text; break;
        case TDigestKind::SHA1: fields.SHA1 = text; break;
        default: More(DigestKindInfo(kind).Label) = text; break;
        }
    }
    std::string& More(const std::string& label) {
        for (auto& [l, text] : fields.More)
            if (l == label) return text;
        return fields.More.emplace_back(label, std::string()).second;
    }

    TResultFields fields;
    std::vector<std::string> log;

private:
    std::string title_;
    TComparisonInput comparison_;
    bool clearLog_;
};

void Print(const std::vector<std::string>& lines, bool cp932Output) {
    for (const std::string& line : lines) {
        if (cp932Output) {
            const std::string bytes = cp932::FromUtf8(line) + "\r\n";
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        } else {
            // One line per line, and nothing from a file that a terminal would act on.
            std::printf("%s\n", EscapeControls(line).c_str());
        }
    }
}

}  // namespace

int RunAnalyze(const std::vector<std::string>& given) {
    // "--lang" among the options (not after "--"), taken as the window program takes it.
    std::vector<std::string> args(given.begin(), std::find(given.begin(), given.end(), "--"));
    const TLanguageSwitch languageSwitch = TakeLanguageSwitch(args);
    if (!languageSwitch.Error.empty()) return AnalyzeUsage("--lang takes ja, en or auto");
    args.insert(args.end(), std::find(given.begin(), given.end(), "--"), given.end());
    // Japanese unless asked: scripts read the lines as they always were.
    const TLanguage language =
        languageSwitch.Choice
            ? DecideLanguage(TLanguageEnvironment::OfProcess(), TLanguageChoice::Auto, languageSwitch.Choice)
            : TLanguage::Japanese;
    char sw = 'a';
    bool upper = false;
    bool cp932Output = false;
    TComparisonInput comparison;
    TDigestSet alsoCompute;
    std::string file;
    bool fileSeen = false;
    bool switchSeen = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool option = !optionsEnded && a.size() > 1 && a[0] == '-';
        if (!option) {
            if (fileSeen) return AnalyzeUsage("analyze takes exactly one FILE");
            file = a;
            fileSeen = true;
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-a" || a == "-c" || a == "-m" || a == "-h") {
            if (switchSeen) return AnalyzeUsage("only one of -a, -c, -m, -h");
            switchSeen = true;
            sw = a[1];
        } else if (a == "--upper") {
            upper = true;
        } else if (a == "--cp932") {
            cp932Output = true;
        } else if (a == "--compare") {
            if (i + 2 >= args.size()) return AnalyzeUsage("--compare needs a kind and a value");
            const std::string& kindName = args[++i];
            std::string value = args[++i];
            // The window compares nothing for an empty value; a script whose variable is
            // unset must not pass for a match.
            if (TrimmedCompareValue(value).empty())
                return AnalyzeUsage("--compare needs a value that is not empty or blank");
            const TDigestKindInfo* kind = nullptr;
            if (kindName == "auto") {
                value = TrimmedCompareValue(value);
                kind = DigestKindByTextLength(value.size());
                if (!kind)
                    return AnalyzeUsage("--compare auto: a value of " + std::to_string(value.size()) +
                                        " characters is no digest (8 crc32, 32 md5, 40 sha1, 64 sha256, 128 sha512)");
                // The kind the value names is computed whatever the switch asked for.
                alsoCompute.Add(kind->Kind);
            } else {
                kind = DigestKindByCommandName(kindName);
                if (!kind) return AnalyzeUsage("--compare takes auto, md5, sha1, crc32, sha256 or sha512");
                // No switch asks for these two: naming them is asking.
                if (!kind->InAll) alsoCompute.Add(kind->Kind);
            }
            comparison = {true, kind->Kind, value};
        } else {
            return AnalyzeUsage("unknown option: " + a);
        }
    }
    if (!fileSeen || file.empty()) return AnalyzeUsage("analyze needs a FILE");
    // The result and log lines in the language chosen; messages of this tool stay English.
    if (language == TLanguage::English) SetTranslateHook(&EnglishText);

    TAnalysisRequest request;
    for (const TDigestKindInfo& k : DigestKinds())
        if ((sw == 'a' && k.InAll) || (k.Switch && sw == k.Switch) || alsoCompute.Has(k.Kind))
            request.Digests.Add(k.Kind);
    if (comparison.On && !request.Digests.Has(comparison.Kind))
        return AnalyzeUsage(std::string("--compare ") + DigestKindInfo(comparison.Kind).CommandName +
                            " needs that digest: add -a or -" + DigestKindInfo(comparison.Kind).Switch);

    // The program's own version block names it, as in the window.
    const TProgramLayout layout = TProgramLayout::OfRunningProgram();
    TNormalFileInfo self;
    self.SetFileName("/proc/self/exe");
    self.ReadVersionInfo();
    const std::string title = ApplicationTitle(self.Info().FileVersion);

    // The desktop program's settings file, read and never written: sidecars, cache, buffer
    // size and display case are the same as in the window.
    TSettings settings = InitialSettings();
    LoadSettings(layout.SettingsFile(), self.Info().FileVersion, settings);
    request.Path = file;
    request.Upper = upper || settings.StrByL;
    request.UseMD5File = settings.UseMD5File;
    request.NotUseMD5File = settings.NotUseMD5File;
    request.ByteLen = settings.ByteLen;
    request.AutoCreateMD5 = settings.AutoCreateMD5;
    request.UseCache = settings.UseFileCache;
    request.ListsBeside = settings.ListsBeside;
    request.BufferKB = uint16_t(BufferSizeKB(settings));
    request.ProgramFolder = layout.Folder();

    TPrintSink sink(title, comparison, settings.ClearLog);
    for (const std::string& line : StartupLogLines(title, self.Info().LegalCopyright))
        sink.Log(line, lkInformation);
    TFileHooks hooks(layout.CacheFolder());
    TAnalysisRun run(sink, hooks);
    const TAnalysisOutcome outcome = run.Run(request);

    sink.fields.Now = Now();
    std::vector<std::string> lines = ResultLines(sink.fields);
    const std::string rule(79, '=');
    lines.push_back(rule);
    lines.insert(lines.end(), sink.log.begin(), sink.log.end());
    lines.push_back(rule);
    Print(lines, cp932Output);
    std::fflush(stdout);

    const std::string shown = EscapeControls(file);
    if (outcome.Mismatch) {
        std::fprintf(stderr, "tavrenne-cli: %s: the digest does not match the expected value\n", shown.c_str());
        return 1;
    }
    if (outcome.Changed) std::fprintf(stderr, "tavrenne-cli: %s: the file changed while it was read\n", shown.c_str());
    else if (outcome.Canceled) std::fprintf(stderr, "tavrenne-cli: %s: canceled\n", shown.c_str());
    else if (outcome.Error && outcome.Found) {
        std::string failed;
        for (const TDigestKindInfo& k : DigestKinds())
            if (outcome.Digests.Has(k.Kind) && outcome.Text(k.Kind).empty())
                failed += std::string(failed.empty() ? "" : ", ") + k.Name;
        std::fprintf(stderr, "tavrenne-cli: %s: %s\n", shown.c_str(),
                     failed.empty() ? "the analysis reported an error" : ("no digest for " + failed).c_str());
    }
    return outcome.Error ? 1 : 0;
}
