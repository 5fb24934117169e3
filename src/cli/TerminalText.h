// Text bound for a terminal: control characters made visible.
#pragma once

#include <string>
#include <string_view>

// The text with nothing a terminal would act on: C0 and C1 control characters, DEL and bytes
// that are not UTF-8 become \xHH, one per byte; everything else is kept as it is.
std::string EscapeControls(std::string_view text);

// A listed name as `check` shows it: as coreutils shows it (behind a backslash, with "\\",
// "\n" and "\r", when it holds a backslash, LF or CR) and, beyond that, with the text's other
// controls and bytes that are not UTF-8 as \xHH behind that same backslash.
std::string ListNameText(std::string_view name);
