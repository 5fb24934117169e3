// The Digest tool: writes HTTP Digest password files (user:realm:HA1 lines).
#pragma once

#include <QDialog>
#include <QPixmap>

#include "platform/Path.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TQL_ImageLabel;

class TDigestPassDlg : public QDialog {
    Q_OBJECT

public:
    // `banner` is the small picture drawn at the right of the banner; `title` the
    // application's title.
    TDigestPassDlg(QWidget* owner, const QPixmap& banner, const QString& title);
    ~TDigestPassDlg() override;   // FormDestroy: remembers the target file

    void BitBtn1Click();
    void QL_ImageLabel1Click();
    void QL_ImageLabel2Click();

    // RadioGroup1's ItemIndex: 0 create a new file, 1 add to an existing one.
    int Mode() const;
    void SetMode(int index);
    TPath TargetPath() const { return target_; }
    void SetTargetPath(const TPath& path);

    QLabel* Image1 = nullptr;
    QLineEdit *LabeledEdit1 = nullptr, *LabeledEdit2 = nullptr, *LabeledEdit3 = nullptr;
    QLabel *Label1 = nullptr, *StaticText1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton *RadioCreate = nullptr, *RadioAdd = nullptr;
    TQL_ImageLabel *QL_ImageLabel1 = nullptr, *QL_ImageLabel2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;

    static constexpr int kShortHeight = 379;
    static constexpr int kFullHeight = 522;

private:
    void FormCreate();
    void SetHeight(int height);

    QString title_;
    TPath target_;
};

// The default password file: "Digest_Pass\Digest_Pass.txt" in the program's folder.
TPath DefaultDigestPassFile();
