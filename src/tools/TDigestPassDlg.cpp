#include "tools/TDigestPassDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "components/QL_ImageLabel.h"
#include "components/WindowLook.h"
#include "engine/DigestPassFile.h"
#include "platform/Place.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "settings/IniFile.h"

namespace {

const char* const kSection = "Tavrix_2";
const char* const kKey = "#Digest_Pass_Text";

QLineEdit* Labeled(QWidget* parent, const char* name, const QString& caption, int x, int y, int w) {
    auto* label = new QLabel(caption, parent);
    label->setGeometry(x, y, w, 16);
    FitLabel(*label);
    QLineEdit* e = Place<QLineEdit>(parent, name, x, y + 18, w, 22);
    label->setBuddy(e);
    return e;
}

TPath SettingsFile() { return TPath(ProgramLayout().SettingsFile()); }

}  // namespace

TPath DefaultDigestPassFile() { return TPath(ProgramLayout().DigestPassFolder()).Join("Digest_Pass.txt"); }

TDigestPassDlg::TDigestPassDlg(QWidget* owner, const QPixmap& banner, const QString& title)
    : QDialog(owner), title_(title) {
    setObjectName(QStringLiteral("DigestPassDlg"));
    setFont(QFont(QStringLiteral("Tahoma")));
    SetFixedDialog(*this, QSize(624, 490));
    Image1 = Place<QLabel>(this, "Image1", 0, 0, 625, 73);
    LabeledEdit1 = Labeled(this, "LabeledEdit1", tr("ユーザー名:"), 16, 84, 280);
    LabeledEdit3 = Labeled(this, "LabeledEdit3", QStringLiteral("Realm:"), 320, 84, 288);
    LabeledEdit2 = Labeled(this, "LabeledEdit2", tr("パスワード:"), 16, 132, 280);
    LabeledEdit2->setEchoMode(QLineEdit::Password);
    Label1 = Place<QLabel>(this, "Label1", 16, 184, 80, 16);
    Label1->setText(tr("ファイル名:"));
    FitLabel(*Label1);
    StaticText1 = Place<QLabel>(this, "StaticText1", 16, 204, 496, 22);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    BitBtn1 = Place<QPushButton>(this, "BitBtn1", 520, 202, 88, 25);
    BitBtn1->setText(tr("開く..."));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    BitBtn1->setAutoDefault(false);
    RadioGroup1 = Place<QGroupBox>(this, "RadioGroup1", 16, 238, 592, 52);
    RadioGroup1->setTitle(tr("作業内容"));
    RadioCreate = Place<QRadioButton>(RadioGroup1, "RadioCreate", 12, 22, 280, 20);
    RadioCreate->setText(tr("新規ファイルへ作成"));
    RadioAdd = Place<QRadioButton>(RadioGroup1, "RadioAdd", 300, 22, 280, 20);
    RadioAdd->setText(tr("既存のファイルに追加"));
    RadioCreate->setChecked(true);

    const QPixmap actionPicture = style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(16, 16);
    QL_ImageLabel2 = Place<TQL_ImageLabel>(this, "QL_ImageLabel2", 448, 304, 160, 32);
    QL_ImageLabel2->SetText(tr("作成/追加"));
    QL_ImageLabel2->SetSpace(13);
    QL_ImageLabel1 = Place<TQL_ImageLabel>(this, "QL_ImageLabel1", 16, 304, 100, 32);
    QL_ImageLabel1->SetText(tr(" 拡張 "));
    QL_ImageLabel1->SetSpace(9);
    for (TQL_ImageLabel* l : {QL_ImageLabel1, QL_ImageLabel2}) {
        l->SetBitmapImage(l == QL_ImageLabel2 ? actionPicture
                                              : style()->standardIcon(QStyle::SP_ArrowDown).pixmap(16, 16));
        l->SetMouseOverColor(Qt::red);
        l->SetGLine(true);
    }

    Bevel1 = Place<QFrame>(this, "Bevel1", 16, 384, 592, 2);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    CheckBox1 = Place<QCheckBox>(this, "CheckBox1", 24, 400, 560, 20);
    CheckBox1->setText(tr("同一のハッシュ値を追加しない"));
    CheckBox1->setChecked(true);
    CheckBox2 = Place<QCheckBox>(this, "CheckBox2", 24, 428, 560, 20);
    CheckBox2->setText(tr("上書き時に警告"));
    CheckBox2->setChecked(true);

    // Tab goes left to right: 拡張, then 作成/追加.
    setTabOrder(QL_ImageLabel1, QL_ImageLabel2);

    connect(BitBtn1, &QPushButton::clicked, this, &TDigestPassDlg::BitBtn1Click);
    connect(QL_ImageLabel1, &TQL_ImageLabel::clicked, this, &TDigestPassDlg::QL_ImageLabel1Click);
    connect(QL_ImageLabel2, &TQL_ImageLabel::clicked, this, &TDigestPassDlg::QL_ImageLabel2Click);

    // The banner: white, the handed picture stretched at the right, the tool's name.
    QPixmap picture(Image1->size());
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        const int w = picture.width(), h = picture.height();
        if (!banner.isNull()) p.drawPixmap(QRect(w - 70, 5, 60, h - 15), banner);
        QFont f = font();
        f.setPointSize(14);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(QRect(8, 5, w - 86, h - 10), Qt::AlignLeft | Qt::AlignTop, tr("Digest認証ツール"));
    }
    Image1->setPixmap(picture);
    setWindowTitle(tr("%1 Digest認証ツール").arg(title_));
    FormCreate();
    if (owner) move(owner->geometry().center() - rect().center());
}

void TDigestPassDlg::FormCreate() {
    SetTargetPath(DefaultDigestPassFile());
    SetHeight(kShortHeight);
    // The default file's own folder: beside the program, or the user's data folder for an
    // installed program, whose folder cannot be written.
    QDir().mkdir(DefaultDigestPassFile().Folder().ToQString());
    if (QFileInfo::exists(SettingsFile().ToQString())) {
        const TPath last(TIniFile(SettingsFile().Bytes()).ReadString(kSection, kKey, ""));
        if (!last.IsEmpty() && QFileInfo(last.ToQString()).isFile()) {
            SetTargetPath(last);
            SetMode(1);
        }
    }
}

TDigestPassDlg::~TDigestPassDlg() {
    try {
        // The file holds text: the path as it is shown.
        TIniFile(SettingsFile().Bytes()).WriteString(kSection, kKey, target_.Display().toStdString());
    } catch (const EIniWriteError&) {
        // A read-only program folder: the next opening starts from the default file.
    }
}

int TDigestPassDlg::Mode() const { return RadioAdd->isChecked() ? 1 : 0; }

void TDigestPassDlg::SetMode(int index) { (index == 1 ? RadioAdd : RadioCreate)->setChecked(true); }

void TDigestPassDlg::SetTargetPath(const TPath& path) {
    target_ = path;
    StaticText1->setText(path.Display());
}

void TDigestPassDlg::SetHeight(int height) {
    SetFixedDialog(*this, QSize(width(), height));
    // The options below the cut are out of Tab's way while they are out of sight.
    for (QWidget* w : std::initializer_list<QWidget*>{Bevel1, CheckBox1, CheckBox2}) w->setVisible(height == kFullHeight);
}

void TDigestPassDlg::BitBtn1Click() {
    TFileDialogRequest request;
    request.Filter = tr("テキストファイル(*.txt)|*.txt");
    request.MustExist = true;
    request.InitialDir = QFileInfo(target_.ToQString()).absolutePath();
    const TPath chosen(Dialogs().OpenFile(request));
    if (!chosen.IsEmpty()) SetTargetPath(chosen);
}

void TDigestPassDlg::QL_ImageLabel1Click() { SetHeight(height() == kShortHeight ? kFullHeight : kShortHeight); }

void TDigestPassDlg::QL_ImageLabel2Click() {
    const std::string user = LabeledEdit1->text().toStdString();
    const std::string password = LabeledEdit2->text().toStdString();
    const std::string realm = LabeledEdit3->text().toStdString();
    if (user.empty() || password.empty() || realm.empty()) {
        Dialogs().MessageBox(title_, tr("未記入の項目があります..."), TMsgButtons::Ok, TMsgIcon::Exclamation);
        return;
    }
    if (const std::string problem = DigestEntryProblem(user, realm, password); !problem.empty()) {
        Dialogs().MessageBox(title_, QString::fromStdString(problem), TMsgButtons::Ok, TMsgIcon::Exclamation);
        return;
    }
    const std::string line = DigestEntryLine(user, realm, password);
    const std::string& path = target_.Bytes();
    TDigestWriteResult result;
    if (Mode() == 1) {
        result = AddDigestEntry(path, line, CheckBox1->isChecked());
        if (result.Result == TDigestWrite::Missing) {
            Dialogs().MessageBox(title_, tr("ファイルが見当たりません"), TMsgButtons::Ok, TMsgIcon::Exclamation);
            return;
        }
    } else {
        if (QFileInfo::exists(target_.ToQString()) && CheckBox2->isChecked() &&
            Dialogs().MessageBox(tr("上書きの確認"),
                                 tr("新規を選択すると既存のファイルは上書きされます...上書きしますか？"),
                                 TMsgButtons::YesNo, TMsgIcon::Exclamation) != TMsgResult::Yes)
            return;
        result = CreateDigestFile(path, line);
        if (result.Result == TDigestWrite::Written) SetMode(1);
    }
    if (result.Result == TDigestWrite::Failed)
        Dialogs().MessageBox(title_, tr("%1 に書き込めません\n%2").arg(target_.Display(), QString::fromStdString(result.Reason)),
                             TMsgButtons::Ok, TMsgIcon::Error);
}
