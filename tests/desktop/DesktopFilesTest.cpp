// The files tavrfix writes and removes, in a scratch home: modes kept, temporaries cleaned
// up, and failures named.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "desktop/DesktopIntegration.h"
#include "support/RunAs.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

int ToolsSucceed(const std::vector<std::string>&) { return 0; }

TDesktopEnv ScratchDesktop(const TempDir& dir) {
    TDesktopEnv env;
    env.Home = dir.file("home");
    env.DataHome = dir.file("data");
    env.ConfigHome = dir.file("config");
    env.CacheHome = dir.file("cache");
    for (const std::string& d : {env.Home, env.DataHome, env.ConfigHome, env.CacheHome}) fs::create_directories(d);
    return env;
}

mode_t ModeOf(const std::string& path) {
    struct stat st{};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A process id that no process has any more.
pid_t GonePid() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

}  // namespace

// The user's mimeapps.list keeps its mode: a private one stays private, a read-only one
// read-only, while our default comes and goes.
TEST(DesktopFiles, TheUsersListKeepsItsMode) {
    for (const mode_t mode : {mode_t(0600), mode_t(0400), mode_t(0644)}) {
        TempDir dir;
        const TDesktopEnv env = ScratchDesktop(dir);
        const std::string list = dir.write("config/mimeapps.list", "[Default Applications]\ntext/plain=ed.desktop;\n");
        chmod(list.c_str(), mode);
        TDesktopProblems problems;
        ASSERT_TRUE(InstallAssociation(env, "/opt/t/tavrenne", 3, ToolsSucceed, &problems)) << problems.front();
        EXPECT_EQ(DefaultApplication(env, kMd5MimeType), kDesktopId);
        EXPECT_EQ(ModeOf(list), mode);
        ASSERT_TRUE(RemoveAssociation(env, ToolsSucceed, &problems));
        EXPECT_EQ(ReadBytes(list), "[Default Applications]\ntext/plain=ed.desktop;\n");
        EXPECT_EQ(ModeOf(list), mode);
        EXPECT_TRUE(problems.empty());
    }
}

// Whatever a helper stopped while writing left beside any of its files goes with "-O":
// this version's temporaries and older versions' "*.tavrfix-tmp"; the rest stays.
TEST(DesktopFiles, CleanUpRemovesHalfWrittenTemporariesOfEveryFile) {
    TempDir dir;
    const TDesktopEnv env = ScratchDesktop(dir);
    ASSERT_TRUE(InstallActions(env, "/bin/true"));
    const std::vector<std::string> files = WrittenFiles(env);
    EXPECT_EQ(files.size(), 4u + kMd5IconCount + 2 * ActionChoices().size());
    const std::string gone = std::to_string(GonePid());
    std::vector<fs::path> leftovers;
    for (const std::string& file : files) {
        const fs::path p(file);
        fs::create_directories(p.parent_path());
        leftovers.push_back(file + ".tavrfix-tmp");
        leftovers.push_back(p.parent_path() / ("." + p.filename().string() + ".tmp" + gone + "-1"));
    }
    for (const fs::path& p : leftovers) std::ofstream(p) << "half";
    const std::string mine = dir.write("data/applications/other.desktop.tavrfix-tmp.keep", "not ours");

    TDesktopProblems problems;
    EXPECT_TRUE(RemoveStaleEntries(env, ToolsSucceed, &problems));
    EXPECT_TRUE(problems.empty());
    for (const fs::path& p : leftovers) EXPECT_FALSE(fs::exists(p)) << p;
    EXPECT_EQ(ReadBytes(mine), "not ours");
    EXPECT_TRUE(ActionsInstalled(env));   // its program is there: the actions stay
}

// A folder the helper may not write into is named with the system's reason.
TEST(DesktopFiles, AReadOnlyConfigFolderIsNamed) {
    TempDir dir;
    const TDesktopEnv env = ScratchDesktop(dir);
    chmod(env.ConfigHome.c_str(), 0555);
    // As root the test runs the helper's work as nobody, who must own the rest of the home.
    if (geteuid() == 0)
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            if (e.path() != fs::path(env.ConfigHome)) lchown(e.path().c_str(), 65534, 65534);
    const std::string expected = env.ConfigHome + "/mimeapps.list: " + std::strerror(EACCES);
    const int status = AsOrdinaryUser(dir.path(), [&] {
        TDesktopProblems problems;
        const bool ok = InstallAssociation(env, "/opt/t/tavrenne", 0, ToolsSucceed, &problems);
        return (ok ? 1 : 0) | (problems == TDesktopProblems{expected} ? 0 : 2);
    });
    chmod(env.ConfigHome.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(MimePackageFile(env)));   // the rest was written
}
