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

    // "ファイルを追加しています... <index>"; every eighth call repaints and lets messages run.
    void ShowProgress(int index);

    int32_t FTickCount = 0;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    Tallcheck* owner_;
};
