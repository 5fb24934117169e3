#include "platform/TextFile.h"

#include <QFile>

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

bool WriteTextFileCp932(const QString& path, const QStringList& lines, QString* error) {
    QFile file(path);
    const QByteArray bytes = Cp932Lines(lines);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        if (error) *error = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
