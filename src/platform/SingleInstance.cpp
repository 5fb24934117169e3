#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

TSingleInstance::TSingleInstance(const QString& key, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    // The user id keeps users apart even when the folder is shared (a /tmp fallback).
    path_ = dir + QStringLiteral("/%1-%2.lock").arg(key).arg(uint(getuid()));
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);  // only a dead owner's lock is stale
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::TryAcquire() { return lock_->isLocked() || lock_->tryLock(0); }
