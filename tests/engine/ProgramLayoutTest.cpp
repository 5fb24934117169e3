// Where the program keeps its files: beside itself, or in the user's folders when it is
// installed where it may not write.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "engine/ProgramLayout.h"
#include "support/TempDir.h"

namespace {

std::map<std::string, std::string> g_env;
const char* FakeGetenv(const char* name) {
    const auto it = g_env.find(name);
    return it == g_env.end() ? nullptr : it->second.c_str();
}

}  // namespace

TEST(ProgramLayout, BesideTheProgramWhereItMayWrite) {
    TempDir dir;
    const std::string folder = dir.path().string();
    const TProgramLayout layout(folder + "/", &FakeGetenv);
    EXPECT_FALSE(layout.Installed());
    EXPECT_EQ(layout.Folder(), folder);
    EXPECT_EQ(layout.SettingsFile(), folder + "/tavr2.ini");
    EXPECT_EQ(layout.CacheFolder(), folder + "/Cache");
    EXPECT_EQ(layout.DigestPassFolder(), folder + "/Digest_Pass");
    EXPECT_EQ(layout.HelperProgram(), folder + "/tavrfix");
    EXPECT_EQ(layout.HelpFile(), folder + "/manual/index.html");
    EXPECT_EQ(layout.ShutdownLog("/data/sub/setup.exe"), folder + "/setup.log");
}

// /proc/1 is a folder not even root may write to, as a system-wide install is for a user.
TEST(ProgramLayout, InTheUsersFoldersWhenInstalled) {
    TempDir home;
    const std::string h = home.path().string();
    g_env = {{"HOME", h}, {"XDG_CONFIG_HOME", h + "/conf"}};   // the others from HOME
    const TProgramLayout layout("/proc/1", &FakeGetenv);
    EXPECT_TRUE(layout.Installed());
    EXPECT_EQ(layout.SettingsFile(), h + "/conf/tavrenne/tavr2.ini");
    EXPECT_EQ(layout.CacheFolder(), h + "/.cache/tavrenne/Cache");
    EXPECT_EQ(layout.DigestPassFolder(), h + "/.local/share/tavrenne/Digest_Pass");
    EXPECT_EQ(layout.ShutdownLog("/data/setup.exe"), h + "/.local/share/tavrenne/setup.log");
    // The program's own files stay where it is.
    EXPECT_EQ(layout.HelperProgram(), "/proc/1/tavrfix");
    for (const char* f : {"/conf/tavrenne", "/.cache/tavrenne", "/.local/share/tavrenne"})
        EXPECT_TRUE(std::filesystem::is_directory(h + f)) << f;
    g_env.clear();
}
