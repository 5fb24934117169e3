// Shell folders from the desktop's user directories, and the folder browser through the seam.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <cstdlib>
#include <fstream>

#include "fakes/FakeDialogs.h"
#include "platform/ShellFolders.h"
#include "support/TempDir.h"

TEST(ShellFolders, FromUserDirectoriesWithoutTrailingSeparator) {
    TempDir home;
    std::filesystem::create_directories(home.path() / "config");
    std::filesystem::create_directories(home.path() / "tmp");
    home.write("config/user-dirs.dirs",
               "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs/\"\n");
    const std::string root = home.path().string();
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("TMPDIR", (root + "/tmp/").c_str(), 1);

    TQL_SpFolder f;
    f.Windows = "stale";
    GetSpecialFolders(f);
    EXPECT_EQ(f.Desktop, root + "/デスクトップ");
    EXPECT_EQ(f.Personal, root + "/Docs");
    EXPECT_EQ(f.Temporary, root + "/tmp");
    EXPECT_EQ(f.StartMenu, root + "/data/applications");
    EXPECT_EQ(f.SendTo, f.StartMenu);
    EXPECT_EQ(f.Windows, "");
    EXPECT_EQ(f.System, "");
}

TEST(ShellFolders, SelectFolderAsksThroughTheDialogs) {
    TFakeDialogs fake;
    SetDialogs(&fake);
    fake.FileAnswers.push_back(QStringLiteral("/srv/データ"));
    EXPECT_EQ(SelectFolder("フォルダ内のファイルを追加します...", ""), "/srv/データ");
    EXPECT_EQ(SelectFolder("title", "/srv"), "") << "cancelled";
    SetDialogs(nullptr);
    ASSERT_EQ(fake.Calls.size(), 2u);
    EXPECT_EQ(fake.Calls[0].Kind, "folder");
    EXPECT_EQ(fake.Calls[0].Caption, "フォルダ内のファイルを追加します...");
    EXPECT_EQ(fake.Calls[1].Text, "/srv");
}
