// One running copy per user: a lock file named after the key in the user's runtime folder.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

class TSingleInstance {
public:
    // `folder` empty: the user's runtime folder.
    explicit TSingleInstance(const QString& key, const QString& folder = QString());
    ~TSingleInstance();
    // True when this process now holds the lock; false when another live process does.
    bool TryAcquire();
    QString LockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};
