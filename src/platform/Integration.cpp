#include "platform/Integration.h"

#include <utility>

#include "engine/FileUtils.h"
#include "desktop/DesktopIntegration.h"
#include "platform/PathText.h"
#include "platform/Platform.h"

void StartHelper(const QString& parameters) {
    Platform().StartProgram(PathToQString(ProgramLayout().HelperProgram()), parameters);
}

QPixmap Md5IconPixmap(int index, int size) {
    QPixmap pixmap;
    if (index < 0 || index >= kMd5IconCount) return pixmap;
    const std::string svg = Md5IconSvg(index);
    if (!pixmap.loadFromData(reinterpret_cast<const uchar*>(svg.data()), static_cast<uint>(svg.size()), "SVG")) return pixmap;
    return pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

TAssociationControl::TAssociationControl(TDesktopEnv env) : env_(std::move(env)) {}

bool TAssociationControl::IsAssociated() {
    const std::optional<std::string> icon = AssociatedIconText(env_, Platform().ProgramFile().toStdString());
    if (!icon) {
        previewVisible_ = false;
        return false;
    }
    ShowAssociatedIcon(*icon);
    return true;
}

void TAssociationControl::ShowAssociatedIcon(const std::string& text) {
    previewVisible_ = false;
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return;
    const std::string digits = text.substr(comma + 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return;
    const int index = std::stoi(digits);
    previewIcon_ = index;
    previewVisible_ = true;
    FIconIndex = index;
}

bool TAssociationControl::IsShellIntegrated() const { return ActionsInstalled(env_); }

void TAssociationControl::SetAssociation(bool on, int selectedIndex) {
    StartHelper(on ? QStringLiteral("-I %1").arg(selectedIndex) : QStringLiteral("-F"));
    previewVisible_ = on;
}

void TAssociationControl::CheckOldVersion() {
    const std::string helper = ProgramLayout().HelperProgram();
    if (FileExistsByAge(helper)) StartHelper(QStringLiteral("-O"));
}
