// One running copy per user: a lock file named after the key in the user's runtime folder.
// A later start hands its arguments to the running copy through a local socket beside the
// lock, instead of dropping them.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLockFile;

class TSingleInstance {
public:
    using TReceived = std::function<void(const std::vector<std::string>&)>;

    // `folder` empty: the user's runtime folder.
    explicit TSingleInstance(const QString& key, const QString& folder = QString());
    ~TSingleInstance();
    // True when this process now holds the lock; false when another live process does (still
    // after `timeoutMs`, when given).
    bool TryAcquire(int timeoutMs = 0);
    QString LockPath() const { return path_; }
    QString SocketPath() const { return socketPath_; }

    // The holder, once the application object exists: arguments handed over by later starts
    // go to `received`, each set from the event loop on its own. False when it cannot listen.
    bool Listen(TReceived received);
    void StopListening();
    // A later start: gives `args` (their bytes as given) to the holder, waiting at most
    // `timeoutMs` for it to listen and to confirm. Needs no application object.
    bool HandOver(const std::vector<std::string>& args, int timeoutMs = 5000) const;

private:
    QString path_;
    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    TReceived received_;
};

// The hand-over message: a count, then each argument as its length and bytes (32-bit little
// endian). Decode gives false until the message is complete or when it is malformed.
std::string EncodeHandOver(const std::vector<std::string>& args);
enum class THandOverDecode { Incomplete, Complete, Malformed };
THandOverDecode DecodeHandOver(const std::string& bytes, std::vector<std::string>& args);
