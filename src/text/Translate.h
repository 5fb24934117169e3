// Texts for people written below the windows (log lines, the result text, reports, the batch
// export). Each is written in Japanese, its source, and marked with TavTr(context, source) so
// lupdate carries it into translations/; the program installs the hook for the language it
// chose. Texts other programs read (settings, sidecars, lists, caches, the mascot's scripts)
// are never marked.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The chosen language's text for a source text, or nothing when there is none.
using TTranslateHook = std::string (*)(const char* context, const char* source);

// Installed once at start-up; nullptr (the default) leaves every text as written.
void SetTranslateHook(TTranslateHook hook);

// Marks a source text kept in a constant for lupdate; TavTr(context, constant) translates it.
#define TAV_TRANSLATE_NOOP(context, source) source

// The source text in the installed language.
std::string TavTr(const char* context, const char* source);

// The text with %1 ... %9 replaced by the arguments, in one pass (an argument's own "%2" stays).
std::string TavFormat(std::string_view text, std::initializer_list<std::string_view> args);

// The English text of a source text, from the translation compiled into the program; nothing
// when the translation has none (tavrenne-cli's hook, and the tests').
std::string EnglishText(const char* context, const char* source);
