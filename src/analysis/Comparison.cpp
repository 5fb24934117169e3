#include "analysis/Comparison.h"

#include "analysis/AnalysisRun.h"
#include "text/TextUtil.h"
#include "text/Translate.h"

std::string ComparisonLine(TDigestKind kind, bool match) {
    return TavFormat(match ? TavTr("Comparison", "%1を比較 ---> 一致") : TavTr("Comparison", "%1を比較 ---> 不一致"),
                     {DigestKindInfo(kind).Label});
}

std::string TrimmedCompareValue(const std::string& value) {
    const char* blanks = " \t\r\n\v\f";
    const size_t first = value.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return value.substr(first, value.find_last_not_of(blanks) + 1 - first);
}

TComparisonResult CompareDigestText(TDigestKind kind, const std::string& digest, const std::string& expected) {
    TComparisonResult r;
    r.Expected = expected;
    const size_t blank = r.Expected.find(' ');
    if (blank != std::string::npos) {
        r.Expected.erase(blank, 1);
        r.Cleaned = true;
    }
    r.Match = AsciiCase(digest, false) == AsciiCase(r.Expected, false);
    if (r.Match) {
        r.Line = ComparisonLine(kind, true);
        r.Kind = lkInformation;
        r.Remark = "\\w9\\w9\\h\\s5\\nうん。一致したよー";
    } else {
        r.Line = ComparisonLine(kind, false);
        r.Kind = lkWarning;
        r.Remark = "\\w9\\w9\\h\\s4\\nあれ？一致しないよ…\\w9\\u\\s0\\n…壊れてんのか？";
    }
    return r;
}
