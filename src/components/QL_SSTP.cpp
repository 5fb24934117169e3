#include "components/QL_SSTP.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include "text/Cp932.h"

namespace {

QByteArray Sjis(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes = cp932::FromUtf8(std::string_view(utf8.constData(), size_t(utf8.size())));
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// A host text starting with a digit is a dotted IPv4 address; anything else is a name.
void Connect(QTcpSocket& socket, const QString& host, uint16_t port) {
    if (!host.isEmpty() && host[0] >= QLatin1Char('0') && host[0] <= QLatin1Char('9'))
        socket.connectToHost(QHostAddress(host), port);
    else
        socket.connectToHost(host, port);
}

}  // namespace

TQL_SSTP::TQL_SSTP(QObject* owner) : QObject(owner) {}

TQL_SSTP::~TQL_SSTP() = default;

void TQL_SSTP::SetSSTP_Port(uint16_t port) {
    if (port <= 9999) port_ = port;
}

bool TQL_SSTP::SSTP_Active() const {
    QTcpSocket socket;
    Connect(socket, host_, port_);
    const bool accepted = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return accepted;
}

QByteArray TQL_SSTP::Request(const QString& scriptLine) const {
    return "SEND SSTP/1.1\r\n" + Sjis(scriptLine) + "Charset: Shift_JIS\r\nSender: " + Sjis(from_) + "\r\n\r\n";
}

void TQL_SSTP::SendScript(const QString& scriptLine) {
    // Whether a mascot is there and the connection for the request are one and the same
    // connect here: a second probe connection would reach the mascot as an empty request.
    pending_ = scriptLine;
    QTcpSocket socket;
    Connect(socket, host_, port_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        socket.abort();
        return;
    }
    socket.write(Request(pending_));
    const QDeadlineTimer deadline(kSendTimeoutMs);
    while (socket.bytesToWrite() > 0 && !deadline.hasExpired() &&
           socket.waitForBytesWritten(int(deadline.remainingTime()))) {
    }
    // A send that did not finish in time is dropped rather than left half-delivered later.
    if (socket.bytesToWrite() > 0) socket.abort();
    else socket.disconnectFromHost();
    pending_.clear();
}
