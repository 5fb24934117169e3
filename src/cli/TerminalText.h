// Text bound for a terminal: control characters made visible.
#pragma once

#include <string>
#include <string_view>

// The text with nothing a terminal would act on: C0 and C1 control characters, DEL and bytes
// that are not UTF-8 become \xHH, one per byte; everything else is kept as it is.
std::string EscapeControls(std::string_view text);

// A listed name as `check` shows it: as coreutils 9.1 shows it (behind a backslash, with
// "\\", "\n" and "\r", when it holds a LF) and, beyond that, behind that same backslash
// when it holds another control character or bytes that are not UTF-8, those as \xHH.
std::string ListNameText(std::string_view name);

// A file's name in a message as coreutils quotes it: as it is when it holds nothing a shell
// would read otherwise, in single quotes when it does; control characters as \xHH.
std::string QuotedFileName(std::string_view name);
