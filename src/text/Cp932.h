// The one codec between our UTF-8 text and the Shift_JIS (code page 932) bytes of files
// and wires. Never throws, never truncates.
#pragma once

#include <string>
#include <string_view>

namespace cp932 {

// A character code page 932 cannot hold becomes '?'. Invalid UTF-8 bytes become '?'.
std::string FromUtf8(std::string_view utf8);
// Bytes that do not decode become '?'.
std::string ToUtf8(std::string_view bytes);
// Length of the text in code page 932 bytes.
size_t ByteLength(std::string_view utf8);

// The first character of a non-empty text as FromUtf8 reads it (an invalid sequence is one
// character): returns its length in UTF-8 bytes and sets cp932Bytes to 1 or 2.
size_t NextChar(std::string_view utf8, size_t& cp932Bytes);

}  // namespace cp932
