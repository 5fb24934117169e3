// The string-to-hash dialog: the MD5 of a typed text's Shift_JIS bytes.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class Tconv : public QDialog {
    Q_OBJECT

public:
    // Centred over `owner`; `title` is the application's title.
    Tconv(QWidget* owner, const QString& title);

    void BitBtn1Click();

    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

private:
    QString title_;
};

// Why `text` (UTF-8) has no Shift_JIS bytes of its own; empty when it has.
QString UnmappableProblem(const std::string& text);
