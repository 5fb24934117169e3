// Text bound for a terminal: file names as md5sum writes them, control characters made visible.
#pragma once

#include <string>
#include <string_view>

// Whether md5sum escapes this name: it holds a backslash, a newline or a carriage return.
bool NeedsMd5sumEscape(std::string_view name);

// The name as md5sum writes it: a backslash doubled, a newline as "\n" and a carriage return
// as "\r" (two characters each); the name itself when it needs no escape.
std::string EscapeFileNameLikeMd5sum(std::string_view name);

// "DIGEST  NAME" as md5sum prints it, with its leading backslash when the name is escaped,
// so the line stays one line and `md5sum -c` reads it back. No line end.
std::string Md5sumLine(std::string_view digest, std::string_view name);

// The text with nothing a terminal would act on: C0 and C1 control characters, DEL and bytes
// that are not UTF-8 become \xHH, one per byte; everything else is kept as it is.
std::string EscapeControls(std::string_view text);
