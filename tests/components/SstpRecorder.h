// A mascot stand-in for tests: listens on 127.0.0.1 and records the bytes of every connection.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <unistd.h>

class TSstpRecorder {
public:
    // SSTP ports stop at 9999, so look for a free one below that.
    TSstpRecorder() {
        for (int i = 0; i < 900 && !server_.isListening(); ++i)
            server_.listen(QHostAddress::LocalHost, quint16(9000 + (getpid() + i) % 900));
    }
    bool Listening() const { return server_.isListening(); }
    uint16_t Port() const { return server_.serverPort(); }
    void Close() { server_.close(); }

    // The bytes of every connection made since the last call, in order, each read until the
    // client closed it. Connections that sent nothing give empty entries.
    QList<QByteArray> Connections() {
        QList<QByteArray> out;
        bool timedOut = false;
        while (server_.hasPendingConnections() || server_.waitForNewConnection(200, &timedOut)) {
            QTcpSocket* socket = server_.nextPendingConnection();
            if (!socket) break;
            while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(2000)) {
            }
            out << socket->readAll();
            delete socket;
        }
        return out;
    }
    // The connections that carried something.
    QList<QByteArray> Requests() {
        QList<QByteArray> out;
        for (const QByteArray& c : Connections())
            if (!c.isEmpty()) out << c;
        return out;
    }

private:
    QTcpServer server_;
};
