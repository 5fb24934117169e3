// The .deb as a user gets it: built by CPack from this build, accepted by lintian, unpacked
// into a scratch root where the installed programs run.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int Code = -1;
    std::string Out;
};

Outcome Execute(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
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

    const Outcome cpack = Execute("cpack", {"--config", TAV_BINARY_DIR "/CPackConfig.cmake", "-G", "DEB", "-B",
                                            Q(dir.path() / "out")}, env);
    ASSERT_EQ(cpack.Code, 0) << cpack.Out;
    fs::path deb;
    for (const auto& e : fs::directory_iterator(dir.path() / "out"))
        if (e.path().extension() == ".deb") deb = e.path();
    ASSERT_FALSE(deb.empty()) << cpack.Out;

    const Outcome lintian = Execute("lintian", {"--fail-on", "error", Q(deb)}, env);
    EXPECT_EQ(lintian.Code, 0) << lintian.Out;
    EXPECT_EQ(lintian.Out.find("\nE: "), std::string::npos) << lintian.Out;

    const fs::path root = dir.path() / "root";
    ASSERT_EQ(Execute("dpkg-deb", {"-x", Q(deb), Q(root)}, env).Code, 0);
    for (const char* file : {"usr/lib/tavrenne/tavrenne", "usr/lib/tavrenne/tavrfix", "usr/share/applications/tavrenne.desktop",
                             "usr/share/mime/packages/tavrenne-md5.xml", "usr/share/icons/hicolor/scalable/apps/tavrenne.svg",
                             "usr/share/icons/hicolor/scalable/mimetypes/tavrenne-md5-14.svg",
                             "usr/share/metainfo/io.github.quillory.tavrenne.metainfo.xml", "usr/share/doc/tavrenne/copyright"})
        EXPECT_TRUE(fs::exists(root / file)) << file;
    EXPECT_EQ(Execute("desktop-file-validate", {Q(root / "usr/share/applications/tavrenne.desktop")}, env).Code, 0);

    // The installed command-line tool analyses a file through its link in bin.
    const std::string file = dir.write("abc.txt", "abc");
    const Outcome hash = Execute(Q(root / "usr/bin/tavrenne-cli"), {"hash", "md5", QString::fromStdString(file)}, env);
    EXPECT_EQ(hash.Code, 0) << hash.Out;
    EXPECT_NE(hash.Out.find("900150983cd24fb0d6963f7d28e17f72"), std::string::npos) << hash.Out;

    // The installed helper makes the installed program the .MD5 handler.
    ASSERT_EQ(Execute(Q(root / "usr/lib/tavrenne/tavrfix"), {"-I", "7"}, env).Code, 0);
    const std::string entry = ReadBytes(dir.path() / "data/applications/tavrenne.desktop");
    EXPECT_NE(entry.find("\nExec=" + (root / "usr/lib/tavrenne/tavrenne").string() + " %F\n"), std::string::npos) << entry;
}

}  // namespace
