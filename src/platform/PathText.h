// File names on Linux are bytes and need not be UTF-8. Inside the windows a path is a QString
// that keeps every byte: a byte that is not part of valid UTF-8 travels as the lone
// surrogate U+DC00 + byte, so the path comes back to the engines unchanged; only what is
// shown replaces such bytes.
#pragma once

#include <QString>
#include <string>

QString PathToQString(const std::string& bytes);
std::string PathFromQString(const QString& path);
// The path as shown: every byte that is not text becomes U+FFFD.
QString PathForDisplay(const QString& path);
