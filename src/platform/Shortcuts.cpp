#include "platform/Shortcuts.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "engine/FileUtils.h"
#include "desktop/DesktopIntegration.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kLinkName = "Tavrenne.desktop";

void DeleteLink(const std::string& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

// The menu shows launchers of the "Quillory" folder as a submenu of that name only when a
// merge file says so (the folder's launchers have the desktop ID "Quillory-Tavrenne.desktop").
void WriteQuilloryMenu() {
    const TDesktopEnv env = TDesktopEnv::FromEnvironment();
    std::error_code ec;
    fs::create_directories(env.ConfigHome + "/menus/applications-merged", ec);
    std::ofstream(env.ConfigHome + "/menus/applications-merged/quillory.menu", std::ios::binary)
        << "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
           "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>Quillory</Name>\n"
           "    <Directory>quillory.directory</Directory>\n"
           "    <Include><Filename>Quillory-Tavrenne.desktop</Filename></Include>\n  </Menu>\n</Menu>\n";
    fs::create_directories(env.DataHome + "/desktop-directories", ec);
    std::ofstream(env.DataHome + "/desktop-directories/quillory.directory", std::ios::binary)
        << "[Desktop Entry]\nType=Directory\nName=Quillory\nIcon=" << ProgramIconName() << "\n";
}

}  // namespace

TQL_ShortcutControl::TQL_ShortcutControl() { GetSpecialFolders(folders_); }

void TQL_ShortcutControl::SetTarget(const std::string& target) {
    if (target != info_.Target) info_.Target = target;
}

void TQL_ShortcutControl::SetLinkFile(const std::string& linkFile) { info_.LinkFile = linkFile; }

void TQL_ShortcutControl::SetArguments(const std::string& arguments) { info_.Arguments = arguments; }

bool TQL_ShortcutControl::SaveLink() {
    if (info_.Target.empty()) return false;
    const std::string link = info_.LinkFile.empty() ? ChangeFileExt(info_.Target, ".desktop") : info_.LinkFile;
    std::string exec = ExecProgram(info_.Target);
    if (!info_.Arguments.empty()) exec += " " + info_.Arguments;
    const std::string folder = fs::path(info_.Target).parent_path().string();
    // The send-to launcher is offered for every file in the file managers' "open with" list,
    // and only there: in the applications menu it would be a second "Tavrenne" that starts
    // with a switch and no file.
    const bool sendTo = !folders_.SendTo.empty() && fs::path(link).parent_path() == fs::path(folders_.SendTo);
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Tavrenne\n"
                       "Exec=" + exec + " %f\n"
                       "Path=" + folder + "\n"
                       "Icon=" + (info_.IconFile.empty() ? ProgramIconName() : info_.IconFile) + "\n"
                       "Terminal=false\n"
                       "Categories=Utility;\n";
    if (sendTo) text += "MimeType=application/octet-stream;\nNoDisplay=true\n";
    std::ofstream out(link, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.close();
    if (!out) return false;
    // File managers start a launcher on the desktop only when it is executable.
    std::error_code ec;
    fs::permissions(link, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add,
                    ec);
    return true;
}

std::string SendToArguments(int item) {
    static const char* const switches[] = {"-m", "-h", "-c", "-a", ""};
    return item >= 0 && item < 5 ? switches[item] : "";
}

void MakeShortcuts(const TQL_SpFolder& folders, const std::string& program, bool desktop, bool startMenu, bool sendTo,
                   int sendToItem) {
    TQL_ShortcutControl control;
    control.SetTarget(program);

    const std::string desktopLink = folders.Desktop + "/" + kLinkName;
    if (desktop) {
        control.SetLinkFile(desktopLink);
        control.SaveLink();
    } else {
        DeleteLink(desktopLink);
    }

    const std::string sendToLink = folders.SendTo + "/" + kLinkName;
    if (sendTo) {
        control.SetLinkFile(sendToLink);
        control.SetArguments(SendToArguments(sendToItem));
        control.SaveLink();
        control.SetArguments("");
    } else {
        DeleteLink(sendToLink);
    }

    const std::string menuFolder = folders.StartMenu + "/Quillory";
    if (startMenu) {
        std::error_code ec;
        if (!fs::is_directory(menuFolder, ec)) fs::create_directory(menuFolder, ec);
        control.SetLinkFile(menuFolder + "/" + kLinkName);
        if (control.SaveLink()) WriteQuilloryMenu();
    } else {
        DeleteLink(menuFolder + "/" + kLinkName);
    }
}

void MakeShortcuts(bool desktop, bool startMenu, bool sendTo, int sendToItem) {
    TQL_SpFolder folders;
    GetSpecialFolders(folders);
    MakeShortcuts(folders, Platform().ProgramFile().toStdString(), desktop, startMenu, sendTo, sendToItem);
}
