#include "platform/IconLookup.h"

#include <QBuffer>
#include <QFileIconProvider>
#include <QImageReader>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <map>
#include <vector>

#include "engine/version/VersionResource.h"

namespace {

std::map<TIconHandle, QIcon>& Icons() {
    static std::map<TIconHandle, QIcon> icons;
    return icons;
}
TIconHandle g_next = 1;

// The icon of the file's type from the desktop's icon theme; Adwaita (installed with the
// program's packages) answers when the desktop names no theme or lacks the icon.
QIcon TypeIcon(const QString& path) {
    static const bool once = [] {
        // Without a desktop's platform theme Qt searches only its resources: add the XDG folders.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& dir :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory))
            if (!paths.contains(dir)) paths << dir;
        QIcon::setThemeSearchPaths(paths);
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)once;
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(path);
    for (const QString& name : {mime.iconName(), mime.genericIconName(), QStringLiteral("text-x-generic")}) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull()) return icon;
    }
    static QFileIconProvider provider;
    return provider.icon(QFileInfo(path));
}

// A Windows program's own icon, as the Windows shell shows it: the images of its first icon
// group, each at its own size. Null when it has none or they do not decode.
QIcon ProgramIcon(const std::string& path) {
    const std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    const QString lower = QString::fromStdString(ext).toLower();
    if (lower != QLatin1String(".exe") && lower != QLatin1String(".dll")) return QIcon();
    const std::vector<uint8_t> ico = version::LoadIconFile(path);
    if (ico.empty()) return QIcon();
    QByteArray bytes(reinterpret_cast<const char*>(ico.data()), qsizetype(ico.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        const QImage image = reader.read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace

TIconHandle LookupFileIcon(const std::string& path, bool /*small*/) {
    QIcon icon = ProgramIcon(path);
    if (icon.isNull()) icon = TypeIcon(QString::fromStdString(path));
    if (icon.isNull()) return 0;
    const TIconHandle handle = g_next++;
    Icons()[handle] = icon;
    return handle;
}

void InstallIconLookup() { SetIconLookup(&LookupFileIcon); }

QIcon IconForHandle(TIconHandle handle) {
    const auto it = Icons().find(handle);
    return it == Icons().end() ? QIcon() : it->second;
}

void ReleaseIcon(TIconHandle handle) { Icons().erase(handle); }

size_t IconHandleCount() { return Icons().size(); }
