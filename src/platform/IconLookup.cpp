#include "platform/IconLookup.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <map>

namespace {

std::map<TIconHandle, QIcon>& Icons() {
    static std::map<TIconHandle, QIcon> icons;
    return icons;
}
TIconHandle g_next = 1;

}  // namespace

TIconHandle LookupFileIcon(const std::string& path, bool /*small*/) {
    static QFileIconProvider provider;
    const QIcon icon = provider.icon(QFileInfo(QString::fromStdString(path)));
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
