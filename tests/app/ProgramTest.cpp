// The built program itself, started and ended like a user's session: its settings file
// beside it survives from one run to the next.
#include <QProcess>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/AppFixture.h"
#include "support/TempDir.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        prog_ = dir_.path() / "prog";
        run_ = dir_.path() / "run";
        fs::create_directories(prog_);
        fs::create_directories(run_);
        fs::permissions(run_, fs::perms::owner_all);   // Qt takes no runtime folder others can read
        std::error_code ec;
        fs::create_hard_link(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne", ec);
        if (ec) fs::copy_file(TAV_BINARY_DIR "/bin/tavrenne", prog_ / "tavrenne");
    }

    // Starts the program, waits until it holds its single-instance lock, then asks it to end
    // as the session would. The exit code, or -1 when it did not end by itself.
    int RunAndEnd(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(run_.string()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString((prog_ / "tavrenne").string()), args);
        if (!p.waitForStarted(10000)) return -1;
        bool locked = false;
        for (int i = 0; i < 400 && !locked; ++i) {
            for (const auto& e : fs::directory_iterator(run_))
                locked = locked || e.path().filename().string().rfind("TTavrenne", 0) == 0;
            if (!locked) QTest::qWait(25);
        }
        if (!locked) {
            p.kill();
            p.waitForFinished(5000);
            return -1;
        }
        p.terminate();
        if (!p.waitForFinished(15000)) {
            p.kill();
            p.waitForFinished(5000);
            return -1;
        }
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    std::string Ini() const { return ReadBytes(prog_ / "tavr2.ini"); }

    TempDir dir_;
    fs::path prog_, run_;
};

TEST_F(Program, AFirstRunWritesTheSettingsFileAtItsEnd) {
    ASSERT_EQ(RunAndEnd({}), 0);
    const std::string ini = Ini();
    EXPECT_EQ(ini.rfind("[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=", 0), 0u) << ini;
    EXPECT_NE(ini.find("\r\n#Save Config=1\r\n#Check CRC=0\r\n#Check MD5=1\r\n#Check SHA1=0\r\n"), std::string::npos);
    EXPECT_TRUE(ini.ends_with("\r\n#Etavr pro section=00 02 02 05 09 01\r\n#END=\r\n")) << ini;
}

TEST_F(Program, SettingsSurviveARestartAndTakeTheSwitchOfTheLastRun) {
    const std::string head = "[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=kept by the test\r\n#Save Config=1\r\n";
    const std::string tail =
        "#LogWindow=0\r\n#strbyl=1\r\n#ByteLen=1\r\n"
        "#not useMD5File=1\r\n#auto create MD5=1\r\n#Use SSTP=0\r\n#close_q=1\r\n#clearlog=1\r\n"
        "#Use MD5File=1\r\n#ShutdownOption=1\r\n#NoSp=1\r\n#Use FileCache=1\r\n#Priority=2\r\n"
        "#check oldun=0\r\n#DeleteCacheFiles=0\r\n#CacheOver=1\r\n#CacheCount=5\r\n#BackConfig=1\r\n"
        "#AutoBufferSize=0\r\n#BufferSize=100\r\n#SetingMD5=0\r\n#UseSound=1\r\n#SoundFile_1=" +
        cp932::FromUtf8("/snd/終了 音.wav") +
        "\r\n#SoundFile_2=/snd/error.wav\r\n#Reloadfile=1\r\n#Etavr pro section=00 02 02 05 09 01\r\n#END=\r\n";
    const std::string checks = "#Check CRC=0\r\n#Check MD5=1\r\n#Check SHA1=1\r\n";
    std::ofstream(prog_ / "tavr2.ini", std::ios::binary) << head + checks + tail;

    // A plain run rewrites the file as it found it (the copyright becomes the program's own).
    ASSERT_EQ(RunAndEnd({}), 0);
    std::string ini = Ini();
    const size_t body = ini.find("\r\n#Save Config=1\r\n");
    ASSERT_NE(body, std::string::npos) << ini;
    EXPECT_EQ(ini.substr(body + 2), "#Save Config=1\r\n" + checks + tail);
    EXPECT_NE(ini.find("#Copyright=Copyright"), std::string::npos) << ini;

    // A run with "-c" and a file keeps only CRC32 as the digest choice.
    const fs::path file = dir_.path() / "abc.txt";
    std::ofstream(file, std::ios::binary) << "abc";
    ASSERT_EQ(RunAndEnd({QStringLiteral("-c"), QString::fromStdString(file.string())}), 0);
    ini = Ini();
    EXPECT_EQ(ini.substr(ini.find("\r\n#Save Config=1\r\n") + 2),
              "#Save Config=1\r\n#Check CRC=1\r\n#Check MD5=0\r\n#Check SHA1=0\r\n" + tail);
}

}  // namespace
