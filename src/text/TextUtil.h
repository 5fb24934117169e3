#pragma once

#include <string>

// A text longer than n bytes in code page 932 is cut to its first n - 3 bytes and "..."
// is appended; shorter texts come back unchanged. Text in and out is UTF-8.
std::string ShortenText(const std::string& text, size_t n);

// The text with A-Z or a-z in the case asked for; every other byte unchanged. Digest texts,
// switches and extensions are ASCII.
std::string AsciiCase(std::string text, bool upper);

// 0-9, A-F or a-f: digest texts are written in either case.
constexpr bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
