#include "app/VersionDlg.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "app/Art.h"
#include "app/Tavrenne.h"
#include "components/WindowLook.h"

namespace {
constexpr int kDesignLineHeight = 13;
constexpr int kBottomMargin = 5;  // below the second line at design (234 + 13 = 252 - 5)
}  // namespace

TAboutLineTops AboutLineTops(int lineHeight, int boxHeight) {
    // The design's lines sit right under each other near the bottom edge; a taller font's
    // lines move up by what they need instead of running into each other and the edge.
    const int height = std::max(lineHeight, kDesignLineHeight);
    const int second = boxHeight - kBottomMargin - height;
    return {second - height, second};
}

int TextTopToBaseline(const QFont& font) {
    // The em box, not the font's ascent: CJK fonts carry tall ascents.
    const QFontInfo info(font);
    return int(info.pixelSize() * 0.88 + 0.5);
}

QFont AboutLineFont(const QFont& font) {
    QFont f = font;
    f.setPointSize(10);
    return f;
}

void DrawCentredLine(QPixmap& picture, const QFont& font, const QString& text, int y) {
    const QFont f = AboutLineFont(font);
    QPainter painter(&picture);
    painter.setFont(f);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(f);
    const int x = picture.width() / 2 - metrics.horizontalAdvance(text) / 2;
    painter.drawText(x, y + metrics.ascent(), text);  // y is the top of the line
}

TVersionDlg::TVersionDlg(const TTavrenne& main, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("VersionDlg"));
    setWindowTitle(tr("%1 のバージョン情報").arg(main.ApplicationTitle()));
    setFont(main.font());
    SetFixedDialog(*this, QSize(436, 252));

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
    VersionLine = tr("アプリケーションバージョン: %1").arg(QString::fromStdString(main.ProgramInfo().FileVersion));
    BuildLine = QStringLiteral("[") + main.BuildText + QStringLiteral("  ") +
                QString::fromStdString(main.ProgramInfo().TimeTextShort) + QStringLiteral("]");
    const TAboutLineTops tops = AboutLineTops(QFontMetrics(AboutLineFont(font())).lineSpacing(), height());
    DrawCentredLine(picture, font(), VersionLine, tops.First);
    DrawCentredLine(picture, font(), BuildLine, tops.Second);
    Image1->setPixmap(picture);

    // Centred on the main window.
    const QRect owner = main.frameGeometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));
}
