// Sidecar files as other tools (or nobody sensible) wrote them: any first bytes give a value
// or none without reading past them, a value is well-formed UTF-8 and never crosses the first
// line, and the line this program writes always reads back as its digest.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/Sidecar.h"
#include "text/Cp932.h"
#include "text/Utf8.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto value = ParseSidecar(bytes)) {
        Check(IsUtf8(*value));
        Check(value->find_first_of(" \t\r\n") == std::string::npos);
        // What follows the first line never changes the value.
        std::string_view first = bytes;
        const size_t eol = first.find_first_of("\r\n");
        if (eol != std::string_view::npos) Check(ParseSidecar(first.substr(0, eol)) == value);
    }

    // The written form: a digest, one blank, any name, CR LF, whatever comes after.
    FuzzedDataProvider in(data, size);
    std::string digest;
    for (int i = 0; i < 32; ++i) digest += "0123456789abcdef"[in.ConsumeIntegralInRange<int>(0, 15)];
    const std::string name = in.ConsumeRandomLengthString(64);
    const std::string line = cp932::FromUtf8(digest + " " + name) + "\r\n" + in.ConsumeRemainingBytesAsString();
    Check(ParseSidecar(line) == digest);
    Check(ParseSidecar("\xEF\xBB\xBF" + line) == digest);
    return 0;
}
