// The real platform services, started for real: the helper program and the sound player.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QString>
#include <QTest>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/Platform.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Script(const TempDir& dir, const std::string& name, const std::string& body) {
    const std::string path = dir.write(name, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
    return path;
}

bool AppearsWithin(const std::string& path, const std::string& content) {
    return QTest::qWaitFor([&] { return ReadBytes(path) == content; }, 5000);
}

TEST(RealPlatform, StartsAProgramWithoutWaitingAndIgnoresAMissingOne) {
    TempDir dir;
    const std::string out = dir.file("args.txt");
    const std::string helper = Script(dir, "tavrfix", "sleep 1; echo \"$@\" > '" + out + "'\n");
    Platform().StartProgram(QString::fromStdString(helper), QStringLiteral("-W"));
    EXPECT_EQ(ReadBytes(out), "") << "returned before the helper finished";
    EXPECT_TRUE(AppearsWithin(out, "-W\n"));

    Platform().StartProgram(QString::fromStdString(dir.file("missing")), QStringLiteral("-O"));
}

// A program file is started as it is, with no argument, in its own folder; a script without
// the execute bit by its interpreter; what cannot start says why.
TEST(RealPlatform, ProgramFilesStartDirectlyOrSayWhyNot) {
    TempDir dir;
    fs::create_directories(dir.path() / "a \"b\"");
    const std::string out = dir.file("ran.txt");
    const std::string script = Script(dir, "a \"b\"/run me", "echo \"$# $(pwd)\" > '" + out + "'\n");
    QString reason;
    ASSERT_TRUE(Platform().StartProgramFile(TPath(script), &reason)) << reason.toStdString();
    EXPECT_TRUE(AppearsWithin(out, "0 " + (dir.path() / "a \"b\"").string() + "\n"));

    const std::string plain = dir.write("plain.sh", "#!/bin/sh\necho plain > '" + out + "'\n");
    ASSERT_TRUE(Platform().StartProgramFile(TPath(plain), &reason)) << reason.toStdString();
    EXPECT_TRUE(AppearsWithin(out, "plain\n"));

    const std::string elf = dir.write("elf", std::string("\x7f" "ELF\x02\x01\x01", 7));
    EXPECT_FALSE(Platform().StartProgramFile(TPath(elf), &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(EACCES)));
    chmod(elf.c_str(), 0755);
    EXPECT_FALSE(Platform().StartProgramFile(TPath(elf), &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(ENOEXEC)));
}

// The desktop's handler is xdg-open: its failure comes back with what it said.
TEST(RealPlatform, AFileTheDesktopCannotOpenIsReportedWithItsReason) {
    TempDir dir;
    Script(dir, "xdg-open", "case \"$1\" in *.good) exit 0;; esac\necho \"no method available for opening '$1'\" >&2\nexit 3\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.path().string() + ":" + oldPath).c_str(), 1);
    std::vector<QString> reasons;
    for (const char* name : {"x.good", "odd\xff.bad"})
        Platform().OpenFile(TPath(dir.file(name)), [&](const QString& reason) { reasons.push_back(reason); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reasons.empty(); }, 5000));
    QTest::qWait(300);   // the good one says nothing
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_TRUE(reasons[0].startsWith(QStringLiteral("no method available for opening '") +
                                      QString::fromStdString(dir.path().string())))
        << reasons[0].toStdString();
    EXPECT_TRUE(reasons[0].endsWith(QStringLiteral(".bad'"))) << reasons[0].toStdString();
}

TEST(RealPlatform, ANewSoundReplacesAPlayingOne) {
    TempDir dir;
    const std::string log = dir.file("played.txt");
    // A stand-in player on PATH: records its pid and file, then "plays" for a while.
    Script(dir, "paplay", "echo \"$$ $1\" >> '" + log + "'\nexec sleep 30\n");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.path().string() + ":" + oldPath).c_str(), 1);

    Platform().PlaySound(QStringLiteral("/sounds/finish.wav"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadBytes(log).find("finish.wav") != std::string::npos; }, 5000));
    Platform().PlaySound(QStringLiteral("/sounds/error.wav"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadBytes(log).find("error.wav") != std::string::npos; }, 5000));
    setenv("PATH", oldPath.c_str(), 1);

    std::istringstream lines(ReadBytes(log));
    long firstPid = 0, secondPid = 0;
    std::string firstFile, secondFile;
    lines >> firstPid >> firstFile >> secondPid >> secondFile;
    EXPECT_EQ(firstFile, "/sounds/finish.wav");
    EXPECT_EQ(secondFile, "/sounds/error.wav");
    EXPECT_NE(kill(pid_t(firstPid), 0), 0) << "the first sound still plays";
    EXPECT_EQ(kill(pid_t(secondPid), 0), 0);
    kill(pid_t(secondPid), SIGKILL);
}

}  // namespace
