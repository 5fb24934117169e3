// The language of the windows: Japanese (the texts as written) or English (the translation).
// Decided once at start-up from the desktop's language, the stored choice and "--lang".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TLanguage { Japanese, English };
// The stored choice (基本設定 "表示言語"): follow the desktop, or one language.
enum class TLanguageChoice { Auto, Japanese, English };

// "#Language" in tavr2.ini; a file without the key follows the desktop.
inline constexpr const char* kLanguageKey = "#Language";
inline constexpr const char* kLanguageChoiceNames[] = {"auto", "ja", "en"};

// The variables Qt and gettext read for the messages' language, as the process has them.
struct TLanguageEnvironment {
    std::string Language;     // LANGUAGE: a colon-separated list of preferences
    std::string LcAll;        // LC_ALL
    std::string LcMessages;   // LC_MESSAGES
    std::string Lang;         // LANG
    static TLanguageEnvironment OfProcess();
};

// The desktop's language: the first entry of LANGUAGE naming Japanese or English, else the
// first of LC_ALL, LC_MESSAGES, LANG that is set. Japanese for "ja" ("ja_JP.UTF-8", "ja-JP"),
// English for every other language, for "C" and for nothing set.
TLanguage DesktopLanguage(const TLanguageEnvironment& env);

// "--lang" wins, then a stored choice other than Auto, then the desktop.
TLanguage DecideLanguage(const TLanguageEnvironment& env, TLanguageChoice stored,
                         std::optional<TLanguageChoice> argument);

// "ja", "en" or "auto" (any case); nothing for any other text.
std::optional<TLanguageChoice> ParseLanguageChoice(std::string_view text);

// Takes "--lang VALUE" or "--lang=VALUE" out of `args` (the last one counts), so the rest of
// the command line means what it meant before. `error` is set, and nothing is chosen, when
// the value is missing or not a language.
struct TLanguageSwitch {
    std::optional<TLanguageChoice> Choice;
    std::string Error;
};
TLanguageSwitch TakeLanguageSwitch(std::vector<std::string>& args);

// The choice stored in the settings file at `iniPath`; Auto when the file or key is missing
// or the value is not one of kLanguageChoiceNames.
TLanguageChoice StoredLanguageChoice(const std::string& iniPath);
