#include "tools/Tconv.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "components/WindowLook.h"
#include "engine/FileMD5Info.h"
#include "platform/Place.h"
#include "platform/Dialogs.h"
#include "text/Cp932.h"

QString UnmappableProblem(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t bytes = 0;
        const size_t len = cp932::NextChar(std::string_view(text).substr(i), bytes);
        const std::string one = text.substr(i, len ? len : 1);
        // Such a character would be hashed as "?": the digest would belong to another text.
        if (len == 0 || (one != "?" && cp932::FromUtf8(one) == "?"))
            return QCoreApplication::translate("Tconv", "「%1」はShift_JISで表せない文字のため、ハッシュを生成できません")
                .arg(QString::fromStdString(one));
        i += len;
    }
    return {};
}

Tconv::Tconv(QWidget* owner, const QString& title) : QDialog(owner), title_(title) {
    setObjectName(QStringLiteral("conv"));
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(12);
    setFont(f);
    SetFixedDialog(*this, QSize(468, 100));
    Label2 = Place<QLabel>(this, "Label2", 8, 8, 89, 12);
    Label2->setText(tr("元になる文字列："));
    FitLabel(*Label2);
    Edit1 = Place<QLineEdit>(this, "Edit1", 8, 24, 453, 20);
    Label1 = Place<QLabel>(this, "Label1", 8, 52, 49, 12);
    Label1->setText(tr("結果："));
    FitLabel(*Label1);
    CheckBox1 = Place<QCheckBox>(this, "CheckBox1", 364, 48, 77, 17);
    CheckBox1->setText(tr("大文字"));
    // Room for a longer translation up to the dialog's edge.
    CheckBox1->resize(std::max(CheckBox1->width(), CheckBox1->sizeHint().width()), CheckBox1->height());
    Edit2 = Place<QLineEdit>(this, "Edit2", 8, 68, 349, 20);
    Edit2->setReadOnly(true);
    Edit2->setFocusPolicy(Qt::ClickFocus);
    BitBtn1 = Place<QPushButton>(this, "BitBtn1", 364, 68, 97, 21);
    BitBtn1->setText(tr("生成"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    // Enter in the text field, or on the focused button, generates.
    BitBtn1->setDefault(true);
    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, CheckBox1);
    connect(BitBtn1, &QPushButton::clicked, this, &Tconv::BitBtn1Click);
    // FormCreate
    setWindowTitle(title_);
    if (owner) move(owner->geometry().center() - rect().center());
}

void Tconv::BitBtn1Click() {
    const QString text = Edit1->text();
    if (text.isEmpty()) return;
    const std::string utf8 = text.toStdString();
    const QString problem = UnmappableProblem(utf8);
    if (!problem.isEmpty()) {
        // Refused rather than hashed with "?" in its place; the old result goes with it.
        Edit2->clear();
        Dialogs().MessageBox(title_, problem, TMsgButtons::Ok, TMsgIcon::Exclamation);
        return;
    }
    const TFileMD5Info engine;
    Edit2->setText(QString::fromStdString(engine.HashString(utf8, CheckBox1->isChecked())));
}
