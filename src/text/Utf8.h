// UTF-8, one character at a time.
#pragma once

#include <string>
#include <string_view>

// Appends the UTF-8 bytes of code point `cp` (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);
// The length of the well-formed UTF-8 character at s[i] (no overlong forms, no surrogates,
// nothing beyond U+10FFFF), its code point in `cp`; 0 when the bytes there are not one.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& cp);
// Every byte of `s` belongs to a well-formed character (the empty text too).
bool IsUtf8(std::string_view s);
