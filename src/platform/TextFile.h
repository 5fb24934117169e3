// Text files as the program writes them: Shift_JIS (code page 932), CR LF after every line.
#pragma once

#include <QString>
#include <QStringList>

// The bytes of `lines` as written to a file.
QByteArray Cp932Lines(const QStringList& lines);
// Creates or replaces `path`. On failure returns false and puts the system's reason in *error.
bool WriteTextFileCp932(const QString& path, const QStringList& lines, QString* error);
