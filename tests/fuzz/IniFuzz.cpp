// The settings file as anyone may have left it: any bytes as an INI document, then reads and
// writes the fuzzer chooses, and the program's own load and save. What the document answers
// in memory must be what a reload of its bytes answers, bytes nobody changed must stay, and
// loading what was saved must give the same settings again.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "text/Utf8.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string Joined(const std::vector<std::string_view>& pieces) {
    std::string out;
    for (const std::string_view p : pieces) out += p;
    return out;
}

struct TAsked {
    std::string section, key;
};

// Every read the document answers the same way as the bytes it would store.
void SameAfterReload(const TIniDocument& doc, const std::vector<TAsked>& asked) {
    const std::string bytes = doc.Bytes();
    Check(Joined(doc.Pieces()) == bytes);
    const TIniDocument reloaded(bytes);
    for (const TAsked& a : asked) {
        const std::string value = doc.ReadString(a.section, a.key, "\x01missing");
        Check(value == reloaded.ReadString(a.section, a.key, "\x01missing"));
        Check(doc.ValueExists(a.section, a.key) == reloaded.ValueExists(a.section, a.key));
        Check(value == "\x01missing" || IsUtf8(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const size_t operations = in.ConsumeIntegralInRange<size_t>(0, 12);
    struct TWrite {
        TAsked at;
        std::string value;
    };
    std::vector<TWrite> writes;
    for (size_t i = 0; i < operations; ++i) {
        TWrite w;
        // Names mostly from a few the fuzzer can hit, sometimes of its own.
        static const char* const kSections[] = {"Tavrix_2", "tavrix_2", "S", "", " S "};
        static const char* const kKeys[] = {"#Version", "#Priority", "#SoundFile_1", "a", "A", " a", ""};
        w.at.section = in.ConsumeBool() ? kSections[in.ConsumeIntegralInRange<size_t>(0, 4)] : in.ConsumeRandomLengthString(16);
        w.at.key = in.ConsumeBool() ? kKeys[in.ConsumeIntegralInRange<size_t>(0, 6)] : in.ConsumeRandomLengthString(16);
        w.value = in.ConsumeRandomLengthString(40);
        writes.push_back(std::move(w));
    }
    const std::string source = in.ConsumeRemainingBytesAsString();

    TIniDocument doc(source);
    Check(doc.Bytes() == source);   // nothing written: every byte as it was
    std::vector<TAsked> asked;
    for (const TWrite& w : writes) asked.push_back(w.at);
    SameAfterReload(doc, asked);
    for (const TWrite& w : writes) {
        int number = 0;
        (void)ParseIniInteger(w.value, number);
        doc.WriteString(w.at.section, w.at.key, w.value);
        SameAfterReload(doc, asked);
    }

    // The program's own settings: loaded, saved into the document, and loaded again.
    TSettings first = InitialSettings();
    LoadSettingsFrom(TIniDocument(source), "2.46", first);
    TIniDocument saved(source);
    StoreSettings(saved, "2.46", "(C)", first);
    TSettings second = InitialSettings();
    LoadSettingsFrom(TIniDocument(saved.Bytes()), "2.46", second);
    Check(first == second);
    return 0;
}
