// The small dialog shown while files are being added, with its abort button.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class Tallcheck;

class Tacdlgf : public QDialog {
    Q_OBJECT

public:
    Tacdlgf(Tallcheck* owner, const QString& title);

    // Shows the dialog and paints it once the window manager has put it on the screen, so it
    // is seen whole before the adding loop, which lets no messages run until its eighth file.
    void ShowPainted();

    // "ファイルを追加しています... <index>"; every eighth call repaints and lets messages run.
    void ShowProgress(int index);

    int32_t FTickCount = 0;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tallcheck* owner_;
};
