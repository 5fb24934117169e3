#include "app/VersionDlg.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include "app/Art.h"
#include "app/Tavrenne.h"

int TextTopToBaseline(const QFont& font) {
    // The em box, not the font's ascent: CJK fonts carry tall ascents that would push the
    // two 13-pixel-apart lines into each other.
    const QFontInfo info(font);
    return int(info.pixelSize() * 0.88 + 0.5);
}

void DrawCentredLine(QPixmap& picture, const QFont& font, const QString& text, int y) {
    QFont f = font;
    f.setPointSize(10);
    QPainter painter(&picture);
    painter.setFont(f);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(f);
    const int x = picture.width() / 2 - metrics.horizontalAdvance(text) / 2;
    painter.drawText(x, y + TextTopToBaseline(f), text);  // y is the top of the text
}

TVersionDlg::TVersionDlg(const TTavrenne& main, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("VersionDlg"));
    setWindowTitle(main.ApplicationTitle + QStringLiteral(" のバージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(main.font());
    setFixedSize(436, 252);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 442, 253);
    QPixmap picture(442, 253);
    picture.fill(Qt::white);
    const QPixmap art = SplashPicture();
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, art);
    }
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    VersionLine = QStringLiteral("アプリケーションバージョン: ") + QString::fromStdString(main.ProgramInfo.FileVersion);
    BuildLine = QStringLiteral("[") + main.BuildText + QStringLiteral("  ") +
                QString::fromStdString(main.ProgramInfo.TimeTextShort) + QStringLiteral("]");
    DrawCentredLine(picture, font(), VersionLine, 221);
    DrawCentredLine(picture, font(), BuildLine, 234);
    Image1->setPixmap(picture);

    // Centred on the main window.
    const QRect owner = main.frameGeometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
}
