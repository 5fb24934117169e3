#include <gtest/gtest.h>

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
    sstp_.SendScript(QStringLiteral("Script: \\h\\s0テスト\\e\r\n"));
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
    sstp_.SendScript(QStringLiteral("Script: lost\r\n"));
    // Listening again on the same port finds no connection waiting from before.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, port));
    bool timedOut = false;
    EXPECT_FALSE(probe.waitForNewConnection(200, &timedOut));
    EXPECT_TRUE(timedOut);
}

}  // namespace
