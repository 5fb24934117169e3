#include "settings/CommandLine.h"

#include "text/TextUtil.h"

namespace {

std::string WithoutLeadingDash(const std::string& s) { return !s.empty() && s[0] == '-' ? s.substr(1) : s; }

}  // namespace

TCommandLineDecision EvaluateCommandLine(const std::vector<std::string>& args,
                                         const std::function<bool(const std::string&)>& fileExists) {
    TCommandLineDecision d;
    if (args.empty()) return d;

    if (args.size() == 2) {
        const std::string sw = AsciiCase(args[0], false);
        const std::string path = WithoutLeadingDash(args[1]);
        if (!fileExists(path)) return d;
        if (sw == "-l") {
            d.FileToAnalyze = path;
            d.VerifyList = true;
            return d;
        }
        d.SetDigests = true;
        // "-a" all three; a digest's own letter that one alone.
        for (const TDigestKindInfo& k : DigestKinds())
            if ((sw == "-a" && k.InAll) || (k.Switch && sw == std::string{'-', k.Switch})) d.Digests.Add(k.Kind);
        d.FileToAnalyze = path;
        d.RunDuplicateSearch = sw == "-s";
        return d;
    }

    // One argument, or a path with spaces that arrived unquoted in pieces.
    const std::string path = WithoutLeadingDash(args[0]);
    if (fileExists(path)) {
        d.FileToAnalyze = path;
        return d;
    }
    std::string joined = args[0];
    for (size_t i = 1; i < args.size(); ++i) joined += " " + args[i];
    if (fileExists(joined)) d.FileToAnalyze = joined;
    return d;
}
