#include "platform/Drives.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include "engine/MountTable.h"
#include "platform/PathText.h"

namespace {
std::function<QStringList()> g_drives;
}

QStringList LocalDrives() {
    if (g_drives) return g_drives();
    QStringList out;
    for (const std::string& p : ReadLocalMountPoints()) out << PathToQString(p);
    return out;
}

void SetLocalDrives(std::function<QStringList()> drives) { g_drives = std::move(drives); }

QIcon DriveIcon(const QString& mountPoint) {
    const QFileIconProvider provider;
    const QIcon icon = mountPoint == QLatin1String("/") ? provider.icon(QFileIconProvider::Drive)
                                                        : provider.icon(QFileInfo(mountPoint));
    return icon.isNull() ? provider.icon(QFileIconProvider::Drive) : icon;
}
