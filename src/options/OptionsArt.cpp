#include "options/OptionsArt.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor kDeepBlue(0x0b, 0x2f, 0x8a);
const QColor kBlue(0x2a, 0x5b, 0xd7);
const QColor kGreen(0x2e, 0x9e, 0x4f);

// The program's mark: a page with digest lines and a check, on a blue badge.
void DrawBadge(QPainter& p, const QRectF& r) {
    QLinearGradient fill(r.topLeft(), r.bottomRight());
    fill.setColorAt(0, kBlue);
    fill.setColorAt(1, kDeepBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(r, r.width() * 0.2, r.width() * 0.2);

    const double u = r.width() / 48.0;
    const QPointF o = r.topLeft();
    QPainterPath page;
    page.moveTo(o + QPointF(13 * u, 8 * u));
    page.lineTo(o + QPointF(29 * u, 8 * u));
    page.lineTo(o + QPointF(36 * u, 15 * u));
    page.lineTo(o + QPointF(36 * u, 40 * u));
    page.lineTo(o + QPointF(13 * u, 40 * u));
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xc9, 0xd7, 0xf2));
    p.drawPolygon(QPolygonF({o + QPointF(29 * u, 8 * u), o + QPointF(29 * u, 15 * u), o + QPointF(36 * u, 15 * u)}));
    p.setPen(QPen(QColor(0x7d, 0x95, 0xc9), 2 * u, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) p.drawLine(o + QPointF(17 * u, (20 + 5 * i) * u), o + QPointF((31 - 4 * i) * u, (20 + 5 * i) * u));

    const QPointF c = o + QPointF(35 * u, 36 * u);
    p.setPen(QPen(Qt::white, 1.5 * u));
    p.setBrush(kGreen);
    p.drawEllipse(c, 8 * u, 8 * u);
    p.setPen(QPen(Qt::white, 2.2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({c + QPointF(-4 * u, 0), c + QPointF(-1 * u, 3 * u), c + QPointF(4 * u, -3 * u)}));
}

QFont Sized(const QFont& base, int pixels, bool bold) {
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}  // namespace

QImage HeaderLogoArt() {
    QImage image(245, 58, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBadge(p, QRectF(4, 5, 48, 48));

    p.setPen(kDeepBlue);
    p.setFont(Sized(QFont(QStringLiteral("DejaVu Sans")), 24, true));
    p.drawText(QPointF(62, 31), QStringLiteral("Tavrenne"));
    QLinearGradient rule(62, 0, 240, 0);
    rule.setColorAt(0, kBlue);
    rule.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(62, 36, 178, 2), rule);
    p.setPen(QColor(0x6b, 0x7a, 0x90));
    p.setFont(Sized(QFont(QStringLiteral("DejaVu Sans")), 10, false));
    p.drawText(QPointF(63, 50), QStringLiteral("File Information & Digest"));
    return image;
}

QImage ResetPageArt() {
    QImage image(250, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, 200);
    back.setColorAt(0, QColor(0xf3, 0xf7, 0xff));
    back.setColorAt(1, QColor(0xd3, 0xe1, 0xfa));
    p.setPen(QPen(QColor(0x9f, 0xb6, 0xe0), 1));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(0.5, 0.5, 249, 199), 10, 10);

    // A turning arrow around three sliders: the settings go back to where they started.
    const QPointF c(125, 100);
    const double r = 66;
    p.setPen(QPen(kBlue, 11, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 110 * 16, 290 * 16);
    const double end = (110.0) * M_PI / 180.0;   // the arc's start carries the arrow head
    const QPointF tip = c + QPointF(r * std::cos(end), -r * std::sin(end));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({tip + QPointF(-16, -2), tip + QPointF(8, -17), tip + QPointF(10, 13)}));

    const double knobs[] = {0.3, 0.7, 0.5};
    for (int i = 0; i < 3; ++i) {
        const double y = c.y() - 26 + 26 * i;
        p.setPen(QPen(QColor(0x7d, 0x95, 0xc9), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 34, y), QPointF(c.x() + 34, y));
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(i == 1 ? kGreen : kDeepBlue);
        p.drawEllipse(QPointF(c.x() - 34 + 68 * knobs[i], y), 7, 7);
    }
    return image;
}

QImage MailArt() {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDeepBlue, 1));
    p.setBrush(QColor(0xfd, 0xf6, 0xe3));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 9), QPointF(14.5, 3.5)}));
    return image;
}

QImage TrayNoticeArt() {
    QImage image(200, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 40, 0, 150);
    back.setColorAt(0, Qt::white);
    back.setColorAt(1, QColor(0xe2, 0xeb, 0xfb));
    p.fillRect(image.rect(), back);
    QLinearGradient band(0, 0, 200, 0);
    band.setColorAt(0, kDeepBlue);
    band.setColorAt(1, QColor(0x4a, 0x86, 0xe8));
    p.fillRect(QRect(0, 0, 200, 40), band);
    DrawBadge(p, QRectF(7, 6, 28, 28));
    p.setPen(Qt::white);
    p.setFont(Sized(QFont(QStringLiteral("DejaVu Sans")), 15, true));
    p.drawText(QPointF(43, 26), QStringLiteral("Tavrenne"));
    p.fillRect(QRect(0, 40, 200, 2), QColor(0xf0, 0xb4, 0x28));
    p.setPen(QColor(0x6b, 0x86, 0xb8));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(QRect(0, 0, 199, 149));
    return image;
}

QImage HeaderPicture(QSize size, const QString& title, const QFont& font) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawImage(QPoint(size.width() - 250, 6), HeaderLogoArt());
    QFont f = font;
    f.setPointSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(10, 10, size.width() - 10, size.height() - 10), Qt::AlignLeft | Qt::AlignTop, title);
    return image;
}

QImage TitleStripPicture(QSize size, const QColor& face) {
    QImage image(size, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient g(0, 0, size.width() - 1, 0);
    g.setColorAt(0, QColor(0, 0, 255));
    g.setColorAt(1, face);
    p.fillRect(image.rect(), g);
    return image;
}

QImage TitledStrip(const QImage& strip, const QString& title, const QFont& font) {
    QImage image = strip.copy();
    QPainter p(&image);
    QFont f = font;
    f.setPointSize(14);
    p.setFont(f);
    p.setPen(Qt::white);
    p.setBackgroundMode(Qt::TransparentMode);
    p.drawText(QRect(11, 6, image.width() - 11, image.height() - 6), Qt::AlignLeft | Qt::AlignTop, title);
    return image;
}
