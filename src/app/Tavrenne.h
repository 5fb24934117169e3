// The main window: file information, digests, comparison and the log. The windows above it
// see it through TMainWindow only.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/AnalysisRun.h"
#include "app/MainWindow.h"
#include "engine/DigestKinds.h"
#include "engine/NormalFileInfo.h"
#include "platform/Path.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDateTime;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLocale;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QWidget;
class TAnchors;
class TQL_SSTP;

class TTavrenne : public QMainWindow, public TMainWindow {
    Q_OBJECT

public:
    explicit TTavrenne(QWidget* parent = nullptr);
    ~TTavrenne() override;
    // A text of the analysis (its captions) in the window's language.
    static QString Shown(const char* text);

    // What the windows above it ask.
    QWidget& Window() override { return *this; }
    QString ApplicationTitle() const override { return applicationTitle_; }
    const TFileInfo& ProgramInfo() const override { return programInfo_; }
    QPixmap DigestToolPicture() const override;
    TPath CurrentPath() const override { return currentPath_; }
    // By value: callers pass CurrentPath, which the run itself resets.
    void AnalyzeFile(TPath path) override;
    void AnalyzeFileWith(TPath path, TDigestSet digests) override;
    void RunDuplicateSearch() override;
    void ShowHelp() override { Action13Execute(); }
    void OnCommand(TUpperWindow which, std::function<void()> open) override;
    void BringToFront() override;
    bool Busy() const override;
    void ReadSettings(TSettings& settings) const override;
    void ApplySettings(const TSettings& settings) override;
    void ShowShutdownOption(bool shown) override;
    bool MascotInUse() override;
    bool SendMascotScript(TMascotScript which) override;
    void CopyToClipboard(const QString& text) override;
    void ShowWriteError(const TPath& file, const QString& reason) override;

    // The analysis of one file and what it shows.
    void ResetDisplay(bool full);
    void EnableCommands(bool enabled);
    // A running digest step is cancelled as the abort command cancels it; nothing without one.
    void CancelRun();

    // Results, comparison and log.
    void AddLog(const QString& text, int kind, bool scroll = true);
    void CompareDigest(TDigestKind which);
    QStringList ResultLines() const;
    // The result text to `file`, or to the clipboard when it is empty.
    bool WriteResults(const TPath& file);
    void SaveLog();
    QStringList LogFileLines() const;

    // Lifecycle and commands.
    void UpdateRecentFiles(const TPath& path = TPath());
    bool SystemMenuCommand(int id);
    void ToggleLog();
    void CheckFileChanged();
    void HandleDroppedFiles(const QList<TPath>& paths);
    // A file the user opens, drops or names at start-up goes to `handler` first; when it
    // answers true (a checksum list it took for verification) the file is not analysed.
    // Takes a file opened or dropped that is a checksum list (answers true), or one named by
    // "-l" (forced: read as a list whatever its name).
    void SetChecksumListHandler(std::function<bool(const TPath&, bool forced)> handler) {
        listHandler_ = std::move(handler);
    }
    void VerifyList(TPath list) override {
        if (listHandler_) listHandler_(list, true);
    }
    // Run or extract the current file (Action19).
    void RunOrExtract();
    bool ExtractZip(const TPath& archive, QWidget* owner, bool extractHere);
    bool ExtractLha(const TPath& archive, QWidget* owner, bool extractHere);
    bool ExtractCab(const TPath& archive, QWidget* owner, bool extractHere);
    bool ExtractGca(const TPath& archive, QWidget* owner, bool extractHere);
    QString StatusText(int panel) const;

    // What the last run ended with: true when its error flag was set or the file was missing.
    bool LastRunFailed() const { return lastRunFailed_; }
    // From the start of AnalyzeFile until it returns.
    bool AnalysisRunning() const { return analysisRunning_; }

    // Seams: the sidecar and cache steps, the clock, waiting and sizes.
    void SetHooks(TAnalysisHooks* hooks);   // not owned; nullptr: sidecars and cache on disk
    std::function<uint32_t()> TickCount;    // milliseconds
    std::function<void(int)> Wait;          // blocking wait used by the completion blink
    std::function<QString()> NowText;       // short date + long time of now
    std::function<int64_t(const std::string&, int64_t)> SizeOverride;  // tests: fake sizes
    // Makes the engine of a digest step (one read for a set of digests); nullptr: the real engines.
    TAnalysisRun::TEngineFactory EngineFactory;

    // Action handlers.
    void Action1Execute();
    void Action2Execute();
    void Action6Execute();
    void Action7Execute();
    void Action8Execute();
    void Action10Execute();
    void Action13Execute();
    void Action14Execute();
    void Action15Execute();
    void Action16Execute();
    void Action17Execute();
    void Action18Execute();
    void Action20Execute();
    void Action21Execute();
    void Action22Execute();

signals:
    // The window has agreed to close: the program is ending.
    void closing();
    // Raised by commands whose windows live elsewhere (batch, options, tools).
    void batchRequested();
    void optionsRequested();
    void stringHashRequested();
    void duplicateSearchRequested();
    void digestToolRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's tests reach its controls and fields; the about box shows its build.
    friend class TTavrenneUnderTest;
    friend class TVersionDlg;
    class TWindowSink;
    static TQL_SSTP* MakeMascotClient(QObject* owner);
    QString MascotScriptText(TMascotScript which) const;

    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildClient();
    void BuildSystemMenu();
    void RebuildRecentMenu();
    void ReadProgramInfo();
    void SetShownIcon(TIconHandle handle);
    void DigestBoxesToCase(bool upper);
    void CheckBox3Click();
    void ButtonAllClick(bool all);
    // The SHA-256 and SHA-512 rows are shown while chosen or holding a digest; the panel,
    // the controls under it and the window grow by the rows shown.
    void LayoutDigestRows();
    QLineEdit* DigestBox(TDigestKind kind) const;
    void SaveResultsAs();
    bool MenuBarEnabled() const;
    TAnalysisHooks& Hooks();

    // Named fields of the window.
    TPath currentPath_;                         // CurrentPath
    uint32_t WatchedAge = 0;
    bool ShownReadOnly = false;
    bool ShownHidden = false;
    TNormalFileInfo* CurrentEngine = nullptr;   // the engine of the running digest step
    QString CompareRemark;
    QList<TPath> RecentFiles;
    QString BuildText;
    TFileInfo programInfo_;                     // ProgramInfo
    bool SuppressChangeCheck = false;
    int FullHeight = 0;
    bool HideLogAtShow = false;
    QString applicationTitle_;                  // ApplicationTitle

    // Menus, toolbar, controls: named as the program's design names them.
    QMenuBar* ActionMainMenuBar1 = nullptr;
    QFrame* ControlBar1 = nullptr;
    QToolBar* ToolBarA = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr,
              *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr;
    QCheckBox *CheckBox8 = nullptr, *CheckBox9 = nullptr;   // SHA-256, SHA-512
    QLineEdit *LabeledEdit1 = nullptr, *LabeledEdit2 = nullptr, *LabeledEdit3 = nullptr;
    QLineEdit *LabeledEdit4 = nullptr, *LabeledEdit5 = nullptr;   // SHA-256, SHA-512
    QProgressBar* ProgressBar1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr, *BitBtn1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QWidget* StatusBar1 = nullptr;
    QLabel* StatusPanels[3] = {nullptr, nullptr, nullptr};
    QMenu* PopupMenu1 = nullptr;
    QAction *N1 = nullptr, *N2 = nullptr;
    QMenu* SystemMenu = nullptr;   // stand-in for the window's system menu
    // The mascot's SSTP client: loopback host, sender "Mirune", the default port.
    TQL_SSTP* QL_SSTP1 = MakeMascotClient(this);
    QMenu* RecentMenu = nullptr;   // the same recent files in the File menu

    QAction *Action1 = nullptr, *Action2 = nullptr, *Action3 = nullptr, *Action4 = nullptr,
            *Action5 = nullptr, *Action6 = nullptr, *Action7 = nullptr, *Action8 = nullptr,
            *Action10 = nullptr, *Action11 = nullptr, *Action12 = nullptr, *Action13 = nullptr,
            *Action14 = nullptr, *Action15 = nullptr, *Action16 = nullptr, *Action17 = nullptr,
            *Action18 = nullptr, *Action19 = nullptr, *Action20 = nullptr, *Action21 = nullptr,
            *Action22 = nullptr;

    TAnalysisHooks* hooks_ = nullptr;
    TIconHandle shownIcon_ = 0;
    std::function<bool(const TPath&, bool)> listHandler_;
    bool lastRunFailed_ = false;
    bool analysisRunning_ = false;
    std::vector<QPixmap> logImages_;
    std::unique_ptr<TAnchors> anchors_;
    QActionGroup* formatGroup_ = nullptr;
    QLabel *editLabels_[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    int digestRowsHeight_ = 0;   // what the SHA-256 and SHA-512 rows add to the design height
};

// The one main window, for the progress procedures that receive no object.
extern TTavrenne* Tavrenne;

// Caption text of a recent-file entry in the system menu.
QString RecentFileDisplayText(const TPath& entry);

// A log line's time: the locale's short date, a blank and its long time (without a time zone).
QString LogTimeText(const QLocale& locale, const QDateTime& moment);
// The log's time column: its design width of 140, or wider where `locale`'s texts need it in
// `list`'s font.
int LogTimeColumnWidth(const QTreeWidget& list, const QLocale& locale);
