// Hands a script to a desktop mascot program on this machine: one SSTP/1.1 SEND request over
// a fresh TCP connection, nothing read back, every socket failure swallowed.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

class TQL_SSTP : public QObject {
    Q_OBJECT

public:
    // The connect and the send each get at most this long, on a thread of their own: the
    // window's thread waits for no longer than both together, whatever the mascot (or the
    // name lookup) does, and a mascot on this machine answers well within it.
    static constexpr int kConnectTimeoutMs = 300;
    static constexpr int kSendTimeoutMs = 300;

    explicit TQL_SSTP(QObject* owner = nullptr);
    ~TQL_SSTP() override;

    uint16_t SSTP_Port() const { return port_; }
    // A value above 9999 is ignored and the old port stays.
    void SetSSTP_Port(uint16_t port);
    QString SSTP_Host() const { return host_; }
    void SetSSTP_Host(const QString& host) { host_ = host; }
    // Kept with the component; the request never uses it.
    QString SSTP_Address() const { return address_; }
    void SetSSTP_Address(const QString& address) { address_ = address; }
    QString SSTP_VERSTR() const { return verstr_; }
    QString SSTP_From() const { return from_; }
    void SetSSTP_From(const QString& from) { from_ = from; }
    // The mascot program is running: something accepts connections on SSTP_Host:SSTP_Port.
    // A connection of its own, which the mascot sees as an empty request: scripts do not ask
    // it first (their own connection is the test).
    bool SSTP_Active() const;

    // `scriptLine` is the whole Script header line, "Script: " to its CR LF. Sent as
    // Shift_JIS when a mascot accepts the connection; otherwise nothing happens. True when a
    // mascot took the whole request; a send that did not finish in time is cut off.
    virtual bool SendScript(const QString& scriptLine);

    // The request bytes for a script line with this component's sender.
    QByteArray Request(const QString& scriptLine) const;

private:
    uint16_t port_ = 9801;
    QString host_ = QStringLiteral("localhost");
    QString address_;
    const QString verstr_ = QStringLiteral("Quillory_SSTP_UNIT Version 1.02.00");
    QString from_ = QStringLiteral("みるね");
    QString pending_;
};
