#include "components/QL_SSTP.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "text/Cp932.h"

namespace {

using TClock = std::chrono::steady_clock;

QByteArray Sjis(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes = cp932::FromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

int MsLeft(TClock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    return left > 0 ? int(left) : 0;
}

// A host text starting with a digit is a dotted IPv4 address; anything else is a name, whose
// addresses are tried in turn.
std::vector<sockaddr_storage> Addresses(const std::string& host, uint16_t port) {
    std::vector<sockaddr_storage> out;
    if (!host.empty() && host[0] >= '0' && host[0] <= '9') {
        sockaddr_in in{};
        in.sin_family = AF_INET;
        in.sin_port = htons(port);
        if (::inet_pton(AF_INET, host.c_str(), &in.sin_addr) == 1) {
            sockaddr_storage s{};
            std::memcpy(&s, &in, sizeof in);
            out.push_back(s);
        }
        return out;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) return out;
    for (addrinfo* a = list; a; a = a->ai_next) {
        sockaddr_storage s{};
        std::memcpy(&s, a->ai_addr, a->ai_addrlen);
        out.push_back(s);
    }
    ::freeaddrinfo(list);
    return out;
}

socklen_t LengthOf(const sockaddr_storage& s) {
    return s.ss_family == AF_INET6 ? socklen_t(sizeof(sockaddr_in6)) : socklen_t(sizeof(sockaddr_in));
}

// A connected non-blocking socket, or -1 once the deadline has passed or nothing answered.
int ConnectBy(const std::string& host, uint16_t port, TClock::time_point deadline) {
    for (const sockaddr_storage& address : Addresses(host, port)) {
        if (MsLeft(deadline) == 0) break;
        const int fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) continue;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), LengthOf(address)) == 0) return fd;
        if (errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int error = 0;
            socklen_t length = sizeof error;
            if (::poll(&p, 1, MsLeft(deadline)) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 &&
                error == 0)
                return fd;
        }
        ::close(fd);
    }
    return -1;
}

// Closes at once: a request not sent whole is dropped, not delivered later by the system.
void Drop(int fd) {
    const linger now{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    ::close(fd);
}

// The whole call of a worker: connect, send all of `request` (nothing when it is empty),
// close. True when it was sent whole.
bool Deliver(const std::string& host, uint16_t port, const std::string& request, TClock::time_point connectBy,
             TClock::time_point sendBy) {
    const int fd = ConnectBy(host, port, connectBy);
    if (fd < 0) return false;
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        pollfd p{fd, POLLOUT, 0};
        if (n < 0 && errno == EAGAIN && MsLeft(sendBy) > 0 && ::poll(&p, 1, MsLeft(sendBy)) == 1) continue;
        Drop(fd);
        return false;
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    return true;
}

// Runs Deliver on a thread of its own and waits for it until its own deadlines have passed;
// a worker still stuck then (in a name lookup) finishes by itself and is forgotten.
bool DeliverWithin(const QString& host, uint16_t port, const QByteArray& request) {
    const auto start = TClock::now();
    const auto connectBy = start + std::chrono::milliseconds(TQL_SSTP::kConnectTimeoutMs);
    const auto sendBy = connectBy + std::chrono::milliseconds(TQL_SSTP::kSendTimeoutMs);
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> done = result->get_future();
    try {
        std::thread([host = host.toStdString(), port, bytes = request.toStdString(), connectBy, sendBy, result] {
            result->set_value(Deliver(host, port, bytes, connectBy, sendBy));
        }).detach();
    } catch (const std::system_error&) {
        return false;   // no thread to be had: nothing is sent
    }
    if (done.wait_until(sendBy + std::chrono::milliseconds(50)) != std::future_status::ready) return false;
    return done.get();
}

}  // namespace

TQL_SSTP::TQL_SSTP(QObject* owner) : QObject(owner) {}

TQL_SSTP::~TQL_SSTP() = default;

void TQL_SSTP::SetSSTP_Port(uint16_t port) {
    if (port <= 9999) port_ = port;
}

bool TQL_SSTP::SSTP_Active() const { return DeliverWithin(host_, port_, QByteArray()); }

QByteArray TQL_SSTP::Request(const QString& scriptLine) const {
    return "SEND SSTP/1.1\r\n" + Sjis(scriptLine) + "Charset: Shift_JIS\r\nSender: " + Sjis(from_) + "\r\n\r\n";
}

bool TQL_SSTP::SendScript(const QString& scriptLine) {
    pending_ = scriptLine;
    const bool sent = DeliverWithin(host_, port_, Request(pending_));
    pending_.clear();
    return sent;
}
