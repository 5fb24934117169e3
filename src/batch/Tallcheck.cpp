#include "batch/Tallcheck.h"

#include <algorithm>
#include <atomic>
#include <functional>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimeEdit>
#include <QTreeView>
#include <QVBoxLayout>
#include <QUrl>

#include "app/MainWindow.h"
#include "app/SettingsAccess.h"
#include "app/Translations.h"
#include "batch/Tacdlgf.h"
#include "components/WindowLook.h"
#include "engine/ChecksumVerify.h"
#include "engine/FileUtils.h"
#include "platform/Dialogs.h"
#include "platform/TextFile.h"
#include "text/TextUtil.h"

Tallcheck* allcheck = nullptr;

void BatchProgress(int64_t processed, int64_t total) {
    if (!allcheck || total <= 0) return;
    allcheck->ProgressBar2->setValue(int(processed * 100 / total));
}

namespace {

using TCell = TBatchRows::TCell;
constexpr TCell cName = TBatchRows::cName, cCurrentTime = TBatchRows::cCurrentTime, cNewTime = TBatchRows::cNewTime,
                cCRC32 = TBatchRows::cCRC32, cMD5 = TBatchRows::cMD5, cSize = TBatchRows::cSize,
                cSHA1 = TBatchRows::cSHA1, cPath = TBatchRows::cPath;

QDateTime NowDateTime() { return QDateTime::currentDateTime(); }

TDateTimeParts PartsOf(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), 0};
}

QString TimeCellText(const QDateTime& value) { return QString::fromStdString(FileTimeText(PartsOf(value))); }

// A button that shows and triggers an action.
void Bind(QPushButton* button, QAction* action) {
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    button->setEnabled(action->isEnabled());
}

}  // namespace

// Maps a hash phase onto the rows and the progress display.
class Tallcheck::TPhaseSink : public TBatchHashSink {
public:
    TPhaseSink(Tallcheck& w, TCell cell) : w_(w), cell_(cell), pacer_(w.Clock) {}
    int RowCount() override { return w_.RowCount(); }
    std::string RowPath(int row) override { return w_.rows_->PathOf(row).Bytes(); }
    bool Aborted() override { return w_.FAbort; }
    void EngineChanged(TNormalFileInfo* engine) override { w_.FEngine = engine; }
    void RowStarted(int, const std::string& path) override {
        const std::string shown = TPath(path).Display().toStdString();
        w_.Label5->setText(Tallcheck::tr("現在のファイル: %1").arg(QString::fromStdString(ShortenText(shown, 70))));
    }
    void RowDone(int row, const std::string& sizeText, const std::string& digest, const std::string&) override {
        w_.rows_->SetText(row, cSize, QString::fromStdString(sizeText));
        if (!digest.empty()) w_.rows_->SetText(row, cell_, QString::fromStdString(digest));
    }
    // A file that vanished or could not be read: its cells stay, and the closing box counts
    // it once however many phases met it.
    void RowFailed(int row, const std::string&) override {
        if (w_.failedRows_.insert(row).second) ++w_.FErrorCount;
    }
    void RowEnded(int row) override {
        if (!w_.FAbort) w_.ProgressBar1->setValue(row);
        w_.PumpBetweenRows(pacer_);
    }

private:
    Tallcheck& w_;
    TCell cell_;
    TBatchPacer pacer_;
};

Tallcheck::Tallcheck(TMainWindow* main) : QDialog(main ? &main->Window() : nullptr), main_(main) {
    setObjectName(QStringLiteral("allcheck"));
    allcheck = this;
    Clock = [] {
        static QElapsedTimer timer;
        if (!timer.isValid()) timer.start();
        return int64_t(timer.elapsed());
    };
    Wait = [](int ms) { QThread::msleep(ulong(ms)); };
    NowText = [] { return LocaleDateTimeText(NowParts()); };

    setWindowTitle(tr("Tavrenne- ファイル一括設定 -"));
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPixelSize(12);
    setFont(f);
    SetFixedDialog(*this, QSize(774, 554));
    BuildActions();
    BuildClient();
    if (main) move(main->Window().geometry().center() - rect().center());

    // FormCreate
    SetNewTimestamp(NowDateTime());
    Action7->setChecked(true);
    ApplyWorkType();
    FAbort = false;
    ShowRenameExample();
}

Tallcheck::~Tallcheck() {
    if (allcheck == this) allcheck = nullptr;
}

QString Tallcheck::Title() const { return main_ ? main_->ApplicationTitle() : QStringLiteral("Tavrenne"); }

void Tallcheck::BuildActions() {
    struct Def {
        QAction** slot;
        const char* name;
        const char* caption;
        bool enabled;
    };
    const Def defs[] = {
        {&Action1, "Action1", QT_TR_NOOP("追加（&O）"), true},
        {&Action12, "Action12", QT_TR_NOOP("フォルダから追加(&D)..."), true},
        {&Action3, "Action3", QT_TR_NOOP("選択した作業を実行(&G)"), false},
        {&Action4, "Action4", QT_TR_NOOP("終了(&X)"), true},
        {&Action6, "Action6", QT_TR_NOOP("CRC32の一括取得(&C)"), true},
        {&Action7, "Action7", QT_TR_NOOP("MD5の一括取得(&M)"), true},
        {&Action10, "Action10", QT_TR_NOOP("SHA-1一括取得（&H）"), true},
        {&Action13, "Action13", QT_TR_NOOP("全取得(CRC32 MD5 SHA-1)(&A)"), true},
        {&Action11, "Action11", QT_TR_NOOP("ファイル名一括変更(&R)"), true},
        {&Action5, "Action5", QT_TR_NOOP("Time Walker(&T)"), true},
        {&Action8, "Action8", QT_TR_NOOP("現在の時刻を取得(&N)"), false},
        {&Action9, "Action9", QT_TR_NOOP("リストを保存する(&S)..."), false},
        {&Action2, "Action2", QT_TR_NOOP("リストをクリア(&L)"), true},
        {&Action14, "Action14", QT_TR_NOOP("チェックサムの検証(&V)"), true},
    };
    for (const Def& d : defs) {
        auto* a = new QAction(tr(d.caption), this);
        a->setObjectName(QString::fromLatin1(d.name));
        a->setEnabled(d.enabled);
        *d.slot = a;
    }
    workGroup_ = new QActionGroup(this);
    workGroup_->setExclusive(true);
    for (QAction* a : {Action6, Action7, Action10, Action13, Action11, Action5, Action14}) {
        a->setCheckable(true);
        workGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { CheckWorkType(a); });
    }
    connect(Action1, &QAction::triggered, this, &Tallcheck::Action1Execute);
    connect(Action2, &QAction::triggered, this, &Tallcheck::Action2Execute);
    connect(Action3, &QAction::triggered, this, &Tallcheck::Action3Execute);
    connect(Action4, &QAction::triggered, this, [this] {
        if (!FRunning) done(QDialog::Accepted);
    });
    connect(Action8, &QAction::triggered, this, &Tallcheck::Action8Execute);
    connect(Action9, &QAction::triggered, this, &Tallcheck::Action9Execute);
    connect(Action12, &QAction::triggered, this, &Tallcheck::Action12Execute);

    ActionMainMenuBar1 = new QMenuBar(this);
    ActionMainMenuBar1->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    QMenu* file = ActionMainMenuBar1->addMenu(tr("ファイル(&F)"));
    file->addActions({Action12, Action3, Action4});
    QMenu* work = ActionMainMenuBar1->addMenu(tr("作業(&W)"));
    work->addActions({Action6, Action7, Action10, Action13, Action11, Action5, Action8, Action9, Action2});
    // Placed once its menus exist, so it lays them out at full width.
    ActionMainMenuBar1->setGeometry(0, 0, 774, std::max(22, ActionMainMenuBar1->sizeHint().height()));
}

void Tallcheck::BuildClient() {
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    rows_ = new TBatchRows(this);
    rows_->setObjectName(QStringLiteral("Rows"));
    ListView1 = new QTreeView(this);
    named(ListView1, "ListView1");
    ListView1->setModel(rows_);
    ListView1->setGeometry(8, ActionMainMenuBar1->height() + 4, 758, 368 - ActionMainMenuBar1->height() - 4);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSortingEnabled(false);
    ListView1->setIconSize(QSize(16, 16));
    QHeaderView* header = ListView1->header();
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    ListView1->setColumnWidth(0, 20);
    ListView1->setColumnWidth(1, 200);
    // The name column keeps at least 10 pixels.
    connect(header, &QHeaderView::sectionResized, this, [this](int index, int, int size) {
        if (index == cName && size < 10) ListView1->setColumnWidth(cName, 10);
    });

    Label5 = new QLabel(tr("現在のファイル:"), this);
    named(Label5, "Label5")->setGeometry(8, 374, 560, 16);
    FitLabel(*Label5);
    ProgressBar2 = new QProgressBar(this);
    named(ProgressBar2, "ProgressBar2")->setGeometry(8, 392, 758, 14);
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    Label1 = new QLabel(tr("全体の進行状況:"), this);
    named(Label1, "Label1")->setGeometry(8, 410, 560, 16);
    FitLabel(*Label1);
    ProgressBar1 = new QProgressBar(this);
    named(ProgressBar1, "ProgressBar1")->setGeometry(8, 428, 758, 14);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    GroupBox1 = new QGroupBox(this);
    named(GroupBox1, "GroupBox1")->setGeometry(8, 448, 380, 82);
    Panel1 = new QWidget(GroupBox1);
    named(Panel1, "Panel1")->setGeometry(8, 12, 364, 62);
    Label2 = new QLabel(tr("設定する日時："), Panel1);
    named(Label2, "Label2")->setGeometry(0, 4, 100, 16);
    FitLabel(*Label2);
    DateTimePicker1 = new QDateEdit(Panel1);
    named(DateTimePicker1, "DateTimePicker1")->setGeometry(0, 24, 170, 22);
    // The locale's long date, its names in English where the window is: a Japanese desktop
    // that chose English sees no Japanese month or weekday.
    if (InstalledLanguage() == TLanguage::English && QLocale().language() != QLocale::English)
        DateTimePicker1->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    DateTimePicker1->setDisplayFormat(DateTimePicker1->locale().dateFormat(QLocale::LongFormat));
    DateTimePicker1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    // English weekday and month names are long: where the longest would not fit, they are
    // abbreviated and the date shows whole.
    DateTimePicker1->setDate(QDate(2026, 9, 30));
    if (InstalledLanguage() == TLanguage::English && DateTimePicker1->sizeHint().width() > DateTimePicker1->width()) {
        QString shorter = DateTimePicker1->displayFormat();
        shorter.replace(QStringLiteral("dddd"), QStringLiteral("ddd")).replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
        DateTimePicker1->setDisplayFormat(shorter);
    }
    DateTimePicker2 = new QTimeEdit(Panel1);
    named(DateTimePicker2, "DateTimePicker2")->setGeometry(176, 24, 100, 22);
    DateTimePicker2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Button1 = new QPushButton(QStringLiteral("Now"), Panel1);
    named(Button1, "Button1")->setGeometry(284, 22, 70, 25);
    Bind(Button1, Action8);
    connect(DateTimePicker1, &QDateEdit::dateChanged, this,
            [this](const QDate& d) { SetNewTimestamp(QDateTime(d, chosen_.time())); });
    connect(DateTimePicker2, &QTimeEdit::timeChanged, this,
            [this](const QTime& t) { SetNewTimestamp(QDateTime(chosen_.date(), t)); });

    // The rename options laid out by this font's line height: the three choices under their
    // title, and the two-line example under the value.
    const int row = fontMetrics().height() + 1;
    Panel2 = new QWidget(GroupBox1);
    named(Panel2, "Panel2")->setGeometry(8, 2, 364, 78);
    RadioGroup1 = new QGroupBox(QStringLiteral("Type"), Panel2);
    named(RadioGroup1, "RadioGroup1")->setGeometry(0, 0, 120, 78);
    auto* radios = new QVBoxLayout(RadioGroup1);
    radios->setContentsMargins(6, 0, 2, 2);
    radios->setSpacing(0);
    RadioGroup1Items = new QButtonGroup(this);
    const char* const items[] = {QT_TR_NOOP("連番"), QT_TR_NOOP("指定値+連番"), QT_TR_NOOP("タイムスタンプ")};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(tr(items[i]), RadioGroup1);
        b->setFixedHeight(row);
        radios->addWidget(b);
        RadioGroup1Items->addButton(b, i);
    }
    RadioGroup1Items->button(1)->setChecked(true);
    connect(RadioGroup1Items, &QButtonGroup::idClicked, this, [this] { ShowRenameExample(); });
    // A language with longer choices widens the group; what stands right of it moves over and
    // the value's box gives up that much.
    int widest = 0;
    for (QAbstractButton* b : RadioGroup1Items->buttons()) widest = std::max(widest, b->sizeHint().width());
    const QMargins m = radios->contentsMargins();
    const int wider = std::max(0, widest - (RadioGroup1->contentsRect().width() - m.left() - m.right()));
    RadioGroup1->resize(120 + wider, 78);
    Label3 = new QLabel(tr("指定値:"), Panel2);
    named(Label3, "Label3")->setGeometry(128 + wider, 10, 60, row);
    FitLabel(*Label3);
    const int editLeft = std::max(188 + wider, Label3->geometry().right() + 4);
    Edit1 = new QLineEdit(QStringLiteral("NewFilename_"), Panel2);
    named(Edit1, "Edit1")->setGeometry(editLeft, 8, 358 - editLeft, row + 4);
    Label4 = new QLabel(Panel2);
    named(Label4, "Label4")->setGeometry(128 + wider, row + 16, 236 - wider, 2 * row);

    auto button = [this, &named](QPushButton*& slot, const char* name, const char* caption, QRect geometry) {
        slot = new QPushButton(tr(caption), this);
        named(slot, name)->setGeometry(geometry);
        slot->setAutoDefault(false);
    };
    button(Button2, "Button2", QT_TR_NOOP("追加(&A)..."), QRect(400, 452, 150, 25));
    button(Button6, "Button6", QT_TR_NOOP("フォルダから追加(&D)..."), QRect(556, 452, 210, 25));
    button(BitBtn1, "BitBtn1", QT_TR_NOOP("リストを保存する(&S)..."), QRect(400, 482, 150, 25));
    button(Button4, "Button4", QT_TR_NOOP("中止"), QRect(556, 482, 100, 25));
    button(Button5, "Button5", QT_TR_NOOP("終了(&X)"), QRect(662, 482, 104, 25));
    button(Button3, "Button3", QT_TR_NOOP("選択した作業を実行(&G)"), QRect(400, 510, 366, 20));
    // The add button calls the handler itself: it stays usable while a run goes on.
    connect(Button2, &QPushButton::clicked, this, &Tallcheck::Action1Execute);
    Bind(Button6, Action12);
    Bind(Button3, Action3);
    connect(Button4, &QPushButton::clicked, this, &Tallcheck::Button4Click);
    Button4->setEnabled(false);
    Bind(Button5, Action4);
    Button5->setDefault(true);
    Bind(BitBtn1, Action9);

    StatusBar1 = new QStatusBar(this);
    named(StatusBar1, "StatusBar1")->setGeometry(0, 532, 774, 22);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanels[0] = new QLabel(tr("エラー："), StatusBar1);
    StatusPanels[1] = new QLabel(StatusBar1);
    for (QLabel* p : StatusPanels) {
        // 50 wide, or what the caption needs in this font.
        p->setFixedWidth(std::max(50, p->sizeHint().width()));
        p->setMinimumHeight(p->sizeHint().height());
        StatusBar1->addWidget(p);
    }
    // As high as its caption needs, at the window's bottom edge.
    const int barHeight = std::max(22, StatusBar1->sizeHint().height());
    StatusBar1->setGeometry(0, 554 - barHeight, 774, barHeight);
}

int Tallcheck::RowCount() const { return rows_->Count(); }

TBatchRow Tallcheck::Row(int r) const { return r >= 0 && r < RowCount() ? rows_->Row(r) : TBatchRow(); }

QIcon Tallcheck::IconOf(const TPath& path) {
    // The desktop decides a file's icon by its kind; asking once per extension keeps a folder
    // of 100,000 files from costing 100,000 look-ups.
    const QString key = QString::fromStdString(ExtractFileExt(path.Bytes())).toLower();
    const auto it = icons_.constFind(key);
    if (it != icons_.constEnd()) return *it;
    static QFileIconProvider provider;
    const QIcon icon = provider.icon(QFileInfo(path.ToQString()));
    icons_.insert(key, icon);
    return icon;
}

void Tallcheck::AddFile(const TPath& path) {
    const std::optional<TBatchRow> row = MakeBatchRow(path.Bytes(), TimeCellText(chosen_).toStdString());
    if (!row || int64_t(RowCount()) + int64_t(pending_.size()) >= 2147483647) return;
    ImageList1.push_back(IconOf(path));
    TBatchRows::TRow added;
    added.Path = path;
    added.Name = TPath(row->Name);
    added.Icon = ImageList1.back();
    added.CurrentTime = QString::fromStdString(row->CurrentTime);
    added.NewTime = QString::fromStdString(row->NewTime);
    pending_.push_back(std::move(added));
    if (!adding_) FlushAddedRows();
    Action3->setEnabled(true);
}

void Tallcheck::FlushAddedRows() { rows_->Append(std::move(pending_)); }

// One adding loop: rows go to the list about once a second and all of them at its end, also
// when the loop ends through an exception.
struct Tallcheck::TAddingLoop {
    Tallcheck& w;
    TBatchPacer pacer;
    explicit TAddingLoop(Tallcheck& window) : w(window), pacer(window.Clock, 1000) { w.adding_ = true; }
    ~TAddingLoop() {
        w.adding_ = false;
        w.FlushAddedRows();
    }
    void Added() {
        if (pacer.Due()) w.FlushAddedRows();
    }
};

void Tallcheck::SetControlsEnabled(bool enabled) {
    for (QAction* a : {Action1, Action3, Action4, Action8, Action9}) a->setEnabled(enabled);
    ActionMainMenuBar1->setEnabled(enabled);
    DateTimePicker1->setEnabled(enabled);
    DateTimePicker2->setEnabled(enabled);
    Label2->setEnabled(enabled);
    Button4->setEnabled(!enabled);
}

void Tallcheck::CheckWorkType(QAction* action) {
    action->setChecked(true);
    ApplyWorkType();
}

void Tallcheck::ApplyWorkType() {
    Panel1->hide();
    Panel2->hide();
    Action8->setEnabled(false);
    for (int c = cCurrentTime; c <= cPath; ++c) ListView1->setColumnWidth(c, 0);
    // The verification's columns exist for that work type alone.
    const bool verify = Action14->isChecked();
    for (int c = TBatchRows::cListKind; c <= TBatchRows::cVerdict; ++c) ListView1->setColumnHidden(c, !verify);
    struct Type {
        QAction* action;
        const char* caption;
        std::initializer_list<int> wide;
    };
    const Type types[] = {
        {Action6, QT_TR_NOOP("CRC32 一括取得"), {cCRC32}},
        {Action7, QT_TR_NOOP("MD5 一括取得"), {cMD5}},
        {Action10, QT_TR_NOOP("SHA-1 一括取得"), {cSHA1}},
        {Action13, QT_TR_NOOP("全取得 ( CRC32 MD5 SHA-1)"), {cCRC32, cMD5, cSHA1}},
        {Action11, QT_TR_NOOP("ファイル名一括変更"), {}},
        {Action5, QT_TR_NOOP("Time Walker"), {cCurrentTime, cNewTime}},
        {Action14, QT_TR_NOOP("チェックサムの検証"), {}},
    };
    for (const Type& t : types) {
        if (!t.action->isChecked()) continue;
        setWindowTitle(tr(t.caption));
        for (int c : t.wide) ListView1->setColumnWidth(c, 400);
    }
    if (Action5->isChecked()) {
        Panel1->show();
        Action8->setEnabled(true);
    }
    if (Action11->isChecked()) Panel2->show();
    if (verify) {
        ListView1->setColumnWidth(TBatchRows::cListKind, 70);
        ListView1->setColumnWidth(TBatchRows::cExpected, 170);
        ListView1->setColumnWidth(TBatchRows::cComputed, 170);
        ListView1->setColumnWidth(TBatchRows::cVerdict, 100);
    }
}

void Tallcheck::Action1Execute() {
    TFileDialogRequest request;
    request.Filter = tr("すべてのファイル(*.*)|*.*");
    request.MustExist = true;
    for (const QString& path : Dialogs().OpenFiles(request)) AddFile(TPath(path));
}

void Tallcheck::HandleDroppedFiles(const QList<TPath>& paths) {
    if (!ActionMainMenuBar1->isEnabled()) return;
    // One checksum list dropped alone brings its files for verification.
    TListFile list;
    if (paths.size() == 1 && LooksLikeChecksumList(paths.first().Bytes(), &list)) {
        AddChecksumList(paths.first(), list.List.Entries);
        return;
    }
    AddUnderProgress(size_t(paths.size()), [&paths](size_t i) { return paths[qsizetype(i)]; }, false);
}

void Tallcheck::Action12Execute() {
    const TPath folder(Dialogs().SelectFolder(tr("フォルダ内のファイルを追加します..."), QString()));
    if (folder.IsEmpty()) return;
    const bool recursive = Dialogs().MessageBox(tr("確認"), tr("サブフォルダ内のファイルも追加しますか？"),
                                                TMsgButtons::YesNo, TMsgIcon::Question) == TMsgResult::Yes;
    const std::vector<std::string> list = CollectFolder(folder.Bytes(), recursive);
    AddUnderProgress(list.size(), [&list](size_t i) { return TPath(list[i]); }, true);
}

namespace {

QString VerdictText(TListVerdict verdict) {
    switch (verdict) {
    case TListVerdict::Match: return Tallcheck::tr("一致");
    case TListVerdict::Mismatch: return Tallcheck::tr("不一致");
    case TListVerdict::Missing: return Tallcheck::tr("見つかりません");
    case TListVerdict::Unreadable: return Tallcheck::tr("読めません");
    case TListVerdict::Skipped: break;
    }
    return QString::fromLatin1(kBatchNoValue);
}

// The export's choices after the window's own text file: a list of one kind that
// `sha256sum -c` (`md5sum -c`, `cksfv -f`) checks.
struct TListExportFormat {
    TListFormat Format;
    TDigestKind Kind;
    const char* FileName;   // what the proposed name becomes
};
const TListExportFormat kListExports[] = {
    {TListFormat::Gnu, TDigestKind::SHA256, "SHA256SUMS"},
    {TListFormat::Gnu, TDigestKind::SHA512, "SHA512SUMS"},
    {TListFormat::Gnu, TDigestKind::MD5, "MD5SUMS"},
    {TListFormat::Sfv, TDigestKind::CRC32, "CheckFileList.sfv"},
};
// The choices in the order of kListExports, after the text file.
const char* const kExportFilter = QT_TRANSLATE_NOOP(
    "Tallcheck",
    "テキストファイル(*.txt)|*.txt|SHA256SUMS 形式|SHA256SUMS;*.sha256|SHA512SUMS 形式|SHA512SUMS;*.sha512|"
    "MD5SUMS 形式|MD5SUMS;*.md5|SFV 形式|*.sfv");

}  // namespace

void Tallcheck::AddChecksumList(const TPath& list, const std::vector<TListEntry>& entries) {
    const std::string folder = ExportFolder(list.Bytes());
    const QString newTime = TimeCellText(chosen_);
    {
        TAddingLoop loop(*this);
        for (const TListEntry& e : entries) {
            if (int64_t(RowCount()) + int64_t(pending_.size()) >= 2147483647) break;
            const TPath path(ListedPath(folder, e.Name));
            TBatchRows::TRow row;
            row.Path = path;
            // The name as the list gives it: a file in a subfolder shows that folder too.
            row.Name = TPath(e.Name);
            row.Icon = IconOf(path);
            ImageList1.push_back(row.Icon);
            uint32_t age = 0;
            row.CurrentTime = FileExistsByAge(path.Bytes(), &age)
                                  ? QString::fromStdString(FileTimeText(UnpackDosDateTime(age)))
                                  : QString::fromLatin1(kBatchNoValue);
            row.NewTime = newTime;
            row.ListKind = e.Kind;
            row.Expected = QString::fromStdString(AsciiCase(e.Hex, false));
            row.Computed = row.Verdict = QString::fromLatin1(kBatchNoValue);
            if (!e.Cp932Name.empty()) row.ListCp932Path = ListedPath(folder, e.Cp932Name);
            pending_.push_back(std::move(row));
            loop.Added();
        }
    }
    if (RowCount() > 0) Action3->setEnabled(true);
    // The work type joins the menu with the first list.
    QMenu* work = ActionMainMenuBar1->actions().value(1) ? ActionMainMenuBar1->actions()[1]->menu() : nullptr;
    if (work && !work->actions().contains(Action14)) work->insertAction(Action8, Action14);
    CheckWorkType(Action14);
}

void Tallcheck::AddUnderProgress(size_t count, const std::function<TPath(size_t)>& pathAt, bool progressFirst) {
    FAbort = false;
    QPointer<Tacdlgf> dialog = new Tacdlgf(this, Title());
    ++ProgressDialogsOpened;
    dialog->ShowPainted();
    try {
        TAddingLoop loop(*this);
        for (size_t i = 0; i < count && !FAbort; ++i) {
            if (progressFirst && dialog) dialog->ShowProgress(int(i));
            AddFile(pathAt(i));
            loop.Added();
            if (!progressFirst && dialog) dialog->ShowProgress(int(i));
        }
    } catch (...) {
        CloseProgressDialog(dialog);
        throw;
    }
    CloseProgressDialog(dialog);
}

void Tallcheck::CloseProgressDialog(Tacdlgf* dialog) {
    QPointer<Tacdlgf> guard = dialog;
    Wait(300);
    if (guard) guard->close();
}

void Tallcheck::Action2Execute() {
    if (Dialogs().MessageBox(Title(), tr("リストをクリアします　よろしいですか？"), TMsgButtons::YesNo,
                             TMsgIcon::Question) != TMsgResult::Yes)
        return;
    rows_->Clear();
    ImageList1.clear();
    Action3->setEnabled(false);
    Action9->setEnabled(false);
}

void Tallcheck::PumpBetweenRows(TBatchPacer& pacer) {
    if (pacer.Due()) PumpMessages();
}

void Tallcheck::Action3Execute() {
    // A renamed file stays in its folder: a given text that names another folder is refused.
    if (Action11->isChecked() && TRenameType(RenameType()) == TRenameType::TextAndSequence &&
        !RenameTextAllowed(Edit1->text().toStdString())) {
        Dialogs().MessageBox(Title(), tr("指定値に「/」は使えません"), TMsgButtons::Ok,
                             TMsgIcon::Exclamation);
        return;
    }
    if (Dialogs().MessageBox(Title(), tr("選択された処理を行います　よろしいですか？　"), TMsgButtons::YesNo,
                             TMsgIcon::Question) != TMsgResult::Yes)
        return;
    if (RowCount() == 0) return;
    FErrorCount = 0;
    failedRows_.clear();
    FRunning = true;
    FAbort = false;
    SetControlsEnabled(false);
    const uint16_t bufferKB = uint16_t(Settings().BufferSizeKB());
    ProgressBar1->setRange(0, RowCount());
    ProgressBar1->setValue(0);
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    // Whatever a phase meets, the window leaves its running state.
    try {
        if (Action5->isChecked()) TimeWalkerPhase();
        if (Action6->isChecked() || Action13->isChecked()) HashPhase(TDigestKind::CRC32, QT_TR_NOOP("フェーズ 1 CRC32:"), bufferKB);
        if (Action7->isChecked() || Action13->isChecked()) HashPhase(TDigestKind::MD5, QT_TR_NOOP("フェーズ 2 MD5:"), bufferKB);
        if (Action10->isChecked() || Action13->isChecked()) HashPhase(TDigestKind::SHA1, QT_TR_NOOP("フェーズ 3 SHA-1:"), bufferKB);
        if (Action11->isChecked()) RenamePhase();
        if (Action14->isChecked()) VerifyPhase(bufferKB);
    } catch (const std::exception&) {
    }
    FRunning = false;
    FAbort = false;
    SetControlsEnabled(true);
    ProgressBar1->setValue(ProgressBar1->maximum());
    ProgressBar2->setValue(100);
    Settings().PlayFinishSound();
    const QString done =
        Action14->isChecked()
            ? tr("作業が完了しました　error:%1  一致:%2  不一致:%3  見つかりません:%4  読めません:%5")
                  .arg(FErrorCount)
                  .arg(verdicts_.Match)
                  .arg(verdicts_.Mismatch)
                  .arg(verdicts_.Missing)
                  .arg(verdicts_.Unreadable)
            : tr("作業が完了しました　error:%1  ").arg(FErrorCount);
    Dialogs().MessageBox(Title(), done, TMsgButtons::Ok, TMsgIcon::Information);
    ProgressBar1->setValue(0);
    ProgressBar2->setValue(0);
    Label1->setText(tr("全体の進行状況:"));
    Label5->setText(tr("現在のファイル: %1").arg(QString()));
}

void Tallcheck::HashPhase(TDigestKind kind, const char* phaseText, uint16_t bufferKB) {
    const TCell cell = kind == TDigestKind::CRC32 ? cCRC32 : kind == TDigestKind::MD5 ? cMD5 : cSHA1;
    if (kind != TDigestKind::CRC32) ProgressBar1->setValue(0);
    if (Action13->isChecked()) Label1->setText(tr(phaseText));
    TPhaseSink sink(*this, cell);
    RunBatchHashPhase(DigestKindInfo(kind), bufferKB, &BatchProgress, ThousandsSeparator(), sink);
}

void Tallcheck::TimeWalkerPhase() {
    TBatchPacer pacer(Clock);
    const TDateTimeParts value = PartsOf(chosen_);
    const int count = RowCount();
    for (int r = 0; r < count; ++r) {
        const std::string& path = rows_->PathOf(r).Bytes();
        if (!SetFileTimestamp(path, value)) ++FErrorCount;
        uint32_t age = 0;
        if (FileExistsByAge(path, &age))
            rows_->SetText(r, cCurrentTime, QString::fromStdString(FileTimeText(UnpackDosDateTime(age))));
        ProgressBar1->setValue(r);
        PumpBetweenRows(pacer);
    }
    StatusPanels[1]->setText(QString::number(FErrorCount));
}

int Tallcheck::RenameType() const { return RadioGroup1Items->checkedId(); }

void Tallcheck::RenamePhase() {
    TBatchPacer pacer(Clock);
    const auto type = TRenameType(RenameType());
    const std::string text = Edit1->text().toStdString();
    const int count = RowCount();
    for (int r = 0; r < count; ++r) {
        if (!FAbort) {
            if (RenameByPattern(rows_->PathOf(r).Bytes(), type, text, r) == TRenameResult::Failed) ++FErrorCount;
        }
        ProgressBar1->setValue(r);
        PumpBetweenRows(pacer);
    }
}

void Tallcheck::VerifyPhase(uint16_t bufferKB) {
    verdicts_ = {};
    std::vector<TListEntry> entries;
    std::vector<int> rowOf;
    const int count = RowCount();
    for (int r = 0; r < count; ++r) {
        const TBatchRows::TRow& row = rows_->At(r);
        if (!row.ListKind) continue;
        TListEntry e;
        e.Kind = row.ListKind;
        e.Hex = row.Expected.toStdString();
        e.Name = row.Path.Bytes();
        e.Cp932Name = row.ListCp932Path;
        entries.push_back(std::move(e));
        rowOf.push_back(r);
    }
    // Files are read on workers; this thread shows their verdicts in list order and, while it
    // waits for a long file, its progress, and passes the abort on to the workers.
    std::atomic<bool> abort{false};
    std::atomic<int> percent{0};
    const TDigestWatch watch = [&](int64_t processed, int64_t total) {
        if (total > 0) percent.store(int(processed * 100 / total));
        return !abort.load();
    };
    TBatchPacer pacer(Clock);
    auto pump = [&] {
        PumpMessages();
        abort.store(FAbort);
    };
    VerifyListEntries(
        entries, std::string(),
        [&](const std::string& path, const std::vector<const TDigestKindInfo*>& kinds) {
            if (abort.load()) {
                TFileDigest skipped;
                skipped.State = TFileDigest::TState::Canceled;
                return skipped;
            }
            return DigestFile(path, kinds, bufferKB, watch);
        },
        [&](size_t i, const TListCheckResult& given) {
            // After the abort no row changes, as in the hash phases, whatever the workers read.
            TListCheckResult result = given;
            if (FAbort) result.Verdict = TListVerdict::Skipped;
            const int r = rowOf[i];
            const QString shown = rows_->PathOf(r).Display();
            Label5->setText(tr("現在のファイル: %1").arg(QString::fromStdString(ShortenText(shown.toStdString(), 70))));
            if (result.Verdict != TListVerdict::Skipped) {
                rows_->SetText(r, TBatchRows::cComputed,
                               result.Computed.empty() ? QString::fromLatin1(kBatchNoValue)
                                                       : QString::fromStdString(result.Computed));
                rows_->SetText(r, TBatchRows::cVerdict, VerdictText(result.Verdict));
            }
            switch (result.Verdict) {
            case TListVerdict::Match: ++verdicts_.Match; break;
            case TListVerdict::Mismatch: ++verdicts_.Mismatch; break;
            case TListVerdict::Missing: ++verdicts_.Missing; break;
            case TListVerdict::Unreadable: ++verdicts_.Unreadable; break;
            case TListVerdict::Skipped: break;
            }
            if (result.Verdict != TListVerdict::Match && result.Verdict != TListVerdict::Skipped) ++FErrorCount;
            ProgressBar2->setValue(100);
            if (!FAbort) ProgressBar1->setValue(r);
            if (pacer.Due()) pump();
        },
        [&] {
            ProgressBar2->setValue(percent.load());
            pump();
        });
}

void Tallcheck::Button4Click() {
    FAbort = true;
    if (FRunning && FEngine) FEngine->SetCanceled(true);
}

void Tallcheck::Action8Execute() { SetNewTimestamp(NowDateTime()); }

void Tallcheck::SetNewTimestamp(const QDateTime& value) {
    chosen_ = value;
    {
        const QSignalBlocker b1(DateTimePicker1), b2(DateTimePicker2);
        DateTimePicker1->setDate(value.date());
        DateTimePicker2->setTime(value.time());
    }
    rows_->SetTextOfAll(cNewTime, TimeCellText(value));
}

void Tallcheck::ShowRenameExample() {
    Label4->setText(QString::fromStdString(RenameExample(TRenameType(RenameType()))));
    FitLabel(*Label4);
}

void Tallcheck::Action9Execute() {
    if (RowCount() == 0) return;
    TFileDialogRequest request;
    request.Filter = tr(kExportFilter);
    request.FileName = QStringLiteral("CheckFileList.txt");
    request.OverwritePrompt = true;
    int filter = 1;
    request.ChosenFilter = &filter;
    const TPath chosen(Dialogs().SaveFile(request));
    if (chosen.IsEmpty()) return;
    if (filter >= 2 && filter < 2 + int(std::size(kListExports))) {
        ExportList(chosen, filter - 2);
        return;
    }
    const std::string file = ExportFileName(chosen.Bytes());
    std::vector<TBatchRow> rows;
    rows.reserve(size_t(RowCount()));
    for (int r = 0; r < RowCount(); ++r) rows.push_back(Row(r));
    // The export is for people: in the window's language, and in English readable as UTF-8.
    const std::string bytes = ExportBytes(ExportLines(rows, NowText()), InstalledLanguage() == TLanguage::English
                                                                            ? TExportEncoding::Utf8
                                                                            : TExportEncoding::ShiftJis);
    // A failed save (a full disk) keeps an older list of that name as it was.
    QString problem;
    if (!WriteFileReplacing(TPath(file), QByteArray(bytes.data(), qsizetype(bytes.size())), &problem))
        Dialogs().MessageBox(Title(), problem, TMsgButtons::Ok, TMsgIcon::Error);
}

void Tallcheck::ExportList(const TPath& chosen, int format) {
    const TListExportFormat& f = kListExports[format];
    const TDigestKindInfo& kind = DigestKindInfo(f.Kind);
    std::string file = chosen.Bytes();
    // The name the dialog proposed becomes the name such lists go by. The dialog asked about
    // replacing the name it showed, not this one: a list already there is replaced only when
    // the user says so.
    if (file.ends_with("/CheckFileList.txt")) {
        file = ExportFolder(file) + "/" + f.FileName;
        if (FileExistsByAge(file) &&
            Dialogs().MessageBox(Title(), tr("%1 はすでにあります。置き換えますか？").arg(TPath(file).Display()),
                                 TMsgButtons::YesNo, TMsgIcon::Question) != TMsgResult::Yes)
            return;
    }
    const std::string folder = ExportFolder(file);
    const int count = RowCount();
    std::vector<std::string> paths;
    std::vector<std::string> hexes(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) paths.push_back(rows_->PathOf(r).Bytes());

    FRunning = true;
    FAbort = false;
    SetControlsEnabled(false);
    ProgressBar1->setRange(0, count);
    ProgressBar1->setValue(0);
    std::atomic<bool> abort{false};
    const TDigestWatch watch = [&abort](int64_t, int64_t) { return !abort.load(); };
    const uint16_t bufferKB = uint16_t(Settings().BufferSizeKB());
    int unreadable = 0;
    TBatchPacer pacer(Clock);
    auto pump = [&] {
        PumpMessages();
        abort.store(FAbort);
    };
    RunInOrder(
        size_t(count),
        [&](size_t i) {
            if (abort.load()) return;
            TFileDigest d = DigestFile(paths[i], {&kind}, bufferKB, watch);
            if (d.State == TFileDigest::TState::Done) hexes[i] = std::move(d.Texts[0]);
        },
        [&](size_t i) {
            if (hexes[i].empty() && !abort.load()) ++unreadable;
            ProgressBar1->setValue(int(i));
            if (pacer.Due()) pump();
        },
        pump);
    const bool aborted = FAbort;
    FRunning = false;
    FAbort = false;
    SetControlsEnabled(true);
    ProgressBar1->setValue(0);
    if (aborted) return;

    std::vector<std::string> names, listed;
    for (int r = 0; r < count; ++r) {
        if (hexes[size_t(r)].empty()) continue;
        names.push_back(RelativeListName(folder, paths[size_t(r)]));
        listed.push_back(hexes[size_t(r)]);
    }
    size_t leftOut = 0;
    const std::string bytes = ListFileBytes(f.Format, kind, names, listed, &leftOut);
    QString problem;
    if (!WriteFileReplacing(TPath(file), QByteArray(bytes.data(), qsizetype(bytes.size())), &problem)) {
        Dialogs().MessageBox(Title(), problem, TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    if (unreadable + int(leftOut) > 0)
        Dialogs().MessageBox(Title(),
                             tr("%1 個のファイルはリストに書けませんでした（読めないファイル %2、"
                                "この形式で書けない名前 %3）")
                                 .arg(unreadable + int(leftOut))
                                 .arg(unreadable)
                                 .arg(leftOut),
                             TMsgButtons::Ok, TMsgIcon::Exclamation);
}

void Tallcheck::closeEvent(QCloseEvent* event) {
    if (FRunning) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tallcheck::reject() {
    if (!FRunning) QDialog::reject();
}

void Tallcheck::showEvent(QShowEvent* event) {
    setAcceptDrops(true);
    QDialog::showEvent(event);
}

void Tallcheck::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Tallcheck::dropEvent(QDropEvent* event) {
    QList<TPath> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        // The name's own bytes: they need not be UTF-8.
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        paths << TPath(bytes.toStdString());
    }
    event->acceptProposedAction();
    HandleDroppedFiles(paths);
}

namespace {

// The batch window in place of the main window, which comes back when it closes.
void RunBatchModal(TMainWindow& main, const std::function<void(Tallcheck&)>& prepare) {
    struct TShowAgain {
        QWidget& w;
        ~TShowAgain() { w.show(); }
    } showAgain{main.Window()};
    main.Window().hide();
    Tallcheck batch(&main);
    prepare(batch);
    batch.exec();
}

}  // namespace

bool RunBatchWindowForList(TMainWindow& main, const TPath& list, bool forced) {
    TListFile read;
    if (!forced) {
        if (!LooksLikeChecksumList(list.Bytes(), &read)) return false;
    } else {
        read = ReadChecksumListFile(list.Bytes());
        if (!read.Problem.empty()) {
            Dialogs().MessageBox(main.ApplicationTitle(),
                                 Tallcheck::tr("チェックサムファイルとして読めません: %1\n%2")
                                     .arg(list.Display(), QString::fromStdString(read.Problem)),
                                 TMsgButtons::Ok, TMsgIcon::Error);
            return true;
        }
    }
    RunBatchModal(main, [&](Tallcheck& batch) { batch.AddChecksumList(list, read.List.Entries); });
    return true;
}

void RunBatchWindow(TMainWindow& main) {
    RunBatchModal(main, [](Tallcheck&) {});
}
