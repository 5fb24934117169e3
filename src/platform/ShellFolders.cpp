#include "platform/ShellFolders.h"

#include <QDir>
#include <QStandardPaths>

#include "engine/FileUtils.h"
#include "platform/Dialogs.h"

namespace {

std::string Location(QStandardPaths::StandardLocation location) {
    return GetLongPath(QStandardPaths::writableLocation(location).toStdString());
}

}  // namespace

void GetSpecialFolders(TQL_SpFolder& folders) {
    folders = TQL_SpFolder{};
    folders.Temporary = GetLongPath(QDir::tempPath().toStdString());
    folders.Desktop = Location(QStandardPaths::DesktopLocation);
    folders.Personal = Location(QStandardPaths::DocumentsLocation);
    folders.StartMenu = Location(QStandardPaths::ApplicationsLocation);
    folders.SendTo = folders.StartMenu;
}

std::string SelectFolder(const std::string& title, const std::string& root) {
    return Dialogs().SelectFolder(QString::fromStdString(title), QString::fromStdString(root)).toStdString();
}
