// Desktop, menu and send-to launchers in a scratch home; every file written must pass
// desktop-file-validate.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>

#include "fakes/FakePlatform.h"
#include "platform/Shortcuts.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

class Shortcuts : public ::testing::Test {
protected:
    TempDir dir_;
    TFakePlatform platform_;
    TQL_SpFolder folders_;
    std::string program_ = TAV_BINARY_DIR "/bin/tavrenne";
    std::vector<std::pair<const char*, QByteArray>> saved_;

    void SetUp() override {
        for (const char* sub : {"home/Desktop", "data/applications", "config"}) fs::create_directories(dir_.path() / sub);
        for (auto [name, sub] : {std::pair{"HOME", "home"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"}}) {
            saved_.emplace_back(name, qgetenv(name));
            qputenv(name, QByteArray::fromStdString(dir_.file(sub)));
        }
        platform_.Folder = QString::fromStdString(dir_.file("prog"));
        SetPlatform(&platform_);
        GetSpecialFolders(folders_);
    }
    void TearDown() override {
        SetPlatform(nullptr);
        for (const auto& [name, value] : saved_) qputenv(name, value);
    }

    std::string Desktop() const { return folders_.Desktop + "/Tavrenne.desktop"; }
    std::string SendTo() const { return folders_.SendTo + "/Tavrenne.desktop"; }
    std::string Menu() const { return folders_.StartMenu + "/Quillory/Tavrenne.desktop"; }

    static bool Valid(const std::string& file) {
        QProcess p;
        p.start("desktop-file-validate", {QString::fromStdString(file)});
        return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
               !p.readAllStandardOutput().contains("error:");
    }
    static std::string ExecLine(const std::string& file) {
        const std::string text = ReadBytes(file);
        const size_t at = text.find("\nExec=");
        return at == std::string::npos ? "" : text.substr(at + 6, text.find('\n', at + 1) - at - 6);
    }
};

TEST_F(Shortcuts, TheFoldersAreTheScratchHomes) {
    EXPECT_EQ(folders_.Desktop, dir_.file("home/Desktop"));
    EXPECT_EQ(folders_.SendTo, dir_.file("data/applications"));
}

TEST_F(Shortcuts, SendToCarriesTheSwitchOfTheChosenItem) {
    const std::pair<int, std::string> cases[] = {
        {0, " -m"}, {1, " -h"}, {2, " -c"}, {3, " -a"}, {4, ""},   // "何もしない": the file alone
    };
    for (const auto& [item, args] : cases) {
        MakeShortcuts(folders_, program_, false, false, true, item);
        EXPECT_EQ(ExecLine(SendTo()), program_ + args + " %f") << item;
        EXPECT_TRUE(Valid(SendTo())) << ReadBytes(SendTo());
    }
    const std::string text = ReadBytes(SendTo());
    EXPECT_NE(text.find("\nPath=" TAV_BINARY_DIR "/bin\n"), std::string::npos);   // the program's folder
    EXPECT_NE(text.find("\nMimeType=application/octet-stream;\n"), std::string::npos);
    // Offered for files only: the menus leave it out.
    EXPECT_NE(text.find("\nNoDisplay=true\n"), std::string::npos);
    MakeShortcuts(folders_, program_, true, true, false, 0);
    EXPECT_EQ(ReadBytes(Desktop()).find("NoDisplay"), std::string::npos);
    EXPECT_EQ(ReadBytes(Menu()).find("NoDisplay"), std::string::npos);
}

TEST_F(Shortcuts, CheckedCreatesOrOverwritesAndUncheckedDeletes) {
    std::ofstream(Desktop()) << "old";
    std::ofstream(SendTo()) << "old";
    MakeShortcuts(folders_, program_, true, false, false, 0);
    EXPECT_TRUE(Valid(Desktop())) << ReadBytes(Desktop());
    EXPECT_EQ(ExecLine(Desktop()), program_ + " %f");
    EXPECT_NE(fs::status(Desktop()).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_FALSE(fs::exists(SendTo()));

    // A menu launcher left by an installer goes on any press; its folder stays.
    fs::create_directories(fs::path(Menu()).parent_path());
    std::ofstream(Menu()) << "installer";
    MakeShortcuts(folders_, program_, false, false, false, 0);
    EXPECT_FALSE(fs::exists(Desktop()));
    EXPECT_FALSE(fs::exists(Menu()));
    EXPECT_TRUE(fs::is_directory(fs::path(Menu()).parent_path()));

    // Wanted, the menu folder is made one level deep.
    fs::remove(fs::path(Menu()).parent_path());
    MakeShortcuts(folders_, program_, false, true, false, 0);
    EXPECT_TRUE(Valid(Menu())) << ReadBytes(Menu());
    const std::string menu = ReadBytes(dir_.path() / "config/menus/applications-merged/quillory.menu");
    EXPECT_NE(menu.find("<Name>Quillory</Name>"), std::string::npos);
    EXPECT_NE(menu.find("<Filename>Quillory-Tavrenne.desktop</Filename>"), std::string::npos);
    EXPECT_TRUE(Valid(dir_.file("data/desktop-directories/quillory.directory")));
}

TEST_F(Shortcuts, NothingWantedAndNothingThereChangesNothing) {
    MakeShortcuts(folders_, program_, false, false, false, 2);
    EXPECT_TRUE(fs::is_empty(folders_.Desktop));
    EXPECT_TRUE(fs::is_empty(folders_.SendTo));
}

TEST_F(Shortcuts, SaveLinkFailsWithoutATargetOrAFolder) {
    TQL_ShortcutControl control;
    control.SetLinkFile(dir_.file("a.desktop"));
    EXPECT_FALSE(control.SaveLink());
    control.SetTarget(program_);
    control.SetLinkFile(dir_.file("missing/a.desktop"));
    EXPECT_FALSE(control.SaveLink());
    // Without a link file, the target's name with ".desktop" beside it.
    const std::string target = dir_.write("tool", "");
    control.SetTarget(target);
    control.SetLinkFile("");
    EXPECT_TRUE(control.SaveLink());
    EXPECT_TRUE(Valid(dir_.file("tool.desktop")));
}

}  // namespace
