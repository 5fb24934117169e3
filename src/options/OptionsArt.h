// The options dialog's pictures, drawn here rather than loaded: the header, the page-title
// strip, the initialisation page's picture and the tray notice's background.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// The logo drawn into the header's right end (245 x 58).
QImage HeaderLogoArt();
// The picture of the initialisation page (250 x 200).
QImage ResetPageArt();
// A small envelope for the mail link (16 x 16).
QImage MailArt();
// The tray notice's background (200 x 150); its lines are drawn from y 50 on.
QImage TrayNoticeArt();

// White, the logo at (width - 250, 6) and `title` at (10, 10) in `font`.
QImage HeaderPicture(QSize size, const QString& title, const QFont& font);
// 24 bits per pixel, a horizontal gradient from pure blue to `face`.
QImage TitleStripPicture(QSize size, const QColor& face);
// The strip with `title` written on it in white at (11, 6).
QImage TitledStrip(const QImage& strip, const QString& title, const QFont& font);
