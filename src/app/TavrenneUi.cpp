// Creation of the main window: actions, menus, toolbar, controls and their layout.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <string_view>

#include "app/Anchors.h"
#include "app/Art.h"
#include "analysis/ResultText.h"
#include "app/Tavrenne.h"
#include "text/Translate.h"
#include "components/WindowLook.h"
#include "engine/NormalFileInfo.h"
#include "platform/IconLookup.h"
#include "platform/Platform.h"

TTavrenne* Tavrenne = nullptr;

namespace {

constexpr int kDesignWidth = 628;
constexpr int kDesignHeight = 513;
constexpr int kBuildNumber = 152;
constexpr int kRecentFirstMenuId = 600;  // the system menu's ids for the recent files

// A menu or toolbar entry with its own caption that acts for `target` and mirrors its state.
QAction* Proxy(QAction* target, const QString& caption, QObject* parent) {
    auto* proxy = new QAction(caption, parent);
    proxy->setObjectName(target->objectName() + QStringLiteral("Item"));
    proxy->setIcon(target->icon());
    proxy->setToolTip(target->toolTip());
    proxy->setCheckable(target->isCheckable());
    auto sync = [proxy, target] {
        proxy->setEnabled(target->isEnabled());
        proxy->setChecked(target->isChecked());
        proxy->setVisible(target->isVisible());
    };
    sync();
    QObject::connect(target, &QAction::changed, proxy, sync);
    QObject::connect(proxy, &QAction::triggered, target, [target, sync] {
        target->trigger();
        sync();
    });
    return proxy;
}

// A push button that runs an action and follows its enabled state.
void Bind(QAbstractButton* button, QAction* action) {
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
}

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

// The analysis's captions are its own texts, translated where they are written.
QString TTavrenne::Shown(const char* caption) { return QString::fromStdString(TavTr("ResultText", caption)); }

TTavrenne::TTavrenne(QWidget* parent) : QMainWindow(parent) {
    Tavrenne = this;
    setObjectName(QStringLiteral("Tavrenne"));
    TickCount = [] {
        static QElapsedTimer clock = [] { QElapsedTimer t; t.start(); return t; }();
        return uint32_t(clock.elapsed());
    };
    Wait = [](int ms) { QThread::msleep(ulong(ms)); };
    NowText = [] { return LogTimeText(QLocale(), QDateTime::currentDateTime()); };

    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(12);
    setFont(font);

    BuildText = QStringLiteral("Build %1").arg(kBuildNumber);
    setMinimumSize(kDesignWidth, kDesignHeight);
    resize(kDesignWidth, kDesignHeight);
    FullHeight = kDesignHeight;

    // A system menu and a minimize box but no maximize box; the frame still resizes. The
    // window manager reads these hints, so a double-click on the title bar does not maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    setWindowIcon(ApplicationIcon());
    QApplication::setWindowIcon(windowIcon());

    BuildActions();
    BuildClient();
    BuildMenus();
    BuildToolBar();
    BuildSystemMenu();

    WatchedAge = 0;
    SuppressChangeCheck = false;
    ShownReadOnly = ShownHidden = false;
    ComboBox1->setCurrentIndex(0);
    RecentFiles = QList<TPath>(5);

    for (QStyle::StandardPixmap sp :
         {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxWarning}) {
        logImages_.push_back(style()->standardIcon(sp).pixmap(16, 16));
    }

    SpeedButton1->setIcon(QIcon(ToolImagePixmap(tiLogHide, 16)));

    ReadProgramInfo();
    applicationTitle_ = QString::fromStdString(::ApplicationTitle(programInfo_.FileVersion));
    setWindowTitle(applicationTitle_);
    for (const std::string& line : StartupLogLines(applicationTitle_.toStdString(), programInfo_.LegalCopyright))
        AddLog(QString::fromStdString(line), lkInformation);

    setAcceptDrops(true);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

TTavrenne::~TTavrenne() {
    SetShownIcon(0);
    if (Tavrenne == this) Tavrenne = nullptr;
}

void TTavrenne::ReadProgramInfo() {
    TNormalFileInfo info;
    info.SetFileName(ProgramFilePath().Bytes());
    info.ReadVersionInfo();
    info.GetFileInfo(programInfo_);
    ReleaseIcon(info.LargeIcon);
    ReleaseIcon(info.SmallIcon);
}

void TTavrenne::BuildActions() {
    struct Def {
        QAction** slot;
        const char* name;
        const char* caption;
        const char* hint;
        bool enabled;
        int image;
    };
    const Def defs[] = {
        {&Action1, "Action1", QT_TR_NOOP("ファイルを開く(&O)..."), QT_TR_NOOP("ファイルを開く"), true, tiOpen},
        {&Action2, "Action2", QT_TR_NOOP("更新(&R)"), QT_TR_NOOP("更新"), false, tiRefresh},
        {&Action4, "Action4", QT_TR_NOOP("一括チェック(&A)..."), QT_TR_NOOP("一括チェック"), true, tiBatch},
        {&Action19, "Action19", QT_TR_NOOP("実行/解凍（&U）"), QT_TR_NOOP("実行/解凍"), false, tiRun},
        {&Action16, "Action16", QT_TR_NOOP("終了(&X)"), nullptr, true, tiExit},
        {&Action6, "Action6", QT_TR_NOOP("結果をコピー(&C)"), QT_TR_NOOP("結果をコピー"), false, tiCopy},
        {&Action7, "Action7", QT_TR_NOOP("結果をファイルへ保存(&F)"), QT_TR_NOOP("結果を保存"), false, tiSave},
        {&Action21, "Action21", QT_TR_NOOP("ファイル名をコピー(&S)"), nullptr, false, tiCopyName},
        {&Action22, "Action22", QT_TR_NOOP("ファイル名をコピー (FullPath) (&P)"), nullptr, false, tiCopyPath},
        {&Action8, "Action8", QT_TR_NOOP("結果をクリア(&E)"), QT_TR_NOOP("結果をクリア"), false, tiClear},
        {&Action10, "Action10", QT_TR_NOOP("ウインドウを常に前面に表示(&W)"), nullptr, true, tiTopmost},
        {&Action17, "Action17", QT_TR_NOOP("書式->L "), nullptr, true, tiFormatL},
        {&Action18, "Action18", QT_TR_NOOP("書式->S "), nullptr, true, tiFormatS},
        {&Action3, "Action3", QT_TR_NOOP("文字列からハッシュ生成(&H)..."), nullptr, true, tiStringHash},
        {&Action5, "Action5", QT_TR_NOOP("同一ファイルを検索(&S)..."), QT_TR_NOOP("同一ファイル検索"), false, tiDupSearch},
        {&Action11, "Action11", QT_TR_NOOP("Digest認証ツール(&D)..."), nullptr, true, tiDigest},
        {&Action12, "Action12", QT_TR_NOOP("詳細設定(&C)..."), QT_TR_NOOP("詳細設定"), true, tiOptions},
        {&Action13, "Action13", QT_TR_NOOP("Tavrenneのヘルプ(&C)"), QT_TR_NOOP("ヘルプを開く"), true, tiHelp},
        {&Action14, "Action14", QT_TR_NOOP("Quilloryのウェブサイトを表示(&W)"), nullptr, true, tiWeb},
        {&Action15, "Action15", QT_TR_NOOP("バージョン情報(&V)..."), nullptr, true, tiAbout},
        {&Action20, "Action20", QT_TR_NOOP("中止"), nullptr, false, tiAbort},
    };
    for (const Def& d : defs) {
        auto* a = new QAction(tr(d.caption), this);
        a->setObjectName(QString::fromLatin1(d.name));
        a->setIcon(ToolImage(d.image));
        // Actions without a hint show none (Qt would fall back to the caption).
        a->setToolTip(d.hint ? tr(d.hint) : QString());
        a->setProperty("hint", d.hint ? tr(d.hint) : QString());
        a->setEnabled(d.enabled);
        *d.slot = a;
    }
    // The keys a Linux desktop user expects; the exit key goes through the exit command's question.
    Action1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Action2->setShortcut(QKeySequence(Qt::Key_F5));
    Action13->setShortcut(QKeySequence(Qt::Key_F1));
    Action16->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action10->setCheckable(true);
    Action17->setCheckable(true);
    Action18->setCheckable(true);
    Action18->setChecked(true);
    formatGroup_ = new QActionGroup(this);
    formatGroup_->setExclusive(true);
    formatGroup_->addAction(Action17);
    formatGroup_->addAction(Action18);

    connect(Action1, &QAction::triggered, this, &TTavrenne::Action1Execute);
    connect(Action2, &QAction::triggered, this, &TTavrenne::Action2Execute);
    connect(Action4, &QAction::triggered, this, &TTavrenne::batchRequested);
    connect(Action19, &QAction::triggered, this, &TTavrenne::RunOrExtract);
    connect(Action16, &QAction::triggered, this, &TTavrenne::Action16Execute);
    connect(Action6, &QAction::triggered, this, &TTavrenne::Action6Execute);
    connect(Action7, &QAction::triggered, this, &TTavrenne::Action7Execute);
    connect(Action21, &QAction::triggered, this, &TTavrenne::Action21Execute);
    connect(Action22, &QAction::triggered, this, &TTavrenne::Action22Execute);
    connect(Action8, &QAction::triggered, this, &TTavrenne::Action8Execute);
    connect(Action10, &QAction::triggered, this, &TTavrenne::Action10Execute);
    connect(Action17, &QAction::triggered, this, &TTavrenne::Action17Execute);
    connect(Action18, &QAction::triggered, this, &TTavrenne::Action18Execute);
    connect(Action3, &QAction::triggered, this, &TTavrenne::stringHashRequested);
    connect(Action5, &QAction::triggered, this, [this] {
        if (!currentPath_.IsEmpty()) emit duplicateSearchRequested();
    });
    connect(Action11, &QAction::triggered, this, &TTavrenne::digestToolRequested);
    connect(Action12, &QAction::triggered, this, &TTavrenne::optionsRequested);
    connect(Action13, &QAction::triggered, this, &TTavrenne::Action13Execute);
    connect(Action14, &QAction::triggered, this, &TTavrenne::Action14Execute);
    connect(Action15, &QAction::triggered, this, &TTavrenne::Action15Execute);
    connect(Action20, &QAction::triggered, this, &TTavrenne::Action20Execute);
    // Every action works from the keyboard wherever the focus is in the window.
    addActions({Action1, Action2, Action4, Action19, Action16, Action6, Action7, Action21, Action22,
                Action8, Action10, Action17, Action18, Action3, Action5, Action11, Action12, Action13,
                Action14, Action15, Action20});
}

void TTavrenne::BuildMenus() {
    ActionMainMenuBar1 = Named(new QMenuBar(centralWidget()), "ActionMainMenuBar1");
    ActionMainMenuBar1->setNativeMenuBar(false);
    ActionMainMenuBar1->setGeometry(0, 0, kDesignWidth, 23);

    QMenu* file = ActionMainMenuBar1->addMenu(tr("ファイル(&F)"));
    file->setObjectName(QStringLiteral("MenuFile"));
    file->addActions({Action1, Action2, Action4, Action19});
    file->addSeparator();
    // The system menu's recent files are here too.
    RecentMenu = Named(new QMenu(tr("最近使ったファイル"), file), "RecentMenu");
    file->addMenu(RecentMenu);
    RebuildRecentMenu();
    file->addSeparator();
    file->addAction(Action16);

    QMenu* edit = ActionMainMenuBar1->addMenu(tr("編集(&E)"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    edit->addActions({Action6, Action7, Action21, Action22, Action8});

    QMenu* view = ActionMainMenuBar1->addMenu(tr("表示(&V)"));
    view->setObjectName(QStringLiteral("MenuView"));
    view->addAction(Action10);
    view->addAction(Proxy(Action17, tr("書式->L (&L)"), view));
    view->addAction(Proxy(Action18, tr("書式->S (&S)"), view));

    QMenu* tools = ActionMainMenuBar1->addMenu(tr("追加機能(&T)"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    tools->addActions({Action3, Action5, Action11});

    QMenu* options = ActionMainMenuBar1->addMenu(tr("オプション(&C)"));
    options->setObjectName(QStringLiteral("MenuOptions"));
    options->addAction(Action12);

    QMenu* help = ActionMainMenuBar1->addMenu(tr("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    help->addActions({Action13, Action14, Action15});
}

void TTavrenne::BuildToolBar() {
    ControlBar1 = Named(new QFrame(centralWidget()), "ControlBar1");
    ControlBar1->setGeometry(0, 24, kDesignWidth, 33);
    ControlBar1->setFrameShape(QFrame::StyledPanel);
    ControlBar1->setFrameShadow(QFrame::Raised);

    ToolBarA = Named(new QToolBar(ControlBar1), "ToolBarA");
    ToolBarA->setMovable(false);
    ToolBarA->setFloatable(false);
    ToolBarA->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBarA->setIconSize(QSize(16, 16));
    ToolBarA->setGeometry(2, 3, kDesignWidth - 4, 26);

    auto add = [this](QAction* a, const QString& caption = QString()) {
        QAction* item = caption.isEmpty() ? a : Proxy(a, caption, ToolBarA);
        ToolBarA->addAction(item);
        if (QWidget* w = ToolBarA->widgetForAction(item)) w->setObjectName(QStringLiteral("ToolBarA_") + a->objectName());
    };
    add(Action1);
    ToolBarA->addSeparator();
    add(Action19);
    ToolBarA->addSeparator();
    add(Action6);
    add(Action7);
    add(Action8);
    ToolBarA->addSeparator();
    add(Action17, tr("書式->L (&L)"));
    add(Action18, tr("書式->S (&S)"));
    ToolBarA->addSeparator();
    add(Action5, tr("同一ファイルを検索(&Z)..."));
    add(Action12, tr("詳細設定(&Y)..."));
    ToolBarA->addSeparator();
    add(Action13, tr("Tavrenneのヘルプ(&I)"));

    anchors_->Add(ControlBar1, Qt::LeftEdge | Qt::RightEdge, QSize(kDesignWidth, kDesignHeight));
}

void TTavrenne::BuildClient() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    anchors_ = std::make_unique<TAnchors>();
    const QSize design(kDesignWidth, kDesignHeight);

    Panel1 = Named(new QFrame(client), "Panel1");
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(4, 64, 492, 333);

    Image1 = Named(new QLabel(Panel1), "Image1");
    Image1->setGeometry(12, 12, 32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->hide();

    QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
    const char* names[] = {"Label1", "Label2", "Label3", "Label4", "Label5"};
    for (int i = 0; i < 5; ++i) {
        *labels[i] = Named(new QLabel(Panel1), names[i]);
        (*labels[i])->setGeometry(56, 8 + i * 18, 424, 17);
    }
    Label1->setText(Shown(kCaptionName));
    Label2->setText(Shown(kCaptionSize));
    Label3->setText(Shown(kCaptionVersion));
    Label4->setText(Shown(kCaptionTime));
    Label5->setText(Shown(kCaptionCopyright));
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5}) FitLabel(*label);

    CheckBox1 = Named(new QCheckBox(tr("読み取り専用"), Panel1), "CheckBox1");
    CheckBox1->setGeometry(56, 100, 110, 18);
    CheckBox2 = Named(new QCheckBox(tr("隠しファイル"), Panel1), "CheckBox2");
    CheckBox2->setGeometry(172, 100, 110, 18);
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1->setChecked(ShownReadOnly); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2->setChecked(ShownHidden); });

    QLineEdit** edits[] = {&LabeledEdit1, &LabeledEdit2, &LabeledEdit3, &LabeledEdit4, &LabeledEdit5};
    const char* editNames[] = {"LabeledEdit1", "LabeledEdit2", "LabeledEdit3", "LabeledEdit4", "LabeledEdit5"};
    const char* editCaptions[] = {"CRC32", "MD5", "SHA-1", "SHA-256", "SHA-512"};
    // The SHA-256 and SHA-512 rows take the panel's width; LayoutDigestRows places them.
    const int editWidths[] = {96, 324, 324, 468, 468};
    for (int i = 0; i < 5; ++i) {
        editLabels_[i] = new QLabel(QString::fromLatin1(editCaptions[i]), Panel1);
        editLabels_[i]->setObjectName(QString::fromLatin1(editNames[i]) + QStringLiteral("Label"));
        editLabels_[i]->setGeometry(12, 126 + i * 44, 200, 16);
        FitLabel(*editLabels_[i]);
        *edits[i] = Named(new QLineEdit(Panel1), editNames[i]);
        (*edits[i])->setGeometry(12, 143 + i * 44, editWidths[i], 22);
        (*edits[i])->setReadOnly(true);
        editLabels_[i]->setBuddy(*edits[i]);
        (*edits[i])->installEventFilter(this);
    }
    for (int i = 3; i < 5; ++i) {
        editLabels_[i]->hide();
        (*edits[i])->hide();
    }

    // Five choices and the two buttons: the box reaches up beside the attribute boxes, which
    // end left of it, and ends where it always did.
    GroupBox1 = Named(new QGroupBox(tr("取得タイプ"), Panel1), "GroupBox1");
    GroupBox1->setGeometry(350, 100, 130, 148);
    struct {
        QCheckBox** slot;
        const char* name;
        const char* caption;
    } const boxes[] = {
        {&CheckBox4, "CheckBox4", QT_TR_NOOP("CRC32を取得")},   {&CheckBox5, "CheckBox5", QT_TR_NOOP("MD5を取得")},
        {&CheckBox6, "CheckBox6", QT_TR_NOOP("SHA-1を取得")},   {&CheckBox8, "CheckBox8", QT_TR_NOOP("SHA-256を取得")},
        {&CheckBox9, "CheckBox9", QT_TR_NOOP("SHA-512を取得")},
    };
    // The design's 18-pixel boxes under the title, as close as five need; the buttons keep
    // their 24 pixels at the foot.
    GroupBox1->ensurePolished();
    const int firstBox = std::max(18, GroupBox1->contentsRect().top());
    const int pitch = std::clamp((120 - firstBox) / 5, 18, 20);
    for (int i = 0; i < 5; ++i) {
        *boxes[i].slot = Named(new QCheckBox(tr(boxes[i].caption), GroupBox1), boxes[i].name);
        (*boxes[i].slot)->setGeometry(10, firstBox + i * pitch, std::max(112, (*boxes[i].slot)->sizeHint().width()), 18);
    }
    CheckBox5->setChecked(true);
    Button4 = Named(new QPushButton(QStringLiteral("AllCheck"), GroupBox1), "Button4");
    Button4->setGeometry(8, 120, 56, 24);
    Button5 = Named(new QPushButton(QStringLiteral("AllOff"), GroupBox1), "Button5");
    Button5->setGeometry(66, 120, 56, 24);
    for (QCheckBox* box : {CheckBox8, CheckBox9})
        connect(box, &QCheckBox::toggled, this, &TTavrenne::LayoutDigestRows);
    connect(Button4, &QPushButton::clicked, this, [this] { ButtonAllClick(true); });
    connect(Button5, &QPushButton::clicked, this, [this] { ButtonAllClick(false); });

    CheckBox3 = Named(new QCheckBox(tr("ハッシュを比較"), Panel1), "CheckBox3");
    CheckBox3->setGeometry(12, 262, 112, 22);
    ComboBox1 = Named(new QComboBox(Panel1), "ComboBox1");
    // The kinds' values first, then the automatic choice.
    ComboBox1->addItems({QStringLiteral("MD5"), QStringLiteral("SHA-1"), QStringLiteral("CRC32"),
                         QStringLiteral("SHA-256"), QStringLiteral("SHA-512"), tr("自動")});
    ComboBox1->setGeometry(126, 262, 74, 22);
    ComboBox1->setToolTip(tr("比較するハッシュタイプ"));
    ComboBox1->setEnabled(false);
    Edit1 = Named(new QLineEdit(Panel1), "Edit1");
    Edit1->setGeometry(204, 262, 276, 22);
    Edit1->setEnabled(false);
    QPalette editPal = Edit1->palette();
    editPal.setColor(QPalette::All, QPalette::Base, QApplication::palette(Edit1).color(QPalette::Button));
    Edit1->setPalette(editPal);
    connect(CheckBox3, &QCheckBox::toggled, this, &TTavrenne::CheckBox3Click);

    ProgressBar1 = Named(new QProgressBar(Panel1), "ProgressBar1");
    ProgressBar1->setGeometry(12, 292, 468, 14);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    Label6 = Named(new QLabel(QStringLiteral("100%"), Panel1), "Label6");
    Label6->setGeometry(12, 308, 270, 17);
    FitLabel(*Label6);
    Label6->hide();
    CheckBox7 = Named(new QCheckBox(tr("作業終了時にシャットダウン"), Panel1), "CheckBox7");
    CheckBox7->setGeometry(290, 308, 190, 18);
    CheckBox7->hide();

    Button1 = Named(new QPushButton(Action1->text(), client), "Button1");
    Button1->setGeometry(500, 64, 125, 25);
    Button1->setDefault(true);  // Enter that no other control takes: see keyPressEvent
    Bind(Button1, Action1);
    Button2 = Named(new QPushButton(Action2->text(), client), "Button2");
    Button2->setGeometry(500, 96, 125, 25);
    Bind(Button2, Action2);
    Button3 = Named(new QPushButton(tr("結果をクリア"), client), "Button3");
    Button3->setGeometry(500, 128, 125, 25);
    Bind(Button3, Action8);
    BitBtn1 = Named(new QPushButton(Action20->icon(), Action20->text(), client), "BitBtn1");
    BitBtn1->setGeometry(500, 168, 125, 25);
    Bind(BitBtn1, Action20);
    BitBtn1->hide();
    // A focused button takes Enter itself, as on Windows; Enter elsewhere goes to Button1.
    for (QPushButton* b : {Button2, Button3, Button4, Button5, BitBtn1}) b->setAutoDefault(true);

    SpeedButton1 = Named(new QToolButton(client), "SpeedButton1");
    SpeedButton1->setGeometry(500, 368, 125, 26);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setText(tr("ログを隠す"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TTavrenne::ToggleLog);

    ListView1 = Named(new QTreeWidget(client), "ListView1");
    ListView1->setGeometry(4, 400, 617, 90);
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QString(), tr("  時間"), tr("イベント")});
    ListView1->setRootIsDecorated(false);
    ListView1->setIndentation(0);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ListView1->setIconSize(QSize(16, 16));
    QHeaderView* header = ListView1->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(16);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->setSectionResizeMode(2, QHeaderView::Interactive);
    ListView1->setColumnWidth(0, 22);
    ListView1->setColumnWidth(1, LogTimeColumnWidth(*ListView1, QLocale()));
    ListView1->setColumnWidth(2, 400);
    connect(header, &QHeaderView::sectionResized, this, [this](int index, int, int size) {
        if (index == 2 && size < 100) ListView1->setColumnWidth(2, 100);
    });
    // The selection stays visible when the list loses the focus.
    QPalette pal = ListView1->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    ListView1->setPalette(pal);

    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    N1 = PopupMenu1->addAction(tr("ログを保存する(&S)..."));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(tr("ログを消去する(&E)"));
    N2->setObjectName(QStringLiteral("N2"));
    connect(N1, &QAction::triggered, this, &TTavrenne::SaveLog);
    connect(N2, &QAction::triggered, this, [this] { ListView1->clear(); });
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
        const bool any = ListView1->topLevelItemCount() > 0;
        N1->setEnabled(any);
        N2->setEnabled(any);
    });
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(ListView1->viewport()->mapToGlobal(pos)); });

    StatusBar1 = Named(new QFrame(client), "StatusBar1");
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setIndent(3);   // the text keeps off the panel's border
        StatusPanels[i] = panel;
    }
    StatusPanels[0]->setText(Shown(kCaptionPath));
    // The design's 19 pixels and panel widths, or what this font needs: the bar stays at the
    // bottom edge and grows upwards.
    const int panelHeight = std::max(18, StatusPanels[0]->sizeHint().height());
    const int panelWidths[] = {std::max(65, StatusPanels[0]->sizeHint().width()), 500, 50};
    StatusBar1->setGeometry(0, kDesignHeight - (panelHeight + 1), kDesignWidth, panelHeight + 1);
    int x = 0;
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i]->setGeometry(x, 1, panelWidths[i], panelHeight);
        x += panelWidths[i] + 2;
    }
    StatusBar1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StatusBar1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { SystemMenu->popup(StatusBar1->mapToGlobal(pos)); });
    for (QLabel* panel : StatusPanels) {
        panel->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(panel, &QWidget::customContextMenuRequested, this,
                [this, panel](const QPoint& pos) { SystemMenu->popup(panel->mapToGlobal(pos)); });
    }

    anchors_->Add(Panel1, Qt::LeftEdge | Qt::RightEdge, design);
    for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, Button3, BitBtn1, SpeedButton1})
        anchors_->Add(w, Qt::RightEdge, design);
    anchors_->Add(ListView1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge, design);
    anchors_->Add(StatusBar1, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge, design);
    anchors_->Add(StatusPanels[1], Qt::LeftEdge, design);
}

void TTavrenne::BuildSystemMenu() {
    SystemMenu = Named(new QMenu(this), "SystemMenu");
    QAction* restore = SystemMenu->addAction(tr("元のサイズに戻す(&R)"), this, [this] { showNormal(); });
    SystemMenu->addAction(tr("移動(&M)"), this, [this] {
        if (windowHandle()) windowHandle()->startSystemMove();
    });
    SystemMenu->addAction(tr("サイズ変更(&S)"), this, [this] {
        if (windowHandle()) windowHandle()->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
    });
    SystemMenu->addAction(tr("最小化(&N)"), this, [this] { showMinimized(); });
    QAction* maximize = SystemMenu->addAction(tr("最大化(&X)"));
    maximize->setEnabled(false);  // the window has no maximize box
    SystemMenu->addSeparator();
    QAction* close = SystemMenu->addAction(tr("閉じる(&C)"), this, [this] { this->close(); });
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(SystemMenu, &QMenu::aboutToShow, this, [this, restore] {
        restore->setEnabled(isMinimized() || isMaximized());
    });
    connect(SystemMenu, &QMenu::triggered, this, [this](QAction* a) {
        bool ok = false;
        const int id = a->data().toInt(&ok);
        if (ok) SystemMenuCommand(id);
    });
    // Alt+Space opens the window manager's own window menu on Linux desktops: this menu has a
    // key that desktops leave to the window.
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { SystemMenu->popup(mapToGlobal(QPoint(0, 0))); });
}

void TTavrenne::RebuildRecentMenu() {
    if (!RecentMenu) return;
    // The five items stay; only their captions follow the list (an item may be the one that
    // started the analysis now updating them).
    if (RecentMenu->actions().isEmpty()) {
        for (int i = 0; i < 5; ++i) {
            QAction* item = RecentMenu->addAction(QString());
            item->setData(kRecentFirstMenuId + i);
            item->setObjectName(QStringLiteral("RecentMenuFile%1").arg(i));
            connect(item, &QAction::triggered, this, [this, i] { SystemMenuCommand(kRecentFirstMenuId + i); });
        }
    }
    const QList<QAction*> items = RecentMenu->actions();
    for (int i = 0; i < 5; ++i)
        items[i]->setText(QStringLiteral("(&%1) ").arg(i + 1) + RecentFileDisplayText(RecentFiles.value(i)));
}

void TTavrenne::BringToFront() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    // A program that shows nothing would take files unseen.
    if (isMinimized() || isHidden()) showNormal();
    raise();
    activateWindow();
}

// As for a drop: not while a run goes on, nor under a box or a window above it.
bool TTavrenne::Busy() const {
    return !MenuBarEnabled() || analysisRunning_ || QApplication::activeModalWidget() != nullptr;
}

void TTavrenne::keyPressEvent(QKeyEvent* event) {
    // The default button: what reaches the window was taken by no control (a focused
    // push button clicks itself, being auto-default).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        if (Button1->isEnabled() && Button1->isVisible()) Button1->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TTavrenne::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const QSize size = this->size();
    if (anchors_) anchors_->Apply(size);
    if (ActionMainMenuBar1) ActionMainMenuBar1->resize(size.width(), ActionMainMenuBar1->height());
    if (ToolBarA) {
        ToolBarA->resize(ControlBar1->width() - 4, ToolBarA->height());
        if (ToolBarA->height() < 22) ToolBarA->resize(ToolBarA->width(), 26);
    }
    for (QLineEdit* edit : {LabeledEdit4, LabeledEdit5})
        if (edit && Panel1) edit->resize(Panel1->width() - 24, edit->height());
}

void TTavrenne::LayoutDigestRows() {
    if (!Panel1 || !anchors_) return;
    // Rows start under the SHA-1 box and the choices, 44 pixels each as the rows above.
    constexpr int kFirstRow = 258;
    constexpr int kRow = 44;
    int rows = 0;
    const struct {
        QCheckBox* box;
        QLineEdit* edit;
        QLabel* label;
    } digestRows[] = {{CheckBox8, LabeledEdit4, editLabels_[3]}, {CheckBox9, LabeledEdit5, editLabels_[4]}};
    for (const auto& r : digestRows) {
        const bool shown = r.box->isChecked() || !r.edit->text().isEmpty();
        r.label->setVisible(shown);
        r.edit->setVisible(shown);
        if (!shown) continue;
        r.label->move(12, kFirstRow + rows * kRow);
        r.edit->setGeometry(12, kFirstRow + rows * kRow + 17, Panel1->width() - 24, 22);
        ++rows;
    }
    const int diff = rows * kRow - digestRowsHeight_;
    if (diff == 0) return;
    digestRowsHeight_ += diff;
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox3, ComboBox1, Edit1, ProgressBar1, Label6, CheckBox7})
        w->move(w->x(), w->y() + diff);

    // The panel, the log button and the log move as one; the rest keeps to its edges.
    const bool logShown = !ListView1->isHidden();
    for (QWidget* w : std::initializer_list<QWidget*>{Panel1, SpeedButton1, ListView1})
        anchors_->SetEnabled(w, false, size());
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
    FullHeight += diff;
    resize(width(), height() + diff);
    anchors_->Apply(size());
    Panel1->resize(Panel1->width(), Panel1->height() + diff);
    SpeedButton1->move(SpeedButton1->x(), SpeedButton1->y() + diff);
    ListView1->move(ListView1->x(), ListView1->y() + diff);
    if (logShown) {
        setMinimumHeight(FullHeight);
    } else {
        setMinimumHeight(height());
        setMaximumHeight(height());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Panel1, SpeedButton1, ListView1})
        anchors_->SetEnabled(w, true, size());
}
