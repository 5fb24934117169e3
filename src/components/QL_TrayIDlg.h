// A small borderless notice that slides out of the taskbar's corner: an optional picture with
// lines of text drawn on it, an OK button, and hiding by itself after a time-out.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>

class QPushButton;
class QTimer;
class QWidget;

class TQL_TrayInfoDlg : public QObject {
    Q_OBJECT

public:
    explicit TQL_TrayInfoDlg(QObject* owner = nullptr);
    ~TQL_TrayInfoDlg() override;

    void SetBitmapImage(const QImage& image);
    void SetDlgButtonVisible(bool visible);
    void ShowDlg();
    void HideDlg();
    // One line of text onto the working picture, cut to TextLen bytes of the code page.
    void DrawDlgText(const QString& text, int x, int y, const QFont& font, bool resetFirst);
    void ResetDlgImage();

    QWidget* Window() const { return window_; }

private:
    QWidget* window_ = nullptr;
};
