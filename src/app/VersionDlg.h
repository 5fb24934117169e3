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

// Distance from the top of a line of text to its baseline.
int TextTopToBaseline(const QFont& font);
// Draws `text` centred on the half width of `picture` at top y, 10 points, black, transparent.
void DrawCentredLine(QPixmap& picture, const QFont& font, const QString& text, int y);
