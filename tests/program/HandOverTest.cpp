// A second start hands its command line to the running program instead of dropping it.
#include <QProcess>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "platform/SingleInstance.h"
#include "fakes/ProgramProcess.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TEST(HandOverMessage, KeepsEveryByteAndNeedsTheWholeMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"-a", "/tmp/x.md5"},
        {"", std::string("caf\xe9\0z", 6), "/p a t h/with spaces"},
    };
    for (const auto& args : cases) {
        const std::string m = EncodeHandOver(args);
        std::vector<std::string> back;
        EXPECT_EQ(DecodeHandOver(m, back), THandOverDecode::Complete);
        EXPECT_EQ(back, args);
        // Every shorter prefix is still waiting for the rest.
        for (size_t n = 0; n < m.size(); ++n)
            EXPECT_EQ(DecodeHandOver(m.substr(0, n), back), THandOverDecode::Incomplete) << n;
        EXPECT_EQ(DecodeHandOver(m + "x", back), THandOverDecode::Malformed);
    }
    std::vector<std::string> back;
    // A count or a length no command line has is refused at once, not waited for.
    EXPECT_EQ(DecodeHandOver(std::string("\xff\xff\xff\x7f", 4), back), THandOverDecode::Malformed);
    EXPECT_EQ(DecodeHandOver(std::string("\x01\0\0\0\xff\xff\xff\xff", 8), back), THandOverDecode::Malformed);
}

TEST(HandOverMessage, NobodyListeningIsAFailedHandOver) {
    TempDir dir;
    TSingleInstance later(QStringLiteral("TTavrenne"), QString::fromStdString(dir.path().string()));
    EXPECT_FALSE(later.HandOver({"x"}, 200));
}

class HandOver : public ProgramProcess {
protected:
    bool Listening() const { return fs::exists(run_ / ("TTavrenne-" + std::to_string(getuid()) + ".sock")); }
    void End(QProcess& p) { SignalAndWait(p, SIGTERM); }
};

TEST_F(HandOver, TheRunningWindowAnalysesTheFileOfASecondStart) {
    const auto first = Start({});
    ASSERT_TRUE(first->waitForStarted(10000));
    ASSERT_TRUE(WaitUntil(*first, [this] { return Listening(); }));

    // An empty file: its analysis ends in a box, which the first program reports.
    const fs::path empty = dir_.path() / "empty file.bin";
    std::ofstream(empty).close();
    const auto second = Start({QString::fromStdString(empty.string())});
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(WaitUntil(*first, [this] { return Said("dialog open: ファイルがオープン出来ません"); }))
        << err_.constData();
    EXPECT_EQ(first->state(), QProcess::Running);
    End(*first);
}

TEST(SingleInstance, SecondProgramEndsAtOnceWithZero) {
    TempDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir.path().string()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = QStringLiteral(TAV_BINARY_DIR "/bin/tavrenne");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Wait for its lock (bounded).
    bool locked = false;
    for (int i = 0; i < 200 && !locked; ++i) {
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            locked = locked || e.path().filename().string().rfind("TTavrenne", 0) == 0;
        if (!locked) QTest::qWait(25);
    }
    ASSERT_TRUE(locked);
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(5000);
}

}  // namespace
