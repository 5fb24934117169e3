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

class HandOver : public ::testing::Test {
protected:
    void SetUp() override {
        prog_ = dir_.path() / "prog";
        run_ = dir_.path() / "run";
        fs::create_directories(prog_);
        fs::create_directories(run_);
        fs::permissions(run_, fs::perms::owner_all);
        std::error_code ec;
        fs::create_hard_link(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne", ec);
        if (ec) fs::copy_file(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne");
    }

    std::unique_ptr<QProcess> Start(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(run_.string()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVRENNE_TRACE_DIALOGS"), QStringLiteral("1"));
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->start(QString::fromStdString((prog_ / "tavrenne").string()), args);
        return p;
    }

    // Polls with a generous limit; collects the first program's standard error meanwhile.
    bool WaitUntil(QProcess& p, const std::function<bool()>& done) {
        for (int i = 0; i < 800; ++i) {
            err_ += p.readAllStandardError();
            if (done()) return true;
            if (p.state() == QProcess::NotRunning) return false;
            QTest::qWait(25);
        }
        return false;
    }
    bool Listening() const { return fs::exists(run_ / ("TTavrenne-" + std::to_string(getuid()) + ".sock")); }
    bool Said(const char* text) const { return QString::fromUtf8(err_).contains(QString::fromUtf8(text)); }

    void End(QProcess& p) {
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }

    TempDir dir_;
    fs::path prog_, run_;
    QByteArray err_;
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

}  // namespace
