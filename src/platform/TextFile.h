// Text files as the program writes them: Shift_JIS (code page 932), CR LF after every line.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/Path.h"

// The bytes of `lines` as written to a file.
QByteArray Cp932Lines(const QStringList& lines);
// Creates or replaces `path` through the engine's ReplaceFile, so that a failed write (a full
// disk) leaves the old file byte for byte and no partial file; a file the user may not write
// is refused. On failure returns false and puts the system's reason in *error.
bool WriteFileReplacing(const TPath& path, const QByteArray& bytes, QString* error);
// Cp932Lines of `lines` through WriteFileReplacing.
bool WriteTextFileCp932(const TPath& path, const QStringList& lines, QString* error);
