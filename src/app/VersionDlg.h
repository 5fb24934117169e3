// The about box: the program's picture with its version and build lines drawn on it.
#pragma once

#include <QDialog>

class QLabel;
class TTavrenne;

class TVersionDlg : public QDialog {
    Q_OBJECT
public:
    TVersionDlg(const TTavrenne& main, QWidget* parent = nullptr);
    QLabel* Image1 = nullptr;
    // The two lines drawn on the picture.
    QString VersionLine;
    QString BuildLine;
};

// Tops of the version and build lines for the font's line height in a box this high: at the
// design's 13 pixels, 221 and 234.
struct TAboutLineTops {
    int First;
    int Second;
};
TAboutLineTops AboutLineTops(int lineHeight, int boxHeight);
// Distance from the top of a line of text to its baseline by the em box (the splash).
int TextTopToBaseline(const QFont& font);
// The lines' font: the dialog's at 10 points.
QFont AboutLineFont(const QFont& font);
// Draws `text` centred on the half width of `picture` with its line's top at y, black, transparent.
void DrawCentredLine(QPixmap& picture, const QFont& font, const QString& text, int y);
