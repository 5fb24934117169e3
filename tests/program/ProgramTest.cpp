// The built program itself, started and ended like a user's session: its settings file
// beside it survives from one run to the next.
#include <QProcess>
#include <QTest>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "fakes/AppFixture.h"
#include "fakes/ProgramProcess.h"
#include "support/TempDir.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

class Program : public ProgramProcess {
protected:
    // It holds its single-instance lock: the program is past its first steps.
    bool Locked() const {
        for (const auto& e : fs::directory_iterator(run_))
            if (e.path().filename().string().rfind("TTavrenne", 0) == 0) return true;
        return false;
    }

    // Starts the program, waits until it holds its lock, then asks it to end as the session
    // would. The exit code, or -1 when it did not end by itself.
    int RunAndEnd(const QStringList& args) {
        const std::unique_ptr<QProcess> p = Start(args);
        if (!p->waitForStarted(10000)) return -1;
        if (!WaitUntil(*p, [this] { return Locked(); })) {
            p->kill();
            p->waitForFinished(5000);
            return -1;
        }
        return SignalAndWait(*p, SIGTERM);
    }

    std::string Ini() const { return ReadBytes(prog_ / "tavr2.ini"); }
};

// True once some descriptor of process `pid` has read `file` past its start.
bool ReadingFile(qint64 pid, const fs::path& file) {
    const fs::path proc = "/proc/" + std::to_string(pid);
    std::error_code ec;
    for (fs::directory_iterator it(proc / "fd", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (fs::read_symlink(it->path(), linkError) != file) continue;
        std::ifstream info(proc / "fdinfo" / it->path().filename());
        std::string key;
        long long pos = 0;
        while (info >> key)
            if (key == "pos:" && info >> pos && pos > 0) return true;
    }
    return false;
}

TEST_F(Program, AFirstRunWritesTheSettingsFileAtItsEnd) {
    ASSERT_EQ(RunAndEnd({}), 0);
    const std::string ini = Ini();
    EXPECT_EQ(ini.rfind("[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=", 0), 0u) << ini;
    EXPECT_NE(ini.find("\r\n#Save Config=1\r\n#Check CRC=0\r\n#Check MD5=1\r\n#Check SHA1=0\r\n"), std::string::npos);
    EXPECT_TRUE(ini.ends_with("\r\n#Etavr pro section=00 02 02 05 09 01\r\n#END=\r\n")) << ini;
}

// A disk too full for the settings at the end of a session: the box that says so is answered
// unseen, and the session's log (standard error) keeps the failure with the system's reason.
TEST_F(Program, SettingsThatCannotBeSavedAtTheSessionsEndAreLogged) {
    const std::string old = "[Tavrix_2]\r\n#Version=2.46\r\n#NoSp=1\r\n";
    std::ofstream(prog_ / "tavr2.ini", std::ios::binary) << old;
    // Writes past 300 bytes fail, as on a full disk (the lock file needs fewer).
    const auto p = Start({}, [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{300, 300};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    ASSERT_TRUE(p->waitForStarted(10000));
    ASSERT_TRUE(WaitUntil(*p, [this] { return Locked(); })) << err_.constData();
    EXPECT_EQ(SignalAndWait(*p, SIGTERM), 0);
    EXPECT_TRUE(Said(QStringLiteral("dialog answered: ") + QString::fromStdString((prog_ / "tavr2.ini").string()) +
                     QStringLiteral(" に書き込めません")))
        << err_.constData();
    EXPECT_TRUE(Said(QStringLiteral("tavrenne: ") + QString::fromStdString((prog_ / "tavr2.ini").string()) +
                     QStringLiteral(": File too large")))
        << err_.constData();
    EXPECT_EQ(Ini().find("#END="), std::string::npos) << "the save did not fail";
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

// A request to terminate ends the program promptly whatever it is doing, and the settings are
// still written.

TEST_F(Program, EachRequestClosesTheEmptyFileBoxOfTheStartUp) {
    const fs::path empty = dir_.path() / "empty.bin";
    std::ofstream(empty, std::ios::binary).flush();
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        fs::remove(prog_ / "tavr2.ini");
        err_.clear();
        const std::unique_ptr<QProcess> p = Start({QString::fromStdString(empty.string())});
        ASSERT_TRUE(WaitUntil(*p, [this] {
            return Said(QStringLiteral("dialog open: ファイルがオープン出来ません :理由File size of zero or run"));
        })) << err_.toStdString();
        EXPECT_EQ(SignalAndWait(*p, sig), 0) << err_.toStdString();
        EXPECT_TRUE(Ini().ends_with("\r\n#END=\r\n")) << Ini();
    }
}

// A file named on the command line reaches the analysis with every byte of its name, UTF-8
// or not: the empty-file box (not "ファイルが見当たりません") shows it was found.
TEST_F(Program, AFileNameThatIsNotUtf8IsFound) {
    std::ofstream(dir_.path().string() + "/empty\xFF.bin", std::ios::binary).flush();
    // Through a shell: a QString argument could not carry the byte 0xFF.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(run_.string()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TAVRENNE_TRACE_DIALOGS"), QStringLiteral("1"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$1/$(printf 'empty\\377.bin')\""),
             QString::fromStdString((prog_ / "tavrenne").string()), QString::fromStdString(dir_.path().string())});
    ASSERT_TRUE(WaitUntil(p, [this] {
        return Said(QStringLiteral("dialog open: ファイルがオープン出来ません :理由File size of zero or run"));
    })) << err_.toStdString();
    EXPECT_EQ(SignalAndWait(p, SIGTERM), 0) << err_.toStdString();
}

// "-l FILE" (the file managers' "チェックサムの検証") reads FILE as a checksum list whatever
// its name: one that is none gets the box that says so instead of an analysis.
TEST_F(Program, TheVerifySwitchTakesAnyFileAsAList) {
    const fs::path notes = fs::weakly_canonical(dir_.path()) / "notes.txt";
    std::ofstream(notes, std::ios::binary) << "no list here\n";
    const std::unique_ptr<QProcess> p = Start({QStringLiteral("-l"), QString::fromStdString(notes.string())});
    ASSERT_TRUE(WaitUntil(*p, [this] { return Said(QStringLiteral("dialog open: チェックサムファイルとして読めません: ")); }))
        << err_.toStdString();
    EXPECT_EQ(SignalAndWait(*p, SIGTERM), 0) << err_.toStdString();
}

// "--lang" is taken out wherever it stands: the rest of the command line means what it did; a
// value that is no language is named and the start goes on.
TEST_F(Program, TheLanguageSwitchLeavesTheRestOfTheCommandLine) {
    const fs::path notes = fs::weakly_canonical(dir_.path()) / "notes.txt";
    std::ofstream(notes, std::ios::binary) << "no list here\n";
    const QString list = QString::fromStdString(notes.string());
    const struct {
        QStringList args;
        const char* complaint;
    } starts[] = {
        {{QStringLiteral("--lang"), QStringLiteral("ja"), QStringLiteral("-l"), list}, nullptr},
        {{QStringLiteral("-l"), list, QStringLiteral("--lang=fr")}, "tavrenne: --lang fr: not ja, en or auto"},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.args.join(QLatin1Char(' ')).toStdString());
        err_.clear();
        const std::unique_ptr<QProcess> p = Start(start.args);
        ASSERT_TRUE(WaitUntil(*p, [this] { return Said(QStringLiteral("dialog open: チェックサムファイルとして読めません: ")); }))
            << err_.toStdString();
        if (start.complaint) {
            EXPECT_TRUE(Said(QString::fromUtf8(start.complaint))) << err_.toStdString();
        }
        EXPECT_EQ(SignalAndWait(*p, SIGTERM), 0) << err_.toStdString();
    }
}

TEST_F(Program, ARequestCancelsALongStartUpAnalysis) {
    // Far too big to be read within the limit: only a cancelled run lets the program end.
    const fs::path big = fs::weakly_canonical(dir_.path()) / "big.bin";
    std::ofstream(big, std::ios::binary).flush();
    std::error_code ec;
    fs::resize_file(big, uint64_t(1) << 40, ec);
    ASSERT_FALSE(ec) << ec.message();
    std::ofstream(prog_ / "tavr2.ini", std::ios::binary)
        << "[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=kept by the test\r\n#Check CRC=1\r\n#Check MD5=1\r\n"
           "#Check SHA1=1\r\n#AutoBufferSize=0\r\n#BufferSize=16\r\n";

    const std::unique_ptr<QProcess> p = Start({QString::fromStdString(big.string())});
    ASSERT_TRUE(WaitUntil(*p, [&] { return ReadingFile(p->processId(), big); })) << err_.toStdString();
    EXPECT_EQ(SignalAndWait(*p, SIGTERM), 0) << err_.toStdString();
    const std::string ini = Ini();
    EXPECT_NE(ini.find("#Copyright=Copyright"), std::string::npos) << ini;
    EXPECT_TRUE(ini.ends_with("\r\n#END=\r\n")) << ini;
}

TEST_F(Program, ARequestIsNotHeldUpByTheBoxOfAFailedSave) {
    // A folder in the settings file's place: no save can succeed, not even as root.
    fs::create_directory(prog_ / "tavr2.ini");
    const std::unique_ptr<QProcess> p = Start({});
    ASSERT_TRUE(WaitUntil(*p, [this] { return Locked(); }));
    EXPECT_EQ(SignalAndWait(*p, SIGTERM), 0) << err_.toStdString();
    // The save was tried, and its box answered without waiting for anyone.
    EXPECT_TRUE(Said(QStringLiteral("dialog answered: ") + QString::fromStdString((prog_ / "tavr2.ini").string()) +
                     QStringLiteral(" に書き込めません")))
        << err_.toStdString();
}

}  // namespace
