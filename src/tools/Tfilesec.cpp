#include "tools/Tfilesec.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "components/WindowLook.h"
#include "engine/DuplicateSearch.h"
#include "engine/NormalFileInfo.h"
#include "platform/Place.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/IconLookup.h"
#include "platform/Platform.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w) {
    QPushButton* b = Place<QPushButton>(parent, name, x, y, w, 25);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

QTreeWidget* List(QWidget* parent, const char* name, int x, int y, int w, int h) {
    QTreeWidget* l = Place<QTreeWidget>(parent, name, x, y, w, h);
    l->setRootIsDecorated(false);
    l->setSelectionBehavior(QAbstractItemView::SelectRows);
    l->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->setIconSize(QSize(16, 16));
    return l;
}

// Progress over `maximum` + 1 steps, at the first.
void SetBarRange(QProgressBar& bar, int maximum) {
    // A range of 0 to 0 makes Qt's bar a busy animation that never ends: there is nothing to
    // count, so the bar stands empty instead.
    bar.setRange(0, std::max(maximum, 1));
    bar.setValue(0);
}

}  // namespace

QString DuplicateSummary(int count) {
    return QCoreApplication::translate("Tfilesec", "%1個の同一内容のファイルが見つかりました！\r\n"
                                                   "リストをダブルクリックする事ファイルの存在するフォルダをエクスプローラで開けます")
        .arg(count);
}

Tfilesec::Tfilesec(QWidget* owner, const TPath& currentPath) : QDialog(owner), currentPath_(currentPath) {
    setObjectName(QStringLiteral("filesec"));
    SetFixedDialog(*this, QSize(624, 376));
    PageControl1 = Place<QTabWidget>(this, "PageControl1", 8, 8, 608, 290);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, tr("ドライブの選択"));
    PageControl1->addTab(TabSheet2, tr("検索結果"));

    ListView1 = List(TabSheet1, "ListView1", 6, 6, 440, 200);
    ListView1->setHeaderLabels({tr("検索対象のドライブ ▼")});
    ListView1->setColumnWidth(0, 400);
    auto* refLabel = Place<QLabel>(TabSheet1, "LabelRef", 6, 214, 440, 14);
    refLabel->setText(tr("検索するファイル："));
    FitLabel(*refLabel);
    Edit1 = Place<QLineEdit>(TabSheet1, "Edit1", 6, 230, 588, 21);
    Edit1->setReadOnly(true);
    Edit1->setEnabled(false);
    Button1 = Button(TabSheet1, "Button1", tr("検索"), 456, 6, 138);
    Button3 = Button(TabSheet1, "Button3", tr("すべて選択"), 456, 40, 138);
    Button4 = Button(TabSheet1, "Button4", tr("すべて未選択"), 456, 70, 138);

    ListView2 = List(TabSheet2, "ListView2", 6, 6, 588, 200);
    ListView2->setHeaderLabels({QString(), tr("パス")});
    ListView2->setColumnWidth(0, 20);
    ListView2->header()->setSectionResizeMode(0, QHeaderView::Fixed);
    ListView2->setColumnWidth(1, 550);
    Label1 = Place<QLabel>(TabSheet2, "Label1", 6, 212, 588, 44);
    Label1->setWordWrap(true);

    Label2 = Place<QLabel>(this, "Label2", 8, 308, 80, 14);
    Label2->setText(tr("進歩状況："));
    FitLabel(*Label2);
    ProgressBar1 = Place<QProgressBar>(this, "ProgressBar1", 90, 306, 526, 18);
    ProgressBar1->setTextVisible(false);
    Button5 = Button(this, "Button5", tr("中止"), 408, 340, 100);
    Button5->setEnabled(false);
    Button2 = Button(this, "Button2", tr("閉じる"), 516, 340, 100);
    Button2->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, &Tfilesec::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfilesec::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfilesec::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &Tfilesec::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &Tfilesec::Button5Click);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, [this] { ListView2DblClick(); });
    FormCreate();
    if (owner) move(owner->geometry().center() - rect().center());
}

void Tfilesec::FormCreate() {
    setWindowTitle(tr("同一ファイル検索"));
    PageControl1->setCurrentIndex(0);
    Edit1->setText(currentPath_.Display());
    Label1->clear();
    FSearching = false;
    for (const QString& mountPoint : LocalDrives()) {
        const TPath drive(mountPoint);
        drives_.push_back(drive);
        auto* row = new QTreeWidgetItem(ListView1, {drive.Display()});
        row->setIcon(0, DriveIcon(mountPoint));
        row->setCheckState(0, Qt::Checked);
    }
    Button1->setEnabled(ListView1->topLevelItemCount() > 0);
}

void Tfilesec::SetIdle(bool idle) {
    for (QWidget* w : {static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(Button3), static_cast<QWidget*>(Button4),
                       static_cast<QWidget*>(ListView1)})
        w->setEnabled(idle);
    Button5->setEnabled(!idle);
}

void Tfilesec::Button1Click() {
    int checked = 0;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        checked += ListView1->topLevelItem(i)->checkState(0) == Qt::Checked;
    if (checked == 0) return;
    if (Dialogs().MessageBox(tr("確認"),
                             tr("%1と同一ファイルの検索を行います").arg(currentPath_.FileName().Display()),
                             TMsgButtons::YesNo, TMsgIcon::Question) != TMsgResult::Yes)
        return;
    const TDuplicateReference ref = ReadDuplicateReference(currentPath_.Bytes(), ReleaseIcon);
    if (ref.Crc32.empty()) {
        Dialogs().MessageBox(QString(), QStringLiteral("Error!!"), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    FStop = false;
    FSearching = true;
    SetIdle(false);
    ListView2->clear();
    found_.clear();
    PageControl1->setCurrentWidget(TabSheet2);
    const int rows = ListView1->topLevelItemCount();
    SetBarRange(*ProgressBar1, rows - 1);

    TDuplicateSearch search(ref);
    search.ReleaseIcon = ReleaseIcon;
    search.OnFolder = [this](const std::string& folder) {
        Label1->setText(TPath(folder).Display());
        PumpMessages();
    };
    const QFileIconProvider icons;
    search.OnFound = [&](const std::string& path) {
        const TPath found(path);
        found_.push_back(found);
        auto* row = new QTreeWidgetItem(ListView2, {QString(), found.Display()});
        row->setIcon(0, icons.icon(QFileInfo(found.ToQString())));
    };
    search.Stopped = [this] { return FStop; };
    for (int b = 0; b < rows; ++b) {
        if (!FStop && ListView1->topLevelItem(b)->checkState(0) == Qt::Checked)
            search.SearchRoot(drives_[size_t(b)].Bytes());
        ProgressBar1->setValue(b);
    }
    FSearching = false;
    Label1->setText(DuplicateSummary(ListView2->topLevelItemCount()));
    SetIdle(true);
}

void Tfilesec::Button2Click() { close(); }

void Tfilesec::Button3Click() {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) ListView1->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void Tfilesec::Button4Click() {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void Tfilesec::Button5Click() { FStop = true; }

void Tfilesec::ListView2DblClick() {
    QTreeWidgetItem* row = ListView2->currentItem();
    if (ListView2->topLevelItemCount() == 0 || !row || !row->isSelected()) return;
    const int index = ListView2->indexOfTopLevelItem(row);
    if (index < 0 || size_t(index) >= found_.size()) return;
    const TPath folder = found_[size_t(index)].Folder();
    if (QFileInfo(folder.ToQString()).isDir()) Platform().OpenDocument(folder.ToQString());
}

void Tfilesec::closeEvent(QCloseEvent* event) {
    if (FSearching) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void Tfilesec::reject() {
    if (!FSearching) QDialog::reject();
}
