#include "app/Art.h"

#include <QDir>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

static void InitArtResources() { Q_INIT_RESOURCE(app); }

namespace {

QString ToolImagePath(int index) {
    InitArtResources();
    static QStringList files;
    if (files.isEmpty()) {
        files = QDir(QStringLiteral(":/tavrenne/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files,
                                                                    QDir::Name);
    }
    if (index < 0 || index >= files.size()) return QString();
    return QStringLiteral(":/tavrenne/icons/") + files[index];
}

QPixmap Render(const QString& file, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(file);
    if (!renderer.isValid()) return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

}  // namespace

QPixmap ToolImagePixmap(int index, int size) { return Render(ToolImagePath(index), QSize(size, size)); }

QIcon ToolImage(int index) {
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(ToolImagePixmap(index, size));
    return icon;
}

QIcon ApplicationIcon() {
    InitArtResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(Render(QStringLiteral(":/tavrenne/tavrenne.svg"), QSize(size, size)));
    return icon;
}

QPixmap SplashPicture() {
    InitArtResources();
    return Render(QStringLiteral(":/tavrenne/splash.svg"), QSize(442, 262));
}
