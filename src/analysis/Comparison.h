// The comparison of a digest with the value the user expects.
#pragma once

#include <string>

#include "engine/DigestKinds.h"

// The comparison controls: on or off, the kind chosen, the expected value.
struct TComparisonInput {
    bool On = false;
    TDigestKind Kind = TDigestKind::MD5;
    std::string Value;
    bool Auto = false;       // the kind follows the value's length; Kind is not used
};

struct TComparisonResult {
    std::string Expected;    // the value after its first blank is taken out
    bool Cleaned = false;    // a blank was taken out: the field shows the new value
    bool Match = false;
    std::string Line;        // "MD5を比較 ---> 一致" and the like
    int Kind = 0;            // log kind: information for a match, warning otherwise
    std::string Remark;      // what the mascot says about it
};

// The value without its outer blanks, as the automatic kind measures it.
std::string TrimmedCompareValue(const std::string& value);

// The verdict as the log shows it: "MD5を比較 ---> 一致" or "… ---> 不一致".
std::string ComparisonLine(TDigestKind kind, bool match);

// Compares `digest` with `expected` without regard to letter case; only the first blank of
// the expected value is taken out, so a value with more blanks does not match.
TComparisonResult CompareDigestText(TDigestKind kind, const std::string& digest, const std::string& expected);
