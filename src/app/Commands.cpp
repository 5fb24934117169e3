// Commands of the main window, the ways a file arrives, the log switch and closing.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>

#include "app/Anchors.h"
#include "app/Art.h"
#include "app/Tavrenne.h"
#include "app/VersionDlg.h"
#include "engine/FileUtils.h"
#include "engine/cache/FileCaches.h"
#include "text/Cp932.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "app/SettingsAccess.h"
#include "app/Translations.h"

namespace {

const char* const kOpenFilter = QT_TRANSLATE_NOOP(
    "TTavrenne",
    "すべてのファイル(*.*)|*.*|実行ファイル(*.exe)|*.exe|書庫ファイル|*.zip;*.cab;*.lzh;*.gca;*.lha;*.rar;*.ace;*.tar|"
    "MD5ファイル(*.MD5)|*.md5|ISOイメージ(CD,DVD)|*.iso;*.mdf;*.mds|ビデオファイル|*.avi;*.div;*.mpg;*.swf;*.dix;*.wmv|"
    "ミュージックファイル|*.wav;*.mp3;*.mp4;*.cda;*.wma|"
    "チェックサムファイル|SHA256SUMS;SHA512SUMS;SHA1SUMS;MD5SUMS;CHECKSUMS;*.sha256;*.sha512;*.sha1;*.md5;*.sfv");

constexpr int kRecentFirstId = 600;
constexpr int kSystemMenuItems = 7;

// The drive ("C:") or share ("\\server\share") a path starts with, if any.
QString ExtractFileDrive(const QString& path) {
    if (path.size() >= 2 && path[1] == QLatin1Char(':')) return path.left(2);
    if (path.startsWith(QStringLiteral("\\\\"))) {
        const int server = path.indexOf(QLatin1Char('\\'), 2);
        if (server < 0) return path;
        const int share = path.indexOf(QLatin1Char('\\'), server + 1);
        return share < 0 ? path : path.left(share);
    }
    return QString();
}

}  // namespace

QString RecentFileDisplayText(const TPath& path) {
    if (path.IsEmpty()) return QStringLiteral("---------------");
    const QString entry = path.Display();
    if (cp932::ByteLength(entry.toStdString()) <= 50) return entry;
    const QString drive = ExtractFileDrive(entry);
    const QString sep = drive.isEmpty() ? QStringLiteral("/") : QStringLiteral("\\");
    const int slash = int(std::max(entry.lastIndexOf(QLatin1Char('/')), entry.lastIndexOf(QLatin1Char('\\'))));
    return drive + sep + QStringLiteral("...") + entry.mid(slash + 1);
}

bool TTavrenne::MenuBarEnabled() const { return ActionMainMenuBar1->isEnabled(); }

QString TTavrenne::StatusText(int panel) const {
    return panel >= 0 && panel < 3 ? StatusPanels[panel]->text() : QString();
}

void TTavrenne::Action1Execute() {
    TFileDialogRequest request;
    request.Filter = tr(kOpenFilter);
    request.FilterIndex = 1;
    request.MustExist = true;
    const TPath path(Dialogs().OpenFile(request));
    if (!path.IsEmpty()) AnalyzeFile(path);
}

void TTavrenne::Action2Execute() {
    if (!currentPath_.IsEmpty()) AnalyzeFile(currentPath_);
}

void TTavrenne::Action8Execute() {
    if (Dialogs().MessageBox(applicationTitle_, tr("現在の取得情報をクリアします　よろしいですか？　"),
                             TMsgButtons::YesNo, TMsgIcon::Question) == TMsgResult::Yes)
        ResetDisplay(true);
}

void TTavrenne::Action10Execute() {
    const QRect geometry = this->geometry();
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, Action10->isChecked());
    setGeometry(geometry);
    if (visible) show();
}

void TTavrenne::Action13Execute() {
    const TPath help(ManualFile());
    if (FileExistsByAge(help.Bytes())) Platform().OpenDocument(help.ToQString());
}

QPixmap TTavrenne::DigestToolPicture() const { return ToolImagePixmap(tiDigest, 16); }

void TTavrenne::Action14Execute() { Platform().OpenDocument(QString::fromLatin1(kWebSite)); }

void TTavrenne::Action15Execute() {
    // The box when no mascot takes the version script.
    if (MascotInUse() && SendMascotScript(TMascotScript::Version)) return;
    TVersionDlg dialog(*this, this);
    dialog.exec();
}

void TTavrenne::Action16Execute() {
    if (Settings().CloseQuery() &&
        Dialogs().MessageBox(tr("終了の問い合わせ"), tr("Tavrenneを終了します　よろしいですか？　"),
                             TMsgButtons::YesNo, TMsgIcon::Question) != TMsgResult::Yes)
        return;
    close();
}

void TTavrenne::closeEvent(QCloseEvent* event) {
    if (!MenuBarEnabled()) {  // a run is in progress
        event->ignore();
        return;
    }
    SuppressChangeCheck = true;
    event->accept();
    CacheCloseUpkeep(Settings().ClearCacheOnExit(), Settings().CacheLimit(), ProgramLayout().CacheFolder());
    emit closing();
    // The program ends with its main window, whatever else shows (a notice still sliding, the
    // splash): nothing may keep a program without its window running.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void TTavrenne::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous()) return;
    ToolBarA->resize(ToolBarA->width(), 26);
    UpdateRecentFiles();
    if (HideLogAtShow) {
        ToggleLog();
        HideLogAtShow = false;
    }
}

void TTavrenne::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) CheckFileChanged();
}

void TTavrenne::CheckFileChanged() {
    if (SuppressChangeCheck || WatchedAge == 0 || !MenuBarEnabled() || !Settings().AutoReload()) return;
    uint32_t age = 0;
    if (!FileExistsByAge(currentPath_.Bytes(), &age)) age = 0xFFFFFFFFu;
    if (age == WatchedAge) return;
    SuppressChangeCheck = true;
    if (Dialogs().MessageBox(applicationTitle_, tr("ファイルが更新されました。 再度情報を取得しますか？ "),
                             TMsgButtons::YesNo, TMsgIcon::Question) == TMsgResult::Yes)
        AnalyzeFile(currentPath_);
    else
        WatchedAge = 0;
    SuppressChangeCheck = false;
}

void TTavrenne::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TTavrenne::dropEvent(QDropEvent* event) {
    QList<TPath> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) {
            paths << TPath(url.toString());
            continue;
        }
        // The name's own bytes, not its decoding: they need not be UTF-8.
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        paths << TPath(bytes.toStdString());
    }
    event->acceptProposedAction();  // the drop is finished whether or not it is used
    HandleDroppedFiles(paths);
}

void TTavrenne::HandleDroppedFiles(const QList<TPath>& paths) {
    if (!MenuBarEnabled()) return;
    if (paths.size() == 1) AnalyzeFile(paths.first());
}

void TTavrenne::UpdateRecentFiles(const TPath& path) {
    if (!path.IsEmpty()) {
        bool known = false;
        for (const TPath& entry : RecentFiles)
            known = known || entry.ToQString().compare(path.ToQString(), Qt::CaseInsensitive) == 0;
        if (!known) {
            RecentFiles.prepend(path);
            RecentFiles.removeLast();
        }
    }
    QList<QAction*> items = SystemMenu->actions();
    if (items.size() > kSystemMenuItems) {
        for (int i = 0; i < 6 && 5 + i < items.size(); ++i) {
            SystemMenu->removeAction(items[5 + i]);
            items[5 + i]->deleteLater();
        }
    }
    items = SystemMenu->actions();
    if (items.size() == kSystemMenuItems) {
        QAction* before = items[5];
        QAction* separator = new QAction(SystemMenu);
        separator->setSeparator(true);
        SystemMenu->insertAction(before, separator);
        for (int i = 0; i < 5; ++i) {
            auto* item = new QAction(QStringLiteral("(&%1) ").arg(i + 1) + RecentFileDisplayText(RecentFiles.value(i)),
                                     SystemMenu);
            item->setData(kRecentFirstId + i);
            item->setObjectName(QStringLiteral("RecentFile%1").arg(i));
            SystemMenu->insertAction(before, item);
        }
    }
    RebuildRecentMenu();
}

bool TTavrenne::SystemMenuCommand(int id) {
    if (id < kRecentFirstId || id > kRecentFirstId + 4 || !MenuBarEnabled()) return false;
    const TPath entry = RecentFiles.value(id - kRecentFirstId);
    if (!entry.IsEmpty() && FileExistsByAge(entry.Bytes())) AnalyzeFile(entry);
    return true;
}

void TTavrenne::ToggleLog() {
    // Where a window manager maximizes the window anyway, the height changes from its normal size.
    if (isMaximized()) showNormal();
    setMinimumHeight(0);
    anchors_->SetEnabled(ListView1, false, size());
    if (!ListView1->isHidden()) {
        SpeedButton1->setText(tr("ログを表示"));
        ListView1->hide();
        const int h = height() - (ListView1->height() + 5);
        resize(width(), h);
        setMaximumHeight(h);
        setMinimumHeight(h);
        SpeedButton1->setIcon(QIcon(ToolImagePixmap(tiLogShow, 16)));
    } else {
        setMaximumHeight(QWIDGETSIZE_MAX);
        SpeedButton1->setText(tr("ログを隠す"));
        resize(width(), height() + ListView1->height() + 5);
        ListView1->show();
        setMinimumHeight(FullHeight);
        SpeedButton1->setIcon(QIcon(ToolImagePixmap(tiLogHide, 16)));
    }
    anchors_->Apply(size());
    anchors_->SetEnabled(ListView1, true, size());
}

void TTavrenne::ButtonAllClick(bool all) {
    CheckBox4->setChecked(all);
    CheckBox5->setChecked(all);
    CheckBox6->setChecked(all);
    CheckBox8->setChecked(all);
    CheckBox9->setChecked(all);
}

bool TTavrenne::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (QLineEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4, LabeledEdit5}) {
            if (watched == edit) edit->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TTavrenne::CancelRun() {
    if (CurrentEngine && !CurrentEngine->Canceled()) Action20Execute();
}

void TTavrenne::AnalyzeFileWith(TPath path, TDigestSet digests) {
    CheckBox4->setChecked(digests.Has(TDigestKind::CRC32));
    CheckBox5->setChecked(digests.Has(TDigestKind::MD5));
    CheckBox6->setChecked(digests.Has(TDigestKind::SHA1));
    CheckBox8->setChecked(digests.Has(TDigestKind::SHA256));
    CheckBox9->setChecked(digests.Has(TDigestKind::SHA512));
    AnalyzeFile(std::move(path));
}

void TTavrenne::RunDuplicateSearch() { Action5->trigger(); }

void TTavrenne::OnCommand(TUpperWindow which, std::function<void()> open) {
    void (TTavrenne::*signal)() = nullptr;
    switch (which) {
    case TUpperWindow::Batch: signal = &TTavrenne::batchRequested; break;
    case TUpperWindow::Options: signal = &TTavrenne::optionsRequested; break;
    case TUpperWindow::StringHash: signal = &TTavrenne::stringHashRequested; break;
    case TUpperWindow::DuplicateSearch: signal = &TTavrenne::duplicateSearchRequested; break;
    case TUpperWindow::DigestTool: signal = &TTavrenne::digestToolRequested; break;
    }
    if (signal) connect(this, signal, this, std::move(open));
}

void TTavrenne::ReadSettings(TSettings& settings) const {
    settings.CheckCRC = CheckBox4->isChecked();
    settings.CheckMD5 = CheckBox5->isChecked();
    settings.CheckSHA1 = CheckBox6->isChecked();
    settings.CheckSHA256 = CheckBox8->isChecked();
    settings.CheckSHA512 = CheckBox9->isChecked();
    settings.CompareKind = ComboBox1->currentIndex();
    // A log about to be hidden when the window first shows counts as hidden.
    settings.LogWindow = !ListView1->isHidden() && !HideLogAtShow;
    settings.StrByL = Action17->isChecked();
}

void TTavrenne::ApplySettings(const TSettings& settings) {
    CheckBox4->setChecked(settings.CheckCRC);
    CheckBox5->setChecked(settings.CheckMD5);
    CheckBox6->setChecked(settings.CheckSHA1);
    CheckBox8->setChecked(settings.CheckSHA256);
    CheckBox9->setChecked(settings.CheckSHA512);
    if (settings.CompareKind >= 0 && settings.CompareKind < ComboBox1->count())
        ComboBox1->setCurrentIndex(settings.CompareKind);
    ShowShutdownOption(settings.ShutdownOption);
    (settings.StrByL ? Action17 : Action18)->setChecked(true);
    HideLogAtShow = !settings.LogWindow;
}

void TTavrenne::ShowShutdownOption(bool shown) { CheckBox7->setVisible(shown); }
