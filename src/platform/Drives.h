// The drives a duplicate search offers: the mounted local file systems.
#pragma once

#include <QIcon>
#include <QStringList>
#include <functional>

// Mount points in order; tests install their own list.
QStringList LocalDrives();
void SetLocalDrives(std::function<QStringList()> drives);   // empty: the system's
// The desktop's small icon for a drive.
QIcon DriveIcon(const QString& mountPoint);
