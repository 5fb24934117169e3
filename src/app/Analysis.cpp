// The main window's side of an analysis: its controls become a request, and what the run
// shows goes back into its controls.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include "analysis/ResultText.h"
#include "app/SettingsAccess.h"
#include "app/Tavrenne.h"
#include "platform/Dialogs.h"
#include "platform/IconLookup.h"
#include "platform/Path.h"
#include "platform/Platform.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

class TTavrenne::TWindowSink : public TAnalysisSink {
public:
    explicit TWindowSink(TTavrenne& w) : w_(w) {}

    void Log(const std::string& text, int kind) override { w_.AddLog(Q(text), kind); }
    void Message(const std::string& text, TBoxIcon icon) override {
        Dialogs().MessageBox(w_.ApplicationTitle(), Q(text), TMsgButtons::Ok,
                                icon == TBoxIcon::Error ? TMsgIcon::Error : TMsgIcon::Exclamation);
    }

    void ProgressReset(bool show) override {
        w_.ProgressBar1->setRange(0, 100);
        w_.ProgressBar1->setValue(0);
        w_.Label6->clear();
        if (show) {
            w_.Label6->show();
            w_.ProgressBar1->show();
        }
    }
    void ProgressMaximum(int64_t maximum) override { w_.ProgressBar1->setMaximum(int(maximum)); }
    void Progress(int64_t position, int64_t processed) override {
        w_.ProgressBar1->setValue(int(position));
        w_.Label6->setText(QString::asprintf("%lldBytes", static_cast<long long>(processed)));
    }
    void ProgressHidden() override {
        w_.ProgressBar1->hide();
        w_.Label6->hide();
        w_.Label6->clear();
    }

    void Accepted(const std::string& requestedPath) override {
        w_.UpdateRecentFiles(TPath(requestedPath));
        w_.ResetDisplay(false);
        w_.CompareRemark.clear();
        if (w_.isHidden()) w_.show();
    }
    void SidecarComparison(const std::string& value) override {
        // Checking CheckBox3 first empties Edit1 through its click handler.
        w_.CheckBox3->setChecked(true);
        w_.CheckBox4->setChecked(false);
        w_.CheckBox5->setChecked(true);
        w_.ComboBox1->setCurrentIndex(0);
        w_.Edit1->setText(Q(value));
    }
    TComparisonInput Comparison() override {
        TComparisonInput c;
        c.On = w_.CheckBox3->isChecked();
        // The list holds the kinds in their values' order, then the automatic choice.
        const int index = w_.ComboBox1->currentIndex();
        c.Auto = index == kCompareAutoIndex;
        c.Kind = c.Auto || index < 0 ? TDigestKind::MD5 : TDigestKind(index);
        c.Value = S(w_.Edit1->text());
        return c;
    }
    void ComparisonOff() override {
        w_.CheckBox3->setChecked(false);
        w_.ComboBox1->setEnabled(false);
    }
    void CompareValueCleaned(const std::string& value) override { w_.Edit1->setText(Q(value)); }
    void CompareRemark(const std::string& remark) override { w_.CompareRemark = Q(remark); }

    void ShowPath(const std::string& path, const std::string& nameLine) override {
        w_.currentPath_ = TPath(path);
        w_.StatusPanels[1]->setText(w_.currentPath_.Display());
        w_.Label1->setText(Q(nameLine));
    }
    void ShowInfo(const TShownInfo& info) override {
        w_.Label2->setText(Q(info.Size));
        w_.Label4->setText(Q(info.Time));
        w_.WatchedAge = info.Age;
        w_.ShownReadOnly = info.ReadOnly;
        w_.ShownHidden = info.Hidden;
        w_.CheckBox1->setChecked(info.ReadOnly);
        w_.CheckBox2->setChecked(info.Hidden);
        if (info.HasVersion) {
            w_.Label3->setText(Q(info.Version));
            w_.Label5->setText(Q(info.Copyright));
        }
        w_.SetShownIcon(info.Icon);
        w_.Image1->show();
    }
    void ShowDigest(TDigestKind kind, const std::string& text) override {
        w_.DigestBox(kind)->setText(Q(text));
        if (!DigestKindInfo(kind).InAll) w_.LayoutDigestRows();
    }
    void Running(bool running) override { w_.EnableCommands(!running); }
    void EngineChanged(TNormalFileInfo* engine) override { w_.CurrentEngine = engine; }
    void ReleaseIcons(TIconHandle large, TIconHandle small) override {
        // The window keeps only the icon it shows.
        for (TIconHandle h : {large, small})
            if (h && h != w_.shownIcon_) ReleaseIcon(h);
    }

    void Mascot() override {
        if (w_.MascotInUse()) w_.SendMascotScript(TMascotScript::Results);
    }
    void PlaySound(bool error) override {
        if (error) Settings().PlayErrorSound();
        else Settings().PlayFinishSound();
    }
    bool ShutdownChecked() override { return w_.CheckBox7->isChecked(); }
    void Shutdown(const std::string& resultFile, const std::string& helper) override {
        w_.WriteResults(TPath(resultFile));
        Platform().StartProgram(TPath(helper).ToQString(), QStringLiteral("-W"));
    }
    void Blink() override {
        QLabel* label = w_.Label6;
        if (label->isHidden()) return;
        label->setText(QStringLiteral(" Complete !"));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(pal);
        for (int i = 0; i < 4; ++i) {
            label->repaint();
            w_.Wait(220);
            label->setVisible(label->isHidden());
        }
        pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
        label->setPalette(pal);
    }

private:
    TTavrenne& w_;
};

QLineEdit* TTavrenne::DigestBox(TDigestKind kind) const {
    switch (kind) {
    case TDigestKind::CRC32: return LabeledEdit1;
    case TDigestKind::MD5: return LabeledEdit2;
    case TDigestKind::SHA1: return LabeledEdit3;
    case TDigestKind::SHA256: return LabeledEdit4;
    case TDigestKind::SHA512: return LabeledEdit5;
    }
    return LabeledEdit3;
}

TAnalysisHooks& TTavrenne::Hooks() {
    static TFileHooks files({});
    if (hooks_) return *hooks_;
    // The program folder can change between runs in tests: the cache folder is asked each time.
    files = TFileHooks(ProgramLayout().CacheFolder());
    return files;
}

void TTavrenne::SetHooks(TAnalysisHooks* hooks) { hooks_ = hooks; }

void TTavrenne::SetShownIcon(TIconHandle handle) {
    if (shownIcon_ && shownIcon_ != handle) ReleaseIcon(shownIcon_);
    shownIcon_ = handle;
    if (Image1) Image1->setPixmap(handle ? IconForHandle(handle).pixmap(32, 32) : QPixmap());
}

void TTavrenne::ResetDisplay(bool full) {
    Label1->setText(Shown(kCaptionName));
    Label2->setText(Shown(kCaptionSize));
    Label3->setText(Shown(kCaptionVersion));
    Label4->setText(Shown(kCaptionTime));
    Label5->setText(Shown(kCaptionCopyright));
    for (QLineEdit* edit : {LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4, LabeledEdit5}) edit->clear();
    LayoutDigestRows();
    CheckBox1->setChecked(false);
    CheckBox2->setChecked(false);
    ShownReadOnly = ShownHidden = false;
    currentPath_ = TPath();
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
    CheckBox8->setEnabled(enabled);
    CheckBox9->setEnabled(enabled);
    Action20->setEnabled(!enabled);
    BitBtn1->setVisible(Action20->isEnabled());
}

void TTavrenne::Action20Execute() {
    if (!CurrentEngine) return;
    CheckBox7->setChecked(false);  // a canceled run never shuts down
    CurrentEngine->SetCanceled(true);
    AddLog(tr("処理の中断"), lkWarning);
}

void TTavrenne::AnalyzeFile(TPath path) {
    if (listHandler_ && listHandler_(path, false)) return;
    TAnalysisRequest request;
    request.Path = path.Bytes();
    if (CheckBox4->isChecked()) request.Digests.Add(TDigestKind::CRC32);
    if (CheckBox5->isChecked()) request.Digests.Add(TDigestKind::MD5);
    if (CheckBox6->isChecked()) request.Digests.Add(TDigestKind::SHA1);
    if (CheckBox8->isChecked()) request.Digests.Add(TDigestKind::SHA256);
    if (CheckBox9->isChecked()) request.Digests.Add(TDigestKind::SHA512);
    request.ListsBeside = Settings().ListsBeside();
    request.Upper = Action17->isChecked();
    request.UseMD5File = Settings().UseMD5File();
    request.NotUseMD5File = Settings().NotUseMD5File();
    request.ByteLen = Settings().ByteLen();
    request.AutoCreateMD5 = Settings().AutoCreateMD5();
    request.UseCache = Settings().UseCache();
    request.BufferKB = uint16_t(Settings().BufferSizeKB());
    request.ProgramFolder = ProgramLayout().Folder();

    TWindowSink sink(*this);
    TAnalysisRun run(sink, Hooks());
    run.TickCount = TickCount;
    run.EngineFactory = EngineFactory;
    run.SizeOverride = SizeOverride;
    analysisRunning_ = true;
    lastRunFailed_ = run.Run(request).Error;
    analysisRunning_ = false;
}
