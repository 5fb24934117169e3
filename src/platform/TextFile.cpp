#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/AtomicFile.h"
#include "text/Cp932.h"

QByteArray Cp932Lines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        const std::string bytes = cp932::FromUtf8(line.toStdString());
        out.append(bytes.data(), qsizetype(bytes.size()));
        out.append("\r\n");
    }
    return out;
}

bool WriteFileReplacing(const TPath& path, const QByteArray& bytes, QString* error) {
    const int err = path.IsEmpty() ? ENOENT
                                   : ReplaceFile(path.Bytes(), std::string_view(bytes.constData(), size_t(bytes.size())));
    if (err && error) *error = QString::fromLocal8Bit(std::strerror(err));
    return err == 0;
}

bool WriteTextFileCp932(const TPath& path, const QStringList& lines, QString* error) {
    return WriteFileReplacing(path, Cp932Lines(lines), error);
}
