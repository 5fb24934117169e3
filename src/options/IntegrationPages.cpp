#include "options/IntegrationPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindow.h"
#include "components/WindowLook.h"
#include "desktop/DesktopIntegration.h"
#include "platform/Dialogs.h"
#include "platform/Place.h"
#include "platform/Platform.h"
#include "platform/Shortcuts.h"

namespace {

constexpr int kIconSize = 32;

// A radio group of two items side by side, item 0 checked.
void PlaceRadios(QGroupBox* group, QRadioButton* (&items)[2], const char* name, const QString& first,
                 const QString& second) {
    const QString captions[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        const QByteArray itemName = QByteArray(name) + "Item" + QByteArray::number(i);
        items[i] = Place<QRadioButton>(group, itemName.constData(), 16 + i * 180, 22, 170, 20);
        items[i]->setText(captions[i]);
    }
    items[0]->setChecked(true);
}

bool Confirm(const TMainWindow& main, const QString& question) {
    return Dialogs().MessageBox(main.ApplicationTitle(), question, TMsgButtons::YesNo, TMsgIcon::Question) ==
           TMsgResult::Yes;
}

}  // namespace

TAssociationPage::TAssociationPage(TMainWindow& main, QWidget* parent) : QWidget(parent), main_(main) {
    Label16 = Place<QLabel>(this, "Label16", 200, 118, 260, 16);
    Label16->setText(tr("MD5ファイルのアイコンを指定"));
    FitLabel(*Label16);

    IconList = Place<QListWidget>(this, "IconList", 200, 136, 290, 176);
    IconList->setViewMode(QListView::IconMode);
    IconList->setIconSize(QSize(kIconSize, kIconSize));
    IconList->setGridSize(QSize(54, 56));
    IconList->setMovement(QListView::Static);
    IconList->setResizeMode(QListView::Adjust);
    IconList->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < kMd5IconCount; ++i)
        new QListWidgetItem(QIcon(Md5IconPixmap(i, kIconSize)), QString::number(i), IconList);
    IconList->setCurrentRow(0);
    // The list keeps a selection: a click that leaves none (beside the items, or Ctrl on the
    // selected one) selects the last index again.
    connect(IconList, &QListWidget::itemSelectionChanged, this, [this] {
        const int index = SelectedIcon();
        if (index >= 0) {
            association_.FIconIndex = index;
        } else if (QListWidgetItem* item = IconList->item(association_.FIconIndex)) {
            item->setSelected(true);
        }
    });

    // The preview of the icon the association uses, beside the list.
    Image5 = Place<QLabel>(this, "Image5", 510, 136, 48, 48);
    Image5->setAlignment(Qt::AlignCenter);
    Image5->setFrameShape(QFrame::StyledPanel);
    Image5->hide();

    RadioGroup2 = Place<QGroupBox>(this, "RadioGroup2", 200, 318, 370, 50);
    RadioGroup2->setTitle(tr("ファイルの関連付け"));
    PlaceRadios(RadioGroup2, RadioGroup2Items, "RadioGroup2", tr("関連付け無効"), tr("関連付け有効"));

    BitBtn2 = Place<QPushButton>(this, "BitBtn2", 440, 374, 130, 25);
    BitBtn2->setText(tr("関連付けの適用"));
    connect(BitBtn2, &QPushButton::clicked, this, &TAssociationPage::BitBtn2Click);

    CheckBox1 = Place<QCheckBox>(this, "CheckBox1", 200, 376, 230, 20);
    CheckBox1->setText(tr("起動時に関連付けの再設定を行う"));
    CheckBox1->setChecked(true);
}

int TAssociationPage::SelectedIcon() const {
    const QList<QListWidgetItem*> selected = IconList->selectedItems();
    return selected.isEmpty() ? -1 : IconList->row(selected.first());
}

int TAssociationPage::AppliedIcon() const {
    const int selected = SelectedIcon();
    return selected >= 0 ? selected : association_.FIconIndex;
}

void TAssociationPage::ShowPreview() {
    if (association_.PreviewIcon() >= 0) Image5->setPixmap(Md5IconPixmap(association_.PreviewIcon(), kIconSize));
    Image5->setVisible(association_.PreviewVisible());
}

void TAssociationPage::ShowState() {
    RadioGroup2Items[association_.IsAssociated() ? 1 : 0]->setChecked(true);
    ShowPreview();
}

bool TAssociationPage::AssociationPresent() {
    const bool present = association_.IsAssociated();
    ShowPreview();
    return present;
}

// Applied again with the icon the desktop has now (read by AssociationPresent), not the list's
// first item: re-applying must not change the user's chosen icon at every start. The list
// selects that icon too, so the page and the desktop agree.
void TAssociationPage::ReapplyAssociation() {
    if (QListWidgetItem* item = IconList->item(association_.FIconIndex)) IconList->setCurrentItem(item);
    association_.SetAssociation(true, AppliedIcon());
    ShowPreview();
}

void TAssociationPage::BitBtn2Click() {
    if (!Confirm(main_, tr("MD5ファイルの関連付けを切り替えます　よろしいですか？ "))) return;
    association_.SetAssociation(RadioGroup2Items[1]->isChecked(), AppliedIcon());
    ShowPreview();
}

TShellPage::TShellPage(TMainWindow& main, QWidget* parent) : QWidget(parent), main_(main) {
    RadioGroup1 = Place<QGroupBox>(this, "RadioGroup1", 200, 118, 370, 50);
    RadioGroup1->setTitle(tr("シェル統合"));
    PlaceRadios(RadioGroup1, RadioGroup1Items, "RadioGroup1", tr("シェル統合を無効"), tr("シェル統合を有効"));

    Button4 = Place<QPushButton>(this, "Button4", 420, 180, 150, 25);
    Button4->setText(tr("シェルオプション適用"));
    connect(Button4, &QPushButton::clicked, this, &TShellPage::Button4Click);
}

void TShellPage::ShowState() { RadioGroup1Items[association_.IsShellIntegrated() ? 1 : 0]->setChecked(true); }

void TShellPage::Button4Click() {
    if (!Confirm(main_, tr("シェル拡張を切り替えます　よろしいですか？　"))) return;
    StartHelper(RadioGroup1Items[0]->isChecked() ? QStringLiteral("-D") : QStringLiteral("-S"));
}

TShortcutPage::TShortcutPage(TMainWindow& main, QWidget* parent) : QWidget(parent), main_(main) {
    CheckBox16 = Place<QCheckBox>(this, "CheckBox16", 216, 126, 200, 20);
    CheckBox16->setText(tr("デスクトップ"));

    // Never shown, so a press always removes a menu launcher and never makes one.
    CheckBox15 = Place<QCheckBox>(this, "CheckBox15", 216, 152, 200, 20);
    CheckBox15->setText(tr("スタートメニュー"));
    CheckBox15->hide();

    CheckBox17 = Place<QCheckBox>(this, "CheckBox17", 216, 152, 210, 20);
    CheckBox17->setText(tr("Tavrenneへ送る   デフォルト値:"));
    ComboBox3 = Place<QComboBox>(this, "ComboBox3", 430, 150, 110, 22);
    ComboBox3->addItems({QStringLiteral("MD5"), QStringLiteral("SHA1"), QStringLiteral("CRC32"),
                         tr("全取得"), tr("何もしない")});
    ComboBox3->setCurrentIndex(0);

    Label17 = Place<QLabel>(this, "Label17", 200, 190, 370, 16);
    Label17->setText(tr("*チェックONで作成,OFFで削除します"));
    FitLabel(*Label17);
    QPalette blue = Label17->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label17->setPalette(blue);

    BitBtn4 = Place<QPushButton>(this, "BitBtn4", 200, 214, 110, 25);
    BitBtn4->setText(tr("作成/削除"));
    connect(BitBtn4, &QPushButton::clicked, this, &TShortcutPage::BitBtn4Click);
}

void TShortcutPage::BitBtn4Click() {
    MakeShortcuts(CheckBox16->isChecked(), CheckBox15->isChecked(), CheckBox17->isChecked(), ComboBox3->currentIndex());
}
