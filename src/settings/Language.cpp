#include "settings/Language.h"

#include <cstdlib>

#include "settings/IniFile.h"
#include "settings/SettingsFile.h"

namespace {

std::string Variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The language part of a locale or language name: "ja_JP.UTF-8@x" -> "ja", lower case.
std::string LanguageCode(std::string_view name) {
    std::string code;
    for (char c : name) {
        if (c == '_' || c == '-' || c == '.' || c == '@') break;
        code += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return code;
}

}  // namespace

TLanguageEnvironment TLanguageEnvironment::OfProcess() {
    return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
}

TLanguage DesktopLanguage(const TLanguageEnvironment& env) {
    // A list of preferences: the first one this program can show is taken.
    std::string_view list = env.Language;
    while (!list.empty()) {
        const size_t colon = list.find(':');
        const std::string code = LanguageCode(list.substr(0, colon));
        if (code == "ja") return TLanguage::Japanese;
        if (code == "en") return TLanguage::English;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    for (const std::string* locale : {&env.LcAll, &env.LcMessages, &env.Lang})
        if (!locale->empty()) return LanguageCode(*locale) == "ja" ? TLanguage::Japanese : TLanguage::English;
    return TLanguage::English;
}

TLanguage DecideLanguage(const TLanguageEnvironment& env, TLanguageChoice stored,
                         std::optional<TLanguageChoice> argument) {
    const TLanguageChoice choice = argument && *argument != TLanguageChoice::Auto ? *argument : stored;
    if (argument == TLanguageChoice::Auto || choice == TLanguageChoice::Auto) return DesktopLanguage(env);
    return choice == TLanguageChoice::Japanese ? TLanguage::Japanese : TLanguage::English;
}

std::optional<TLanguageChoice> ParseLanguageChoice(std::string_view text) {
    const std::string code = LanguageCode(text);
    if (code.size() != text.size()) return std::nullopt;
    for (int i = 0; i < 3; ++i)
        if (code == kLanguageChoiceNames[i]) return TLanguageChoice(i);
    return std::nullopt;
}

TLanguageSwitch TakeLanguageSwitch(std::vector<std::string>& args) {
    TLanguageSwitch result;
    for (size_t i = 0; i < args.size();) {
        std::string value;
        size_t taken = 0;
        if (args[i] == "--lang") {
            if (i + 1 >= args.size()) {
                result.Error = "--lang needs ja, en or auto";
                args.erase(args.begin() + i);
                continue;
            }
            value = args[i + 1];
            taken = 2;
        } else if (args[i].rfind("--lang=", 0) == 0) {
            value = args[i].substr(7);
            taken = 1;
        } else {
            ++i;
            continue;
        }
        args.erase(args.begin() + i, args.begin() + i + taken);
        if (const auto choice = ParseLanguageChoice(value)) {
            result.Choice = choice;
            result.Error.clear();
        } else {
            result.Error = "--lang " + value + ": not ja, en or auto";
        }
    }
    if (!result.Error.empty()) result.Choice.reset();
    return result;
}

TLanguageChoice StoredLanguageChoice(const std::string& iniPath) {
    const std::string value = TIniFile(iniPath).ReadString(kSettingsSection, kLanguageKey, "auto");
    return ParseLanguageChoice(value).value_or(TLanguageChoice::Auto);
}
