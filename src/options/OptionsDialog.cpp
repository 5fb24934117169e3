// The options dialog around the settings controls: the page tree, the pages, the pictures,
// and what its buttons and links do.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <system_error>

#include "app/Art.h"
#include "app/MainWindow.h"
#include "components/QL_Bar.h"
#include "components/QL_ImageLabel.h"
#include "components/QL_TrayIDlg.h"
#include "components/WindowLook.h"
#include "engine/FileUtils.h"
#include "options/CustomOption.h"
#include "options/IntegrationPages.h"
#include "options/OptionsArt.h"
#include "options/ReportPage.h"
#include "platform/Dialogs.h"
#include "platform/Place.h"
#include "platform/Integration.h"
#include "platform/Platform.h"

namespace {

struct TPageNode {
    const char* Text;
    int Parent;   // position of the parent node, -1 for a top node
    int Sheet;    // TabSheetN
    const char* Caption;
    const char* Title;
};

// In display order: a node's position is its index here.
const TPageNode kNodes[Tcustomoption::kNodeCount] = {
    {QT_TRANSLATE_NOOP("Tcustomoption", "基本設定"), -1, 1, QT_TRANSLATE_NOOP("Tcustomoption", "基本設定"),
     QT_TRANSLATE_NOOP("Tcustomoption", "基本設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "追加設定"), 0, 6, QT_TRANSLATE_NOOP("Tcustomoption", "追加設定"),
     QT_TRANSLATE_NOOP("Tcustomoption", "追加設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "バッファ"), 0, 10, "BufferSeting",
     QT_TRANSLATE_NOOP("Tcustomoption", "バッファ設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "MD5ファイルの関連付け"), -1, 2,
     QT_TRANSLATE_NOOP("Tcustomoption", "MD5ファイルの関連付け"), QT_TRANSLATE_NOOP("Tcustomoption", "MD5関連付け設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "シェル統合"), -1, 3, QT_TRANSLATE_NOOP("Tcustomoption", "シェル統合"),
     QT_TRANSLATE_NOOP("Tcustomoption", "シェル統合の設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "設定の初期化"), -1, 4, QT_TRANSLATE_NOOP("Tcustomoption", "設定の初期化"),
     QT_TRANSLATE_NOOP("Tcustomoption", "設定の初期化")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "ショートカット"), -1, 7, "ShortCut",
     QT_TRANSLATE_NOOP("Tcustomoption", "ショートカットコントロール")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "サウンド"), -1, 9, "Sound", QT_TRANSLATE_NOOP("Tcustomoption", "サウンドの設定")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "ファイルの更新検出"), -1, 11, "ReLoad",
     QT_TRANSLATE_NOOP("Tcustomoption", "ファイル更新の検出")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "サポート"), -1, 8, QT_TRANSLATE_NOOP("Tcustomoption", "サポート"),
     QT_TRANSLATE_NOOP("Tcustomoption", "サポート")},
    {QT_TRANSLATE_NOOP("Tcustomoption", "レポートの作成"), 9, 5, QT_TRANSLATE_NOOP("Tcustomoption", "レポート作成"),
     QT_TRANSLATE_NOOP("Tcustomoption", "レポート作成")},
};

// The part of a page right of the tree and under the title strip.
constexpr int kLeft = 200;
constexpr int kTop = 120;
constexpr int kWidth = 375;

QCheckBox* Box(QWidget* parent, const char* name, const QString& caption, bool checked, int x, int y, int w) {
    auto* box = Place<QCheckBox>(parent, name, x, y, w, 20);
    box->setText(caption);
    box->setChecked(checked);
    return box;
}

QLabel* Text(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 18) {
    auto* label = Place<QLabel>(parent, name, x, y, w, h);
    label->setText(caption);
    FitLabel(*label);
    return label;
}

template <class T>
T* Button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h = 25) {
    auto* button = Place<T>(parent, name, x, y, w, h);
    button->setText(caption);
    return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& title, int h) {
    auto* group = Place<QGroupBox>(parent, name, kLeft, kTop, kWidth, h);
    group->setTitle(title);
    return group;
}

QFrame* Line(QWidget* parent, const char* name, int y) {
    auto* line = Place<QFrame>(parent, name, 0, y, 581, 2);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

// Start-up work done by the dialog's own parts.
class Tcustomoption::TDialogSeams : public TStartupSeams {
public:
    explicit TDialogSeams(Tcustomoption& form) : form_(form) {}
    bool AssociationPresent() override { return form_.AssociationPage->AssociationPresent(); }
    void ReapplyAssociation() override { form_.AssociationPage->ReapplyAssociation(); }
    void ShowTrayNotice(const std::vector<TNoticeLine>& lines) override { form_.ShowTrayNotice(lines); }
    void GatherReport() override {
        form_.ReportPage->Gather();
        form_.DrawPageTitle();
    }

private:
    Tcustomoption& form_;
};

void Tcustomoption::BuildDialog() {
    SetFixedDialog(*this, QSize(588, 450));

    // Pages without tabs: the tree chooses them.
    PageControl1 = Place<QStackedWidget>(this, "PageControl1", 3, 0, 581, 410);
    QWidget** sheets[] = {nullptr,     &TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4,  &TabSheet5,
                          &TabSheet6,  &TabSheet7, &TabSheet8, &TabSheet9, &TabSheet10, &TabSheet11};
    for (int n = 1; n <= 11; ++n) {
        auto* sheet = new QWidget;
        sheet->setObjectName(QStringLiteral("TabSheet%1").arg(n));
        PageControl1->addWidget(sheet);
        *sheets[n] = sheet;
    }

    // The frame; ShowPage carries it to the page shown.
    Image2 = Place<QLabel>(TabSheet1, "Image2", 0, 0, 581, 69);
    Bevel1 = Line(TabSheet1, "Bevel1", 69);
    TreeView1 = Place<QTreeWidget>(TabSheet1, "TreeView1", 4, 76, 185, 325);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setFocusPolicy(Qt::ClickFocus);
    for (int i = 0; i < kNodeCount; ++i) {
        const TPageNode& node = kNodes[i];
        auto* item = node.Parent < 0 ? new QTreeWidgetItem(TreeView1) : new QTreeWidgetItem(nodes_[node.Parent]);
        item->setText(0, tr(node.Text));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        nodes_[i] = item;
        sheets_[i] = *sheets[node.Sheet];
        sheets_[i]->setWindowTitle(tr(node.Caption));
    }
    TreeView1->expandAll();
    nodes_[0]->setSelected(true);
    TreeView1->setCurrentItem(nodes_[0]);
    FPageTitle = tr(kNodes[0].Title);
    Image4 = Place<QLabel>(TabSheet1, "Image4", kLeft, 76, 365, 37);
    Bevel3 = Line(TabSheet1, "Bevel3", 405);

    Button1 = Button<QPushButton>(this, "Button1", tr("閉じる"), 493, 418, 88);
    Button1->setDefault(true);
    CheckBox21 = Box(this, "CheckBox21", QStringLiteral("&Save Config"), true, 8, 421, 200);

    // 基本設定.
    GroupBox1 = Group(TabSheet1, "GroupBox1", QStringLiteral("Tavrenne Config"), 160);
    const struct {
        QCheckBox** slot;
        const char* name;
        const char* caption;
    } basics[] = {
        {&CheckBox2, "CheckBox2", QT_TR_NOOP("ファイルサイズを常にByte表記")},
        {&CheckBox3, "CheckBox3", QT_TR_NOOP("MD5ファイルを通常のファイルとして扱う")},
        {&CheckBox4, "CheckBox4", QT_TR_NOOP("情報取得時に自動的にMD5ファイルを生成する")},
        {&CheckBox6, "CheckBox6", QT_TR_NOOP("終了時に問い合わせる")},
        {&CheckBox7, "CheckBox7", QT_TR_NOOP("結果をクリア時にログも消去する")},
        {&CheckBox8, "CheckBox8", QT_TR_NOOP("MD5ファイルがあれば使用する")},
    };
    int y = 24;
    for (const auto& b : basics) {
        *b.slot = Box(GroupBox1, b.name, tr(b.caption), false, 14, y, 350);
        y += 22;
    }
    // The windows' language is chosen before the first window is made.
    Label20 = Text(TabSheet1, "Label20", tr("表示言語："), kLeft + 14, kTop + 172, 100);
    ComboBox4 = Place<QComboBox>(TabSheet1, "ComboBox4", kLeft + 120, kTop + 170, 110, 22);
    ComboBox4->addItems({tr("自動"), tr("日本語"), QStringLiteral("English")});
    Label20->setBuddy(ComboBox4);
    Label21 = Text(TabSheet1, "Label21", tr("*変更は次回の起動から有効になります"), kLeft + 14,
                   kTop + 198, kWidth - 14);

    // 追加設定.
    GroupBox2 = Group(TabSheet6, "GroupBox2", QStringLiteral("Tavrenne EX-Config"), 284);
    CheckBox9 = Box(GroupBox2, "CheckBox9", tr("自動シャットダウンオプションを表示"), false, 14, 24, 350);
    CheckBox14 = Box(GroupBox2, "CheckBox14", tr("スプラッシュを非表示"), false, 14, 46, 350);
    CheckBox5 = Box(GroupBox2, "CheckBox5", tr("SSTPを使用する"), false, 14, 68, 350);
    CheckBox10 = Box(GroupBox2, "CheckBox10", tr("キャッシュを使用する"), false, 14, 96, 350);
    CheckBox12 = Box(GroupBox2, "CheckBox12", tr("キャッシュ上限"), true, 34, 120, 120);
    ComboBox2 = Place<QComboBox>(GroupBox2, "ComboBox2", 160, 119, 80, 22);
    ComboBox2->addItems({QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("500"),
                         QStringLiteral("1000"), QStringLiteral("2000")});
    CheckBox11 = Box(GroupBox2, "CheckBox11", tr("終了時にキャッシュをクリアする"), true, 34, 144, 320);
    BitBtn3 = Button<QPushButton>(GroupBox2, "BitBtn3", tr("キャッシュのクリア"), 34, 170, 140);
    BitBtn3->setIcon(ToolImage(tiClear));
    Label15 = Text(GroupBox2, "Label15", tr("アプリケーションの優先度："), 14, 222, 170);
    ComboBox1 = Place<QComboBox>(GroupBox2, "ComboBox1", 190, 220, 100, 22);
    ComboBox1->addItems({tr("普通"), tr("高い"), tr("低い")});
    Label15->setBuddy(ComboBox1);
    CheckBox22 = Box(GroupBox2, "CheckBox22", tr("同じフォルダのチェックサムリストと照合する"), true, 14, 252, 350);
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox12, CheckBox11, BitBtn3, ComboBox2}) w->setEnabled(false);
    // Chosen with the mouse or the arrow keys only.
    ComboBox1->installEventFilter(this);
    ComboBox2->installEventFilter(this);

    // バッファ.
    CheckBox18 = Box(TabSheet10, "CheckBox18", tr("自動設定を有効"), true, kLeft, kTop, 300);
    Label3 = Text(TabSheet10, "Label3", tr("*自動設定をONにすると下の値は無効です"), kLeft, 146, kWidth);
    GroupBox7 = Place<QGroupBox>(TabSheet10, "GroupBox7", kLeft, 172, kWidth, 134);
    GroupBox7->setTitle(tr("手動設定"));
    Label1 = Text(GroupBox7, "Label1", tr("バッファサイズ (KB)"), 14, 26, 150);
    StaticText1 = Text(GroupBox7, "StaticText1", QStringLiteral("64KB"), 170, 24, 70, 20);
    StaticText1->setFrameShape(QFrame::Panel);
    StaticText1->setFrameShadow(QFrame::Sunken);
    StaticText1->setAlignment(Qt::AlignCenter);
    Text(GroupBox7, "LabelMin", QStringLiteral("MIN"), 14, 64, 32);
    QL_Bar1 = Place<TQL_Bar>(GroupBox7, "QL_Bar1", 48, 58, 270, 30);
    QL_Bar1->setOrientation(Qt::Horizontal);
    QL_Bar1->SetMin(kMinBufferSizeKB);
    QL_Bar1->SetMax(kMaxBufferSizeKB);
    QL_Bar1->SetPosition(kAutoBufferSizeKB);
    QL_Bar1->setTickPosition(QSlider::NoTicks);
    Text(GroupBox7, "LabelMax", QStringLiteral("MAX"), 324, 64, 36);
    Button5 = Button<QPushButton>(GroupBox7, "Button5", tr("初期値"), 14, 98, 80);

    // The association, shell, shortcut and report pages fill their sheets and place their
    // controls in the sheet's coordinates, right of the tree.
    AssociationPage = new TAssociationPage(main_, TabSheet2);
    ShellPage = new TShellPage(main_, TabSheet3);
    ShortcutPage = new TShortcutPage(main_, TabSheet7);
    ReportPage = new TReportPage(main_, TabSheet5);
    for (QWidget* page : std::initializer_list<QWidget*>{AssociationPage, ShellPage, ShortcutPage, ReportPage})
        page->setGeometry(0, 0, 581, 410);
    CheckBox1 = AssociationPage->CheckBox1;
    RadioGroup1 = ShellPage->RadioGroup1;
    RadioGroup1Items[0] = ShellPage->RadioGroup1Items[0];
    RadioGroup1Items[1] = ShellPage->RadioGroup1Items[1];

    // 設定の初期化.
    Bevel2 = Place<QFrame>(TabSheet4, "Bevel2", kLeft, kTop, 254, 204);
    Bevel2->setFrameShape(QFrame::Box);
    Bevel2->setFrameShadow(QFrame::Sunken);
    Image1 = Place<QLabel>(TabSheet4, "Image1", kLeft + 2, kTop + 2, 250, 200);
    Button2 = Button<QPushButton>(TabSheet4, "Button2", tr("設定値の初期化"), kLeft, 336, 130);
    Button6 = Button<QPushButton>(TabSheet4, "Button6", tr("完全な初期化"), kLeft + 140, 336, 130);

    // サウンド.
    CheckBox20 = Box(TabSheet9, "CheckBox20", tr("サウンド有効"), false, kLeft, kTop, 300);
    auto sound = [&](QLineEdit*& edit, QPushButton*& open, QToolButton*& check, const char* name, const QString& label,
                     const char* openName, const char* checkName, int top) {
        auto* caption = Text(TabSheet9, nullptr, label, kLeft, top, 200, 16);
        caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        edit = Place<QLineEdit>(TabSheet9, name, kLeft, top + 17, 290, 22);
        caption->setBuddy(edit);
        open = Button<QPushButton>(TabSheet9, openName, tr("開く..."), kLeft + 296, top + 16, 70, 24);
        check = Button<QToolButton>(TabSheet9, checkName, QStringLiteral("&Sound Check"), kLeft, top + 43, 110, 24);
        connect(open, &QPushButton::clicked, this, &Tcustomoption::OpenSoundClick);
        connect(check, &QToolButton::clicked, this, &Tcustomoption::SoundCheckClick);
    };
    sound(LabeledEdit1, Button3, SpeedButton1, "LabeledEdit1", tr("作業終了時"), "Button3", "SpeedButton1", 150);
    sound(LabeledEdit2, Button10, SpeedButton2, "LabeledEdit2", tr("エラー発生時"), "Button10", "SpeedButton2", 232);

    // ファイルの更新検出.
    CheckBox19 = Box(TabSheet11, "CheckBox19", tr("ファイルの更新を自動的に検出する"), false, kLeft, kTop, kWidth);

    // サポート.
    GroupBox6 = Group(TabSheet8, "GroupBox6", tr("サポートの参照"), 128);
    auto link = [&](const char* name, const QString& text, const QPixmap& picture, int top) {
        auto* label = Place<TQL_ImageLabel>(GroupBox6, name, 16, top, 240, 28);
        label->SetText(text);
        label->SetBitmapImage(picture);
        return label;
    };
    QL_ImageLabel2 = link("QL_ImageLabel2", QStringLiteral("Quillory Website"), ToolImagePixmap(tiWeb, 16), 24);
    QL_ImageLabel1 = link("QL_ImageLabel1", tr("開発元へメール"), QPixmap::fromImage(MailArt()), 56);
    QL_ImageLabel3 = link("QL_ImageLabel3", tr("ヘルプの参照..."), ToolImagePixmap(tiHelp, 16), 88);
    Label4 = Text(TabSheet8, "Label4", tr("サポートの際にはレポートページから環境情報を取得してご報告下さい"),
                  kLeft, 262, kWidth, 36);
    // One line while it fits beside the tree; a longer translation wraps within the page.
    if (Label4->width() > width() - PageControl1->x() - kLeft) Label4->resize(kWidth, Label4->height());
    Label4->setWordWrap(true);
    FitLabel(*Label4);

    QL_TrayInfoDlg1 = new TQL_TrayInfoDlg(this);
    QL_TrayInfoDlg1->setObjectName(QStringLiteral("QL_TrayInfoDlg1"));
    QL_TrayInfoDlg1->SetDlgButtonVisible(true);
    dialogSeams_ = std::make_unique<TDialogSeams>(*this);

    // Reparenting the tree inside its own click is asking for trouble: switch pages after it.
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, &Tcustomoption::ShowPage, Qt::QueuedConnection);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(CheckBox10, &QCheckBox::clicked, this, [this] { SetCacheControlsEnabled(CheckBox10->isChecked()); });
    connect(CheckBox12, &QCheckBox::clicked, this, [this] { ComboBox2->setEnabled(CheckBox12->isChecked()); });
    connect(BitBtn3, &QPushButton::clicked, this, &Tcustomoption::BitBtn3Click);
    connect(ComboBox1, &QComboBox::activated, this, &Tcustomoption::ComboBox1Change);
    connect(QL_Bar1, &QSlider::valueChanged, this,
            [this](int value) { StaticText1->setText(QStringLiteral("%1KB").arg(value)); });
    connect(Button5, &QPushButton::clicked, this, [this] {
        // Through the maximum, so the display changes even when it stood at 64 already.
        QL_Bar1->SetPosition(QL_Bar1->Max());
        QL_Bar1->SetPosition(kAutoBufferSizeKB);
        CheckBox18->setChecked(true);
    });
    connect(Button2, &QPushButton::clicked, this, &Tcustomoption::Button2Click);
    connect(Button6, &QPushButton::clicked, this, &Tcustomoption::Button6Click);
    connect(QL_ImageLabel2, &TQL_ImageLabel::clicked, this,
            [] { Platform().OpenDocument(QString::fromLatin1(TMainWindow::kWebSite)); });
    connect(QL_ImageLabel1, &TQL_ImageLabel::clicked, this,
            [] { Platform().OpenDocument(QString::fromLatin1(kSupportMail)); });
    connect(QL_ImageLabel3, &TQL_ImageLabel::clicked, this, [this] { main_.ShowHelp(); });
}

void Tcustomoption::BuildPictures() {
    Image2->setPixmap(QPixmap::fromImage(HeaderPicture(Image2->size(), tr("Tavrenneの設定"), font())));
    FTitleStrip = TitleStripPicture(Image4->size(), palette().color(QPalette::Window));
    QL_TrayInfoDlg1->SetBitmapImage(TrayNoticeArt());
    Image1->setPixmap(QPixmap::fromImage(ResetPageArt()));
}

void Tcustomoption::DrawPageTitle() {
    if (FTitleStrip.isNull()) return;
    Image4->setPixmap(QPixmap::fromImage(TitledStrip(FTitleStrip, FPageTitle, font())));
}

void Tcustomoption::ShowPage() {
    try {
        int position = -1;
        for (int i = 0; i < kNodeCount && position < 0; ++i)
            if (nodes_[i]->isSelected()) position = i;
        if (position < 0) return;
        QWidget* page = sheets_[position];
        // The tree goes with the page; the focus stays in it, so the next arrow key chooses
        // the next page instead of changing a control on this one.
        const bool treeFocused = TreeView1->hasFocus();
        // Above a hosted page that covers its whole sheet.
        for (QWidget* w : std::initializer_list<QWidget*>{TreeView1, Image2, Bevel1, Bevel3, Image4}) {
            if (w->parentWidget() != page) {
                w->setParent(page);
                w->show();
            }
            w->raise();
        }
        PageControl1->setCurrentWidget(page);
        if (treeFocused) TreeView1->setFocus(Qt::OtherFocusReason);
        FPageTitle = tr(kNodes[position].Title);
        DrawPageTitle();
    } catch (...) {
        // The page stays as it was.
    }
}

int Tcustomoption::Execute() { return exec(); }

void Tcustomoption::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    move(main_.Window().frameGeometry().center() - QPoint(width() / 2, height() / 2));
    FormShow();
}

void Tcustomoption::FormShow() {
    try {
        PageControl1->setCurrentWidget(TabSheet1);
        ReportPage->RefreshErrorLogButton();
        ShellPage->ShowState();
        AssociationPage->ShowState();
        ShowPage();
    } catch (...) {
        // Showing goes on with what was done.
    }
}

void Tcustomoption::done(int result) {
    FormClose();
    QDialog::done(result);
}

void Tcustomoption::FormClose() {
    main_.ShowShutdownOption(CheckBox9->isChecked());
    ApplyPriority();
}

bool Tcustomoption::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == ComboBox1 || watched == ComboBox2) && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.at(0).isPrint()) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tcustomoption::ComboBox1Change() {
    if (ComboBox1->currentIndex() < 0 || ComboBox1->currentIndex() > 2) ComboBox1->setCurrentIndex(0);
}

void Tcustomoption::OpenSoundClick() {
    TFileDialogRequest request;
    request.Filter = tr("サウンドファイル(*.wav)|*.wav");
    request.MustExist = true;
    const TPath file(Dialogs().OpenFile(request));
    if (file.IsEmpty()) return;
    const bool finish = sender() && sender()->objectName() == QStringLiteral("Button3");
    (finish ? LabeledEdit1 : LabeledEdit2)->setText(file.Display());
}

void Tcustomoption::SoundCheckClick() {
    if (sender() && sender()->objectName() == QStringLiteral("SpeedButton1"))
        PlayFinishSound();
    else
        PlayErrorSound();
}

void Tcustomoption::Button2Click() {
    const QString text = tr("設定を初期値へ戻します。初期化されるのは基本設定と追加設定です。\r\n"
                            "システムを含めて初期化する場合は\"%1\"ボタンをクリックして下さい")
                             .arg(Button6->text());
    if (Dialogs().MessageBox(tr("確認"), text, TMsgButtons::YesNo, TMsgIcon::Question) == TMsgResult::Yes)
        ResetSettings();
}

void Tcustomoption::ResetSettings() {
    for (QCheckBox* box : {CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9,
                           CheckBox10})
        box->setChecked(false);
    CheckBox12->setChecked(true);
    CheckBox11->setChecked(true);
    CheckBox14->setChecked(false);
    ComboBox2->setCurrentIndex(0);
    ComboBox1->setCurrentIndex(0);
    BitBtn3->setEnabled(false);
    CheckBox12->setEnabled(false);
    CheckBox11->setEnabled(false);
    CheckBox1->setChecked(true);
    LabeledEdit1->clear();
    QL_Bar1->SetPosition(kAutoBufferSizeKB);
    CheckBox18->setChecked(true);
    CheckBox19->setChecked(false);
    CheckBox20->setChecked(false);
    CheckBox22->setChecked(true);
    ComboBox4->setCurrentIndex(0);
}

void Tcustomoption::Button6Click() {
    if (!FileExistsByAge(ProgramLayout().HelperProgram())) return;
    // The desktop reads menus, types and file-manager actions again at the next log-in.
    const QString text = tr("すべての設定を初期化します、作業後デスクトップセッションへの再ログインが必要となります。\r\n"
                            "続ける場合は\"はい\"をクリックしてメッセージに従ってください。");
    if (Dialogs().MessageBox(tr("確認"), text, TMsgButtons::YesNo, TMsgIcon::Exclamation) !=
        TMsgResult::Yes)
        return;
    FSaveAllowed = false;
    const std::string settings = ProgramLayout().SettingsFile();
    std::error_code ignored;
    if (FileExistsByAge(settings)) std::filesystem::remove(settings, ignored);
    ::StartHelper(QString());
}

void Tcustomoption::ShowTrayNotice(const std::vector<TNoticeLine>& lines) {
    bool first = true;
    for (const TNoticeLine& line : lines) {
        QL_TrayInfoDlg1->DrawDlgText(line.Text, line.X, line.Y, font(), first);
        first = false;
    }
    QL_TrayInfoDlg1->ShowDlg();
}
