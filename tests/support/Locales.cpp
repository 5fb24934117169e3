#include "support/Locales.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/TempDir.h"

namespace {

// Built locales live as long as the test program.
const TempDir& Scratch() {
    static const TempDir dir;
    return dir;
}

// LOCPATH for one setlocale call: glibc reads it at each lookup, and with it set no other
// locale (C.UTF-8 among them) would be found by later calls.
const char* SetLocaleFrom(const std::filesystem::path& folder, int category, const std::string& locale) {
    const char* old = std::getenv("LOCPATH");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("LOCPATH", folder.c_str(), 1);
    const char* set = std::setlocale(category, locale.c_str());
    if (saved)
        setenv("LOCPATH", saved->c_str(), 1);
    else
        unsetenv("LOCPATH");
    return set;
}

}  // namespace

bool SetTestLocale(int category, const std::string& locale) {
    if (std::setlocale(category, locale.c_str())) return true;
    const std::filesystem::path folder = Scratch().path();
    if (!std::filesystem::exists(folder / locale)) {
        const size_t dot = locale.find('.');
        if (dot == std::string::npos) return false;
        const std::string input = locale.substr(0, dot), charmap = locale.substr(dot + 1);
        const std::string command = "localedef -i '" + input + "' -f '" + charmap + "' '" + (folder / locale).string() +
                                    "' >/dev/null 2>&1; echo $?";
        if (RunCommand(command) != "0\n") return false;
    }
    return SetLocaleFrom(folder, category, locale) != nullptr;
}
