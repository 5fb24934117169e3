// The real platform services, started for real: the helper program and the sound player.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QString>
#include <QTest>
#include <cstdlib>
#include <sstream>

#include "platform/Platform.h"
#include "support/TempDir.h"

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
