// Which user folders tavrfix and the program agree on, and whose default application counts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "desktop/DesktopEnv.h"
#include "desktop/DesktopIntegration.h"
#include "support/TempDir.h"

namespace {

std::map<std::string, std::string> gVars;
const char* Get(const char* name) {
    const auto it = gVars.find(name);
    return it == gVars.end() ? nullptr : it->second.c_str();
}

TEST(DesktopEnv, TheBaseDirectoryRulesFillWhatIsUnsetEmptyOrRelative) {
    gVars = {{"HOME", "/home/u"}};
    TDesktopEnv env = TDesktopEnv::From(Get);
    EXPECT_EQ(env.DataHome, "/home/u/.local/share");
    EXPECT_EQ(env.ConfigHome, "/home/u/.config");
    EXPECT_EQ(env.CacheHome, "/home/u/.cache");
    EXPECT_EQ(env.DataDirs, (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
    EXPECT_EQ(env.ConfigDirs, (std::vector<std::string>{"/etc/xdg"}));
    EXPECT_TRUE(env.Desktops.empty());

    gVars = {{"HOME", "/home/u"}, {"XDG_DATA_HOME", "rel/data"}, {"XDG_CONFIG_HOME", ""}, {"XDG_CACHE_HOME", "/c"},
             {"XDG_DATA_DIRS", "/a::/b"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}};
    env = TDesktopEnv::From(Get);
    EXPECT_EQ(env.DataHome, "/home/u/.local/share");
    EXPECT_EQ(env.ConfigHome, "/home/u/.config");
    EXPECT_EQ(env.CacheHome, "/c");
    EXPECT_EQ(env.DataDirs, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(env.Desktops, (std::vector<std::string>{"ubuntu", "gnome"}));
}

TEST(DesktopEnv, TheDesktopsOwnListAndTheUsersListComeFirst) {
    TempDir dir;
    TDesktopEnv env;
    env.ConfigHome = dir.file("config");
    env.DataHome = dir.file("data");
    env.ConfigDirs = {dir.file("etc")};
    env.Desktops = {"kde"};
    for (const char* sub : {"config", "data/applications", "etc"}) std::filesystem::create_directories(dir.path() / sub);
    const std::string type = kMd5MimeType;
    EXPECT_EQ(DefaultApplication(env, type), "");

    dir.write("data/applications/mimeapps.list", "[Default Applications]\n" + type + "=data.desktop;\n");
    EXPECT_EQ(DefaultApplication(env, type), "data.desktop");
    dir.write("etc/mimeapps.list", "[Default Applications]\n" + type + "=system.desktop\n");
    EXPECT_EQ(DefaultApplication(env, type), "system.desktop");
    // A key in another section is no default.
    dir.write("config/mimeapps.list", "[Added Associations]\n" + type + "=added.desktop;\n\n[Default Applications]\n"
                                      "text/plain=editor.desktop;\n");
    EXPECT_EQ(DefaultApplication(env, type), "system.desktop");
    dir.write("config/mimeapps.list", "[Default Applications]\n" + type + "=user.desktop;other.desktop;\n");
    EXPECT_EQ(DefaultApplication(env, type), "user.desktop");
    dir.write("config/kde-mimeapps.list", "[Default Applications]\n" + type + "=kde.desktop;\n");
    EXPECT_EQ(DefaultApplication(env, type), "kde.desktop");
}

TEST(DesktopEnv, ExecQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(ExecProgram("/usr/lib/tavrenne/tavrenne"), "/usr/lib/tavrenne/tavrenne");
    EXPECT_EQ(ExecProgram("/opt/my apps/tavrenne"), "\"/opt/my apps/tavrenne\"");
    // Inside the quotes `"`, `$` and `\` are escaped, then the value's backslashes doubled.
    EXPECT_EQ(ExecProgram("/x/a\"b$c\\d"), "\"/x/a\\\\\"b\\\\$c\\\\\\\\d\"");
    EXPECT_EQ(ExecProgram("/x/100%/t"), "/x/100%%/t");
}

}  // namespace
