#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTcpSocket>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "components/QL_SSTP.h"
#include "components/SstpRecorder.h"

namespace {

// Shift_JIS of the default sender みるね.
const QByteArray kMirune("\x82\xdd\x82\xe9\x82\xcb");

class SstpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mascot_.Listening());
        sstp_.SetSSTP_Host(QStringLiteral("127.0.0.1"));
        sstp_.SetSSTP_Port(mascot_.Port());
    }
    TSstpRecorder mascot_;
    TQL_SSTP sstp_;
};

TEST(SstpDefaults, PropertiesStartAsTheComponentDefines) {
    TQL_SSTP sstp;
    EXPECT_EQ(sstp.SSTP_Port(), 9801);
    EXPECT_EQ(sstp.SSTP_Host(), QStringLiteral("localhost"));
    EXPECT_EQ(sstp.SSTP_Address(), QString());
    EXPECT_EQ(sstp.SSTP_VERSTR(), QStringLiteral("Quillory_SSTP_UNIT Version 1.02.00"));
    EXPECT_EQ(sstp.SSTP_From(), QStringLiteral("みるね"));
}

TEST(SstpDefaults, PortsAboveFourDigitsAreIgnored) {
    TQL_SSTP sstp;
    sstp.SetSSTP_Port(10000);
    EXPECT_EQ(sstp.SSTP_Port(), 9801);
    sstp.SetSSTP_Port(65535);
    EXPECT_EQ(sstp.SSTP_Port(), 9801);
    sstp.SetSSTP_Port(9999);
    EXPECT_EQ(sstp.SSTP_Port(), 9999);
}

TEST_F(SstpTest, OneRequestInShiftJisWithFiveCrLfLines) {
    EXPECT_TRUE(sstp_.SendScript(QStringLiteral("Script: \\h\\s0テスト\\e\r\n")));
    const QList<QByteArray> got = mascot_.Connections();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0], QByteArray("SEND SSTP/1.1\r\n"
                                 "Script: \\h\\s0\x83\x65\x83\x58\x83\x67\\e\r\n"
                                 "Charset: Shift_JIS\r\n"
                                 "Sender: ") + kMirune + "\r\n\r\n");
}

TEST_F(SstpTest, TwoCallsMakeTwoConnectionsWithOneRequestEach) {
    sstp_.SetSSTP_From(QStringLiteral("Mirune"));
    sstp_.SendScript(QStringLiteral("Script: one\r\n"));
    sstp_.SendScript(QStringLiteral("Script: two\r\n"));
    const QList<QByteArray> got = mascot_.Connections();
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0], QByteArray("SEND SSTP/1.1\r\nScript: one\r\nCharset: Shift_JIS\r\nSender: Mirune\r\n\r\n"));
    EXPECT_EQ(got[1], QByteArray("SEND SSTP/1.1\r\nScript: two\r\nCharset: Shift_JIS\r\nSender: Mirune\r\n\r\n"));
}

TEST_F(SstpTest, TheAddressPropertyDoesNotChangeWhereTheRequestGoes) {
    sstp_.SetSSTP_Address(QStringLiteral("192.0.2.1"));
    sstp_.SendScript(QStringLiteral("Script: x\r\n"));
    EXPECT_EQ(mascot_.Requests().size(), 1);
}

TEST_F(SstpTest, AHostNameIsLookedUp) {
    sstp_.SetSSTP_Host(QStringLiteral("localhost"));
    sstp_.SendScript(QStringLiteral("Script: x\r\n"));
    EXPECT_EQ(mascot_.Requests().size(), 1);
}

TEST_F(SstpTest, ActiveExactlyWhileSomethingListens) {
    EXPECT_TRUE(sstp_.SSTP_Active());
    // The probe says nothing to the mascot.
    EXPECT_EQ(mascot_.Connections(), QList<QByteArray>{QByteArray()});
    mascot_.Close();
    EXPECT_FALSE(sstp_.SSTP_Active());
}

TEST_F(SstpTest, NoListenerSendsNothingAndRaisesNothing) {
    const uint16_t port = mascot_.Port();
    mascot_.Close();
    EXPECT_FALSE(sstp_.SendScript(QStringLiteral("Script: lost\r\n")));
    // Listening again on the same port finds no connection waiting from before.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, port));
    bool timedOut = false;
    EXPECT_FALSE(probe.waitForNewConnection(200, &timedOut));
    EXPECT_TRUE(timedOut);
}

// A listener that never accepts and whose queue is full drops new connection attempts
// without an answer: the window gives up after its bound instead of waiting for the system.
TEST(SstpSilentHost, GivesUpWithoutSending) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // SSTP ports stop at 9999.
    uint16_t port = 0;
    for (int i = 0; i < 900 && port == 0; ++i) {
        address.sin_port = htons(uint16_t(9000 + (getpid() + 450 + i) % 900));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) port = ntohs(address.sin_port);
    }
    ASSERT_NE(port, 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    std::vector<std::unique_ptr<QTcpSocket>> fillers;
    for (int i = 0; i < 8; ++i) {
        fillers.push_back(std::make_unique<QTcpSocket>());
        fillers.back()->connectToHost(QHostAddress::LocalHost, port);
        if (!fillers.back()->waitForConnected(300)) break;
    }
    // The last attempt is still waiting for an answer: the host is silent, not refusing.
    ASSERT_EQ(fillers.back()->error(), QAbstractSocket::SocketTimeoutError);
    TQL_SSTP sstp;
    sstp.SetSSTP_Host(QStringLiteral("127.0.0.1"));
    sstp.SetSSTP_Port(port);
    EXPECT_FALSE(sstp.SSTP_Active());
    EXPECT_FALSE(sstp.SendScript(QStringLiteral("Script: lost\r\n")));
    fillers.clear();
    ::close(fd);
}

// A mascot that takes the connection and never reads, and a script larger than the socket
// buffers: the call ends at its deadline with the request cut off. A watchdog drains the
// socket after 10 s, so that a call without a deadline ends and fails this test rather than
// hanging it.
TEST(SstpStuckMascot, ACallThatCannotFinishEndsAtItsDeadline) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    uint16_t port = 0;
    for (int i = 0; i < 900 && port == 0; ++i) {
        address.sin_port = htons(uint16_t(9000 + (getpid() + 300 + i) % 900));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) port = ntohs(address.sin_port);
    }
    ASSERT_NE(port, 0);
    ASSERT_EQ(::listen(fd, 4), 0);   // the system accepts; nobody reads
    std::atomic<bool> returned{false}, rescued{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 200 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (returned) return;
        rescued = true;
        const int peer = ::accept(fd, nullptr, nullptr);
        char buf[65536];
        while (peer >= 0 && ::read(peer, buf, sizeof buf) > 0) {
        }
        if (peer >= 0) ::close(peer);
    });
    TQL_SSTP sstp;
    sstp.SetSSTP_Host(QStringLiteral("127.0.0.1"));
    sstp.SetSSTP_Port(port);
    const QString huge = QStringLiteral("Script: ") + QString(32 << 20, QLatin1Char('x')) + QStringLiteral("\r\n");
    EXPECT_FALSE(sstp.SendScript(huge));
    returned = true;
    watchdog.join();
    EXPECT_FALSE(rescued) << "the call waited for the mascot to read";
    ::close(fd);
}

}  // namespace
