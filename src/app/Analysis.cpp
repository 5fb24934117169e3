// The analysis of one file: information, CRC32, SHA-1, MD5, comparison and the closing steps.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <cstdio>

#include "app/FileHooks.h"
#include "app/Tavrenne.h"
#include "engine/FileCRC32Info.h"
#include "engine/FileMD5Info.h"
#include "engine/FileSHA1.h"
#include "engine/FileUtils.h"
#include "engine/Sidecar.h"
#include "platform/Dialogs.h"
#include "platform/IconLookup.h"
#include "platform/Platform.h"
#include "app/SettingsAccess.h"

namespace {

constexpr int64_t kLargeFile = 2147483647;

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

TAnalysisHooks& TTavrenne::Hooks() {
    static TFileHooks files;
    return hooks_ ? *hooks_ : files;
}

bool TTavrenne::MascotInUse() { return Hooks().MascotInUse(); }

std::unique_ptr<TNormalFileInfo> TTavrenne::MakeEngine(TDigestKind kind) {
    if (EngineFactory) return EngineFactory(kind);
    switch (kind) {
    case TDigestKind::CRC32: return std::make_unique<TFileCRC32Info>();
    case TDigestKind::SHA1: return std::make_unique<TFileSHA1>();
    case TDigestKind::MD5: break;
    }
    return std::make_unique<TFileMD5Info>();
}

void TTavrenne::SetHooks(TAnalysisHooks* hooks) { hooks_ = hooks; }

void ProgressPercent(int64_t processed, int64_t total) {
    if (!Tavrenne) return;
    Tavrenne->SetProgress(total > 0 ? processed * 100 / total : 0, processed);
}

void ProgressBytes(int64_t processed, int64_t /*total*/) {
    if (!Tavrenne) return;
    Tavrenne->SetProgress(processed, processed);
}

void TTavrenne::SetProgress(int64_t position, int64_t processed) {
    ProgressBar1->setValue(int(position));
    Label6->setText(QString::asprintf("%lldBytes", static_cast<long long>(processed)));
}

QString TTavrenne::SizeText(int64_t size) const {
    if (size <= 1024 || Settings().ByteLen()) return QString::asprintf("%lld Bytes", static_cast<long long>(size));
    // The decimal separator is always a dot, whatever the locale.
    char buf[64];
    const double d = double(size);
    if (size <= 1048576) std::snprintf(buf, sizeof buf, "%0.1f KB", d / 1024.0);
    else if (size <= 1073741824) std::snprintf(buf, sizeof buf, "%0.1f MB", d / 1048576.0);
    else std::snprintf(buf, sizeof buf, "%0.1f GB", d / 1073741824.0);
    return QString::fromLatin1(buf);
}

void TTavrenne::SetShownIcon(TIconHandle handle) {
    if (shownIcon_ && shownIcon_ != handle) ReleaseIcon(shownIcon_);
    shownIcon_ = handle;
    if (Image1) Image1->setPixmap(handle ? IconForHandle(handle).pixmap(32, 32) : QPixmap());
}

void TTavrenne::ReleaseEngine() {
    if (!CurrentEngine) return;
    // The window keeps only the icon it shows.
    if (CurrentEngine->LargeIcon != shownIcon_) ReleaseIcon(CurrentEngine->LargeIcon);
    if (CurrentEngine->SmallIcon != shownIcon_) ReleaseIcon(CurrentEngine->SmallIcon);
    CurrentEngine.reset();
}

void TTavrenne::ResetDisplay(bool full) {
    Label1->setText(QStringLiteral("ファイル名:"));
    Label2->setText(QStringLiteral("ファイルサイズ:"));
    Label3->setText(QStringLiteral("ファイルバージョン:"));
    Label4->setText(QStringLiteral("更新日時:"));
    Label5->setText(QStringLiteral("著作権:"));
    LabeledEdit1->clear();
    LabeledEdit2->clear();
    LabeledEdit3->clear();
    CheckBox1->setChecked(false);
    CheckBox2->setChecked(false);
    ShownReadOnly = ShownHidden = false;
    CurrentPath.clear();
    StatusPanels[1]->clear();
    Image1->hide();
    WatchedAge = 0;

    EnableCommands(true);

    if (Settings().ClearLog()) ListView1->clear();

    if (full) {
        Action20->setEnabled(false);
        BitBtn1->setVisible(false);
        for (QAction* a : {Action1, Action12, Action4, Action16, Action13, Action14, Action15, Action3, Action10,
                           Action17, Action18})
            a->setEnabled(true);
        for (QAction* a : {Action2, Action19, Action5, Action6, Action7, Action8, Action21, Action22})
            a->setEnabled(false);
    }
}

void TTavrenne::EnableCommands(bool enabled) {
    running_ = !enabled;
    ActionMainMenuBar1->setEnabled(enabled);
    ToolBarA->setEnabled(enabled);
    for (QAction* a : {Action1, Action2, Action4, Action5, Action6, Action7, Action8, Action12, Action13, Action16,
                       Action19, Action21, Action22})
        a->setEnabled(enabled);
    Button4->setEnabled(enabled);
    Button5->setEnabled(enabled);
    CheckBox4->setEnabled(enabled);
    CheckBox5->setEnabled(enabled);
    CheckBox6->setEnabled(enabled);
    Action20->setEnabled(!enabled);
    BitBtn1->setVisible(Action20->isEnabled());
}

void TTavrenne::ShowElapsed(uint32_t start) {
    const uint32_t s = TickCount() / 1000u - start / 1000u;
    char buf[96];
    const int n = std::snprintf(buf, sizeof buf, "経過時間: %2u時間%2u分%2u秒", s / 3600u, (s / 60u) % 60u, s % 60u);
    AddLog(n > 0 ? QString::fromUtf8(buf) : QStringLiteral("経過時間:???"), lkInformation);
}

void TTavrenne::Action20Execute() {
    if (!CurrentEngine) return;
    CheckBox7->setChecked(false);  // a canceled run never shuts down
    CurrentEngine->SetCanceled(true);
    AddLog(QStringLiteral("処理の中断"), lkWarning);
}

void TTavrenne::AnalyzeFile(QString pathIn) {
    // Step 1: the run's own values.
    bool errorFlag = false;
    bool cancelFlag = false;
    int logKind = lkInformation;
    int64_t size = 0;
    bool large = false;
    std::string crcText, cachedMD5, cachedSHA1, matchedFile;
    int cacheHits = 0;
    lastRunFailed_ = false;

    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label6->clear();
    const bool anyDigest = CheckBox4->isChecked() || CheckBox5->isChecked() || CheckBox6->isChecked();
    if (anyDigest) {
        Label6->show();
        ProgressBar1->show();
    }

    auto closeProgress = [this] {
        ProgressBar1->hide();
        Label6->hide();
        Label6->clear();
    };

    // Step 2.
    if (!FileExistsByAge(S(pathIn))) {
        lastRunFailed_ = true;
        Dialogs().MessageBox(ApplicationTitle, QStringLiteral("ファイルが見当たりません"), TMsgButtons::Ok,
                             TMsgIcon::Exclamation);
        closeProgress();
        return;
    }

    // Steps 3 to 5.
    UpdateRecentFiles(pathIn);
    ResetDisplay(false);
    const uint32_t start = TickCount();
    CompareRemark.clear();
    if (isHidden()) show();

    // Step 6: an .MD5 sidecar turns the run into a comparison against its value.
    const TSidecarRedirect redirect =
        RedirectForSidecar(S(pathIn), Settings().UseMD5File(), Settings().NotUseMD5File(),
                           [](const std::string& p) { return FileExistsByAge(p); });
    const QString path = Q(redirect.Path);
    if (redirect.ReadSidecar) {
        const QString value = Q(Hooks().ReadSidecar(*this, redirect.Path));
        if (!value.isEmpty()) {
            CheckBox3->setChecked(true);
            CheckBox4->setChecked(false);
            CheckBox5->setChecked(true);
            ComboBox1->setCurrentIndex(0);
            Edit1->setText(value);
        }
    }
    if (CheckBox3->isChecked() && Edit1->text().isEmpty()) {
        CheckBox3->setChecked(false);
        ComboBox1->setEnabled(false);
    }

    // Step 7.
    CurrentPath = path;
    StatusPanels[1]->setText(path);
    const std::string spath = S(path);
    QString name = Q(ExtractFileName(spath));
    Label1->setText(QStringLiteral("ファイル名: ") + name);

    // Step 8.
    AddLog(name + QStringLiteral("のファイル情報を取得中です..しばらくお待ち下さい"), lkInformation);

    const bool upper = Action17->isChecked();
    const uint16_t bufferKB = uint16_t(Settings().BufferSizeKB());
    bool commandsDisabled = false;

    try {
        // Step 9.
        CurrentEngine = MakeEngine(TDigestKind::CRC32);
        CurrentEngine->SetBufferSize(bufferKB);
        CurrentEngine->SetFileName(spath);
        CurrentEngine->ReadSize();
        size = CurrentEngine->Info().Size;
        if (SizeOverride) size = SizeOverride(spath, size);

        if (size == 0) {
            // Step 10.
            Dialogs().MessageBox(ApplicationTitle,
                                 QStringLiteral("ファイルがオープン出来ません :理由File size of zero or run"),
                                 TMsgButtons::Ok, TMsgIcon::Error);
            AddLog(QStringLiteral("File Open Error 634"), lkError);
            errorFlag = true;
        } else {
            // Steps 11 to 16.
            large = size > kLargeFile;
            Label2->setText(QStringLiteral("ファイルサイズ: ") + SizeText(size));
            const TFileInfo& info = CurrentEngine->Info();
            Label4->setText(QStringLiteral("更新日時: ") + Q(info.TimeText));
            WatchedAge = info.Age;
            ShownReadOnly = (info.Attr & faReadOnly) != 0;
            ShownHidden = (info.Attr & faHidden) != 0;
            CheckBox1->setChecked(ShownReadOnly);
            CheckBox2->setChecked(ShownHidden);
            const QString ext = Q(ExtractFileExt(spath)).toLower();
            if (ext == QStringLiteral(".exe") || ext == QStringLiteral(".dll")) {
                CurrentEngine->ReadVersionInfo();
                Label3->setText(QStringLiteral("ファイルバージョン: ") + Q(CurrentEngine->Info().FileVersion));
                Label5->setText(QStringLiteral("著作権: ") + Q(CurrentEngine->Info().LegalCopyright));
            }
            SetShownIcon(CurrentEngine->LargeIcon);
            Image1->show();
            EnableCommands(false);
            commandsDisabled = true;

            auto chooseProgress = [&](TNormalFileInfo& engine) {
                if (large) {
                    engine.SetProgressProc(&ProgressPercent);
                    ProgressBar1->setMaximum(100);
                } else {
                    engine.SetProgressProc(&ProgressBytes);
                    ProgressBar1->setMaximum(int(size));
                }
            };

            // Steps 17 to 19: CRC32.
            if (CheckBox4->isChecked()) {
                chooseProgress(*CurrentEngine);
                // Selecting the file again fetches its icons again: let go of the old ones.
                for (TIconHandle h : {CurrentEngine->LargeIcon, CurrentEngine->SmallIcon})
                    if (h != shownIcon_) ReleaseIcon(h);
                CurrentEngine->SetFileName(spath);
                AddLog(name + QStringLiteral("のCRC32取得を開始"), lkInformation);
                const std::string text = CurrentEngine->GetHashText(upper);
                cancelFlag = CurrentEngine->Canceled();
                QString line;
                if (!text.empty()) {
                    LabeledEdit1->setText(Q(text));
                    crcText = text;
                    line = name + QStringLiteral("のCRC32取得完了");
                    if (CheckBox3->isChecked() && ComboBox1->currentIndex() == 2) CompareDigest(TDigestKind::CRC32);
                } else {
                    LabeledEdit1->clear();
                    line = cancelFlag ? QStringLiteral("CRC32の取得時にユーザーによるキャンセルを受付ました")
                                      : QStringLiteral("CRC32 Error!!");
                    logKind = lkWarning;
                    errorFlag = true;
                }
                AddLog(line, logKind);
            }

            // Step 20: the cache, keyed by the CRC32, before any SHA-1 or MD5 work.
            auto fromCache = [&](bool wanted, std::string TCacheHit::*field, std::string& out) {
                if (!wanted || LabeledEdit1->text().isEmpty() || !Settings().UseCache()) return;
                const TCacheHit hit = Hooks().CacheLookup(S(LabeledEdit1->text()));
                out = S(upper ? Q(hit.*field).toUpper() : Q(hit.*field).toLower());
                if (matchedFile.empty()) matchedFile = hit.MatchedFile;
                if (!out.empty()) ++cacheHits;
            };
            fromCache(CheckBox6->isChecked(), &TCacheHit::SHA1, cachedSHA1);
            fromCache(CheckBox5->isChecked(), &TCacheHit::MD5, cachedMD5);

            // Steps 21 and 22: SHA-1 then MD5, each from the cache or from the file.
            struct Step {
                QCheckBox* box;
                QLineEdit* edit;
                const std::string* cached;
                const char* label;
                int compareIndex;
                TDigestKind kind;
            };
            const Step steps[] = {
                {CheckBox6, LabeledEdit3, &cachedSHA1, "SHA1", 1, TDigestKind::SHA1},
                {CheckBox5, LabeledEdit2, &cachedMD5, "MD5", 0, TDigestKind::MD5},
            };
            for (const Step& st : steps) {
                if (!st.box->isChecked()) continue;
                const QString label = QString::fromLatin1(st.label);
                AddLog(name + QStringLiteral("の") + label + QStringLiteral("取得を開始"), lkInformation);
                std::string result;
                if (CheckBox4->isChecked() && !st.cached->empty()) {
                    AddLog(QStringLiteral("キャッシュを読み込み/使用"), logKind);
                    result = *st.cached;
                } else {
                    ReleaseEngine();
                    if (!cancelFlag) {
                        CurrentEngine = MakeEngine(st.kind);
                        chooseProgress(*CurrentEngine);
                        CurrentEngine->SetBufferSize(bufferKB);
                        CurrentEngine->SetFileName(spath);
                        try {
                            result = CurrentEngine->GetHashText(upper);
                        } catch (const EFileOpenError& e) {
                            // The file cannot be read at all: this digest and those after it
                            // are given up, the run still closes normally.
                            st.edit->clear();
                            errorFlag = true;
                            logKind = lkError;
                            AddLog(label + QStringLiteral(" Error!!"), lkError);
                            Dialogs().MessageBox(ApplicationTitle,
                                                 QStringLiteral("ファイルがオープン出来ません :理由") + Q(e.Reason()) +
                                                     QStringLiteral("\n") + path,
                                                 TMsgButtons::Ok, TMsgIcon::Error);
                            throw;
                        }
                        cancelFlag = CurrentEngine->Canceled();
                    }
                }
                if (!result.empty()) {
                    st.edit->setText(Q(result));
                    AddLog(name + QStringLiteral("の") + label + QStringLiteral("取得完了"), logKind);
                    // A sidecar that cannot be written is logged by the hook; the run goes on
                    // as after any other failure.
                    if (st.kind == TDigestKind::MD5 && Settings().AutoCreateMD5() &&
                        !Hooks().WriteSidecar(*this, spath, S(LabeledEdit2->text()))) {
                        errorFlag = true;
                        logKind = lkWarning;
                    }
                    if (CheckBox3->isChecked() && ComboBox1->currentIndex() == st.compareIndex) CompareDigest(st.kind);
                } else {
                    st.edit->clear();
                    QString line;
                    if (cancelFlag) {
                        line = label + QStringLiteral("の取得時にユーザーによるキャンセルを受付ました");
                        logKind = lkWarning;
                    } else {
                        line = label + QStringLiteral(" Error!!");
                        logKind = lkError;
                    }
                    errorFlag = true;
                    AddLog(line, logKind);
                }
            }

            // Steps 23 to 25.
            ShowElapsed(start);
            EnableCommands(true);
            commandsDisabled = false;
            if (Hooks().MascotInUse()) SendMascotScript(TMascotScript::Results);
        }
    } catch (const EFileOpenError&) {
        // Reported where it happened.
    } catch (const std::exception& e) {
        errorFlag = true;
        Dialogs().MessageBox(ApplicationTitle, QStringLiteral("処理中にエラーが発生しました: ") + Q(e.what()),
                             TMsgButtons::Ok, TMsgIcon::Error);
    }
    if (commandsDisabled) {
        EnableCommands(true);
        if (Hooks().MascotInUse()) SendMascotScript(TMascotScript::Results);
    }

    // Step 26 onwards run for every run that got this far.
    ReleaseEngine();

    if (CheckBox4->isChecked() || CheckBox5->isChecked() || CheckBox6->isChecked()) {
        if (errorFlag) Settings().PlayErrorSound();
        else Settings().PlayFinishSound();
    }

    if (CheckBox7->isChecked() && !errorFlag) {
        const TProgramLayout layout = ProgramLayout();
        WriteResults(Q(layout.ShutdownLog(spath)));
        Platform().StartProgram(Q(layout.HelperProgram()), QStringLiteral("-W"));
    }

    if (CheckBox4->isChecked() && (CheckBox5->isChecked() || CheckBox6->isChecked())) {
        auto store = [&](const std::string& crc, const std::string& md5, const std::string& sha1) {
            if (size > 0 && Settings().UseCache()) Hooks().CacheStore(crc, md5, sha1);
        };
        if (cacheHits > 0) {
            bool complete = false;
            if (cachedMD5.empty() && !LabeledEdit2->text().isEmpty()) {
                cachedMD5 = S(LabeledEdit2->text());
                complete = true;
            }
            if (cachedSHA1.empty() && !LabeledEdit3->text().isEmpty()) {
                cachedSHA1 = S(LabeledEdit3->text());
                complete = true;
            }
            if (complete && Hooks().CacheDeleteRecord(matchedFile)) store(crcText, cachedMD5, cachedSHA1);
        } else {
            store(S(LabeledEdit1->text()), S(LabeledEdit2->text()), S(LabeledEdit3->text()));
        }
    }

    // Step 30: the completion blink.
    if (!Label6->isHidden() && !errorFlag) {
        Label6->setText(QStringLiteral(" Complete !"));
        QPalette pal = Label6->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        Label6->setPalette(pal);
        for (int i = 0; i < 4; ++i) {
            Label6->repaint();
            Wait(220);
            Label6->setVisible(Label6->isHidden());
        }
        pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
        Label6->setPalette(pal);
    }
    closeProgress();
    lastRunFailed_ = errorFlag;
}
