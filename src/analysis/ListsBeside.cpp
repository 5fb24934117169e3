#include "analysis/ListsBeside.h"

#include <algorithm>
#include <set>

#include "analysis/AnalysisRun.h"
#include "analysis/Comparison.h"
#include "engine/ChecksumList.h"
#include "text/TextUtil.h"
#include "text/Translate.h"

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && AsciiCase(s.substr(s.size() - tail.size()), false) == tail;
}

// Whether an entry's name stands for the file, resolved against the list's own folder.
bool NamesFile(const std::string& entryName, const std::string& fileName) {
    std::string name = entryName;
    while (name.rfind("./", 0) == 0) name.erase(0, 2);
    return name == fileName;
}

}  // namespace

std::vector<std::string> ListNamesBeside(const std::string& fileName, const std::vector<std::string>& folderNames) {
    const std::set<std::string> present(folderNames.begin(), folderNames.end());
    std::vector<std::string> out;
    auto add = [&](const std::string& name) {
        if (name != fileName && present.count(name) && std::find(out.begin(), out.end(), name) == out.end())
            out.push_back(name);
    };
    for (const char* ext : {".sha256", ".sha512", ".sha1", ".md5"}) add(fileName + ext);
    for (const char* name : {"SHA256SUMS", "SHA512SUMS", "SHA1SUMS", "MD5SUMS", "CHECKSUMS"}) add(name);
    std::vector<std::string> sfv;
    for (const std::string& name : present)
        if (name.size() > 4 && EndsWithNoCase(name, ".sfv")) sfv.push_back(name);
    for (const std::string& name : sfv) add(name);
    return out;
}

std::vector<TListBeside> ListsBesideFile(const std::string& fileName, const std::vector<std::string>& folderNames,
                                         const std::function<TListBytes(const std::string& listName)>& read) {
    std::vector<TListBeside> out;
    for (const std::string& listName : ListNamesBeside(fileName, folderNames)) {
        const TListBytes bytes = read(listName);
        TListBeside f;
        f.ListName = listName;
        if (bytes.Status == TListBytes::TStatus::TooLarge) {
            f.What = TListBeside::TWhat::TooLarge;
            out.push_back(f);
            continue;
        }
        if (bytes.Status == TListBytes::TStatus::Unreadable) {
            f.What = TListBeside::TWhat::Unreadable;
            f.Reason = bytes.Reason;
            out.push_back(f);
            continue;
        }
        TChecksumListParser::TOptions options;
        options.SfvFirst = EndsWithNoCase(listName, ".sfv");
        const TChecksumList list = ParseChecksumList(bytes.Bytes, options);
        if (list.BinaryData || list.Entries.empty()) {
            f.What = TListBeside::TWhat::NotAList;
            out.push_back(f);
            continue;
        }
        // The first entry of each kind that names the file; a list may hold several kinds.
        TDigestSet seen;
        for (const TListEntry& e : list.Entries) {
            if (!e.Kind || seen.Has(e.Kind->Kind)) continue;
            if (!NamesFile(e.Name, fileName) && !(!e.Cp932Name.empty() && NamesFile(e.Cp932Name, fileName))) continue;
            seen.Add(e.Kind->Kind);
            TListBeside hit = f;
            hit.Kind = e.Kind;
            hit.Expected = e.Hex;
            out.push_back(hit);
        }
    }
    return out;
}

TDigestSet KindsListed(const std::vector<TListBeside>& findings) {
    TDigestSet kinds;
    for (const TListBeside& f : findings)
        if (f.What == TListBeside::TWhat::Expects && f.Kind) kinds.Add(f.Kind->Kind);
    return kinds;
}

std::optional<std::pair<std::string, int>> ListBesideLogLine(const TListBeside& f, const std::string& digest) {
    switch (f.What) {
    case TListBeside::TWhat::Expects: {
        if (digest.empty() || !f.Kind) return std::nullopt;
        const bool match = AsciiCase(digest, false) == AsciiCase(f.Expected, false);
        return std::pair<std::string, int>(f.ListName + ": " + ComparisonLine(f.Kind->Kind, match),
                                           match ? lkInformation : lkWarning);
    }
    case TListBeside::TWhat::NotAList:
        return std::pair<std::string, int>(
            TavFormat(TavTr("ListsBeside", "%1: チェックサムリストではないため読み飛ばしました"), {f.ListName}), lkInformation);
    case TListBeside::TWhat::TooLarge:
        return std::pair<std::string, int>(TavFormat(TavTr("ListsBeside", "%1: 大きすぎるため読み飛ばしました"), {f.ListName}),
                                           lkWarning);
    case TListBeside::TWhat::Unreadable:
        return std::pair<std::string, int>(
            TavFormat(TavTr("ListsBeside", "%1: 読み込めないため読み飛ばしました"), {f.ListName}) +
                (f.Reason.empty() ? "" : " (" + f.Reason + ")"),
            lkWarning);
    }
    return std::nullopt;
}
