#include "analysis/Comparison.h"

#include "analysis/AnalysisRun.h"
#include "text/TextUtil.h"

namespace {

const char* CompareLabel(TDigestKind kind) {
    switch (kind) {
    case TDigestKind::MD5: return "MD5を比較";
    case TDigestKind::SHA1: return "SHA-1を比較";
    case TDigestKind::SHA256: return "SHA-256を比較";
    case TDigestKind::SHA512: return "SHA-512を比較";
    case TDigestKind::CRC32: break;
    }
    return "CRC32を比較";
}

}  // namespace

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
        r.Line = std::string(CompareLabel(kind)) + " ---> 一致";
        r.Kind = lkInformation;
        r.Remark = "\\w9\\w9\\h\\s5\\nうん。一致したよー";
    } else {
        r.Line = std::string(CompareLabel(kind)) + " ---> 不一致";
        r.Kind = lkWarning;
        r.Remark = "\\w9\\w9\\h\\s4\\nあれ？一致しないよ…\\w9\\u\\s0\\n…壊れてんのか？";
    }
    return r;
}
