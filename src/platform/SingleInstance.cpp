#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

// More than any command line needs; a larger claim is not a hand-over.
constexpr uint32_t kMaxMessage = 1u << 20;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

bool GetU32(const std::string& in, size_t& pos, uint32_t& v) {
    if (in.size() - pos < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in[pos + i])) << (8 * i);
    pos += 4;
    return true;
}

// One connected client and what it has sent so far.
void Serve(QLocalSocket* socket, const TSingleInstance::TReceived& received) {
    auto buffer = std::make_shared<std::string>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer, received] {
        const QByteArray chunk = socket->readAll();
        buffer->append(chunk.constData(), size_t(chunk.size()));
        std::vector<std::string> args;
        switch (DecodeHandOver(*buffer, args)) {
        case THandOverDecode::Incomplete: return;
        case THandOverDecode::Malformed: socket->abort(); return;
        case THandOverDecode::Complete: break;
        }
        socket->write("1", 1);  // received: the later start may end
        socket->flush();
        socket->disconnectFromServer();
        buffer->clear();
        // From the event loop: the arguments may start a run that pumps messages.
        QTimer::singleShot(0, socket->parent(), [received, args] { received(args); });
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
}

}  // namespace

std::string EncodeHandOver(const std::vector<std::string>& args) {
    std::string out;
    PutU32(out, uint32_t(args.size()));
    for (const std::string& a : args) {
        PutU32(out, uint32_t(a.size()));
        out += a;
    }
    return out;
}

THandOverDecode DecodeHandOver(const std::string& bytes, std::vector<std::string>& args) {
    args.clear();
    if (bytes.size() > kMaxMessage) return THandOverDecode::Malformed;
    size_t pos = 0;
    uint32_t count = 0;
    if (!GetU32(bytes, pos, count)) return THandOverDecode::Incomplete;
    if (count > kMaxMessage / 4) return THandOverDecode::Malformed;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!GetU32(bytes, pos, length)) return THandOverDecode::Incomplete;
        if (length > kMaxMessage) return THandOverDecode::Malformed;
        if (bytes.size() - pos < length) return THandOverDecode::Incomplete;
        args.push_back(bytes.substr(pos, length));
        pos += length;
    }
    if (pos != bytes.size()) return THandOverDecode::Malformed;
    return THandOverDecode::Complete;
}

TSingleInstance::TSingleInstance(const QString& key, const QString& folder) {
    QString dir = folder;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    // The user id keeps users apart even when the folder is shared (a /tmp fallback).
    const QString base = dir + QStringLiteral("/%1-%2").arg(key).arg(uint(getuid()));
    path_ = base + QStringLiteral(".lock");
    socketPath_ = base + QStringLiteral(".sock");
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);  // only a dead owner's lock is stale
}

TSingleInstance::~TSingleInstance() { delete server_; }

bool TSingleInstance::TryAcquire(int timeoutMs) { return lock_->isLocked() || lock_->tryLock(timeoutMs); }

bool TSingleInstance::Listen(TReceived received) {
    if (!lock_->isLocked()) return false;
    received_ = std::move(received);
    delete server_;
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, a socket left by a copy that was killed is ours to replace.
    QLocalServer::removeServer(socketPath_);
    if (!server_->listen(socketPath_)) return false;
    QObject::connect(server_, &QLocalServer::newConnection, server_, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) Serve(socket, received_);
    });
    return true;
}

void TSingleInstance::StopListening() {
    delete server_;
    server_ = nullptr;
}

bool TSingleInstance::HandOver(const std::vector<std::string>& args, int timeoutMs) const {
    const QByteArray name = QFile::encodeName(socketPath_);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto left = [&] {
        return int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                       .count());
    };
    // The holder may still be starting: try until it listens.
    int fd = -1;
    while (true) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) break;
        ::close(fd);
        fd = -1;
        if (left() <= 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string message = EncodeHandOver(args);
    size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        sent += size_t(n);
    }
    char ack = 0;
    bool confirmed = false;
    pollfd p{fd, POLLIN, 0};
    while (!confirmed && left() > 0 && ::poll(&p, 1, left()) > 0) {
        const ssize_t n = ::recv(fd, &ack, 1, 0);
        if (n <= 0) break;
        confirmed = ack == '1';
    }
    ::close(fd);
    return confirmed;
}
