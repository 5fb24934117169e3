// The .deb as a user gets it: built by CPack from this build, accepted by lintian, unpacked
// into a scratch root where the installed programs run.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>

#include <signal.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct StepOutcome {
    int Code = -1;
    std::string Out;
};

StepOutcome RunStep(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(300000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll().toStdString()};
}

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

TEST(Package, BuildsPassesLintianAndRunsFromAScratchRoot) {
    TempDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* sub : {"home", "data", "config", "cache", "out", "root"}) fs::create_directories(dir.path() / sub);
    env.insert("HOME", Q(dir.path() / "home"));
    env.insert("XDG_DATA_HOME", Q(dir.path() / "data"));
    env.insert("XDG_CONFIG_HOME", Q(dir.path() / "config"));
    env.insert("XDG_CACHE_HOME", Q(dir.path() / "cache"));

    const StepOutcome cpack = RunStep("cpack", {"--config", TAV_BINARY_DIR "/CPackConfig.cmake", "-G", "DEB", "-B",
                                            Q(dir.path() / "out")}, env);
    ASSERT_EQ(cpack.Code, 0) << cpack.Out;
    fs::path deb;
    for (const auto& e : fs::directory_iterator(dir.path() / "out"))
        if (e.path().extension() == ".deb") deb = e.path();
    ASSERT_FALSE(deb.empty()) << cpack.Out;

    const StepOutcome lintian = RunStep("lintian", {"--fail-on", "error", Q(deb)}, env);
    EXPECT_EQ(lintian.Code, 0) << lintian.Out;
    EXPECT_EQ(lintian.Out.find("\nE: "), std::string::npos) << lintian.Out;

    const fs::path root = dir.path() / "root";
    ASSERT_EQ(RunStep("dpkg-deb", {"-x", Q(deb), Q(root)}, env).Code, 0);
    for (const char* file : {"usr/lib/tavrenne/tavrenne", "usr/lib/tavrenne/tavrfix", "usr/share/applications/tavrenne.desktop",
                             "usr/share/mime/packages/tavrenne-md5.xml", "usr/share/icons/hicolor/scalable/apps/tavrenne.svg",
                             "usr/share/icons/hicolor/scalable/mimetypes/tavrenne-md5-14.svg",
                             "usr/share/metainfo/io.github.quillory.tavrenne.metainfo.xml", "usr/share/doc/tavrenne/copyright",
                             "usr/lib/tavrenne/manual/index.html", "usr/lib/tavrenne/manual/en/index.html"})
        EXPECT_TRUE(fs::exists(root / file)) << file;
    EXPECT_EQ(RunStep("desktop-file-validate", {Q(root / "usr/share/applications/tavrenne.desktop")}, env).Code, 0);
    // A Japanese desktop's menus and software centres describe the program in Japanese.
    EXPECT_NE(ReadBytes(root / "usr/share/applications/tavrenne.desktop").find("\nComment[ja]="), std::string::npos);
    EXPECT_NE(ReadBytes(root / "usr/share/metainfo/io.github.quillory.tavrenne.metainfo.xml").find("<summary xml:lang=\"ja\">"),
              std::string::npos);

    // The installed command-line tool analyses a file through its link in bin.
    const std::string file = dir.write("abc.txt", "abc");
    const StepOutcome hash = RunStep(Q(root / "usr/bin/tavrenne-cli"), {"hash", "md5", QString::fromStdString(file)}, env);
    EXPECT_EQ(hash.Code, 0) << hash.Out;
    EXPECT_NE(hash.Out.find("900150983cd24fb0d6963f7d28e17f72"), std::string::npos) << hash.Out;

    // The installed helper makes the installed program the .MD5 handler.
    ASSERT_EQ(RunStep(Q(root / "usr/lib/tavrenne/tavrfix"), {"-I", "7"}, env).Code, 0);
    const std::string entry = ReadBytes(dir.path() / "data/applications/tavrenne.desktop");
    EXPECT_NE(entry.find("\nExec=" + (root / "usr/lib/tavrenne/tavrenne").string() + " %F\n"), std::string::npos) << entry;

    // Started by a user who may not write the program folder, the installed program takes the
    // file of its command line and writes its settings under the user's XDG folders.
    const StepOutcome setpriv = RunStep("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "true"}, env);
    if (setpriv.Code != 0) GTEST_SKIP() << "cannot run a program as nobody: " << setpriv.Out;
    for (const char* sub : {"home", "data", "config", "cache"}) fs::permissions(dir.path() / sub, fs::perms::all);
    fs::permissions(dir.path(), fs::perms::all);
    const fs::path runtime = dir.path() / "runtime";
    fs::create_directories(runtime);
    ASSERT_EQ(RunStep("chown", {"nobody", Q(runtime)}, env).Code, 0);
    fs::permissions(runtime, fs::perms::owner_all);
    fs::permissions(file, fs::perms::all);
    QProcessEnvironment user = env;
    user.insert("QT_QPA_PLATFORM", "offscreen");
    user.insert("XDG_RUNTIME_DIR", Q(runtime));
    QProcess program;
    program.setProcessEnvironment(user);
    program.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                              Q(root / "usr/lib/tavrenne/tavrenne"), "-c", QString::fromStdString(file)});
    ASSERT_TRUE(program.waitForStarted(10000));
    const fs::path ini = dir.path() / "config/tavrenne/tavr2.ini";
    // The folder is made when the program works out where its files go: it is past its start.
    for (int i = 0; i < 400 && !fs::exists(dir.path() / "config/tavrenne"); ++i) program.waitForFinished(50);
    program.waitForFinished(1000);   // let the start-up analysis of the 3-byte file end
    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000)) << program.readAll().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << program.readAll().toStdString();
    const std::string settings = ReadBytes(ini);
    EXPECT_NE(settings.find("\r\n#Check CRC=1\r\n#Check MD5=0\r\n#Check SHA1=0\r\n"), std::string::npos) << settings;
    EXPECT_FALSE(fs::exists(root / "usr/lib/tavrenne/tavr2.ini"));
}

}  // namespace
