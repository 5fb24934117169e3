// Digest password files as anyone may have edited them: the lines read back as they would be
// written, the list order is a real order, and adding a user's line keeps every other line,
// leaves exactly one line of that user and realm, and keeps the file sorted.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/DigestPassFile.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string Stored(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) bytes += l + "\r\n";
    return bytes;
}

// A user name or realm as the tool accepts it: no ':' and no line break.
std::string Field(FuzzedDataProvider& in) {
    std::string s = in.ConsumeRandomLengthString(12);
    std::replace_if(s.begin(), s.end(), [](char c) { return c == ':' || c == '\r' || c == '\n'; }, '_');
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool refuse = in.ConsumeBool();
    const std::string user = Field(in), realm = Field(in);
    std::string hash = in.ConsumeRandomLengthString(40);
    hash.erase(std::remove_if(hash.begin(), hash.end(), [](char c) { return c == '\r' || c == '\n'; }), hash.end());
    const std::string file = in.ConsumeRemainingBytesAsString();

    const std::vector<std::string> lines = SplitDigestLines(file);
    for (const std::string& l : lines) Check(l.find_first_of("\r\n") == std::string::npos);
    Check(SplitDigestLines(Stored(lines)) == lines);

    // The comparison is an order: antisymmetric, and transitive over neighbours.
    for (size_t i = 0; i + 1 < lines.size() && i < 64; ++i) {
        const int ab = CompareDigestLines(lines[i], lines[i + 1]);
        Check(ab == -CompareDigestLines(lines[i + 1], lines[i]));
        if (i + 2 < lines.size()) {
            const int bc = CompareDigestLines(lines[i + 1], lines[i + 2]);
            const int ac = CompareDigestLines(lines[i], lines[i + 2]);
            if (ab <= 0 && bc <= 0) Check(ac <= 0);
        }
    }

    const std::string line = user + ":" + realm + ":" + hash;
    std::vector<std::string> merged = lines;
    const TDigestMerge result = MergeDigestEntry(merged, line, refuse);
    const bool equalPresent =
        std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return CompareDigestLines(l, line) == 0; });
    if (refuse && equalPresent) {
        Check(result == TDigestMerge::AlreadyPresent && merged == lines);
        return 0;
    }
    Check(std::is_sorted(merged.begin(), merged.end(),
                         [](const std::string& a, const std::string& b) { return CompareDigestLines(a, b) < 0; }));
    const std::string userRealm = user + ":" + realm;
    Check(std::count_if(merged.begin(), merged.end(),
                        [&](const std::string& l) { return DigestLineUserRealm(l) == userRealm; }) == 1);
    Check(std::count(merged.begin(), merged.end(), line) >= 1);
    // Every other line is kept, as many times as it was there.
    std::vector<std::string> others, kept;
    for (const std::string& l : lines)
        if (DigestLineUserRealm(l) != userRealm) others.push_back(l);
    for (const std::string& l : merged)
        if (DigestLineUserRealm(l) != userRealm) kept.push_back(l);
    std::sort(others.begin(), others.end());
    std::sort(kept.begin(), kept.end());
    Check(others == kept);
    Check((result == TDigestMerge::Replaced) == (others.size() != lines.size()));
    return 0;
}
