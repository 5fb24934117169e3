// The batch window: a list of files, one kind of work done on all of them in one run.
#pragma once

#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/BatchList.h"
#include "engine/BatchRun.h"
#include "engine/ChecksumList.h"
#include "batch/BatchRows.h"
#include "engine/NormalFileInfo.h"
#include "platform/Path.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimeEdit;
class QTreeView;
class QWidget;
class TMainWindow;
class Tacdlgf;

class Tallcheck : public QDialog {
    Q_OBJECT

public:
    // `main` owns it and is the window it is centred on (may be nullptr).
    explicit Tallcheck(TMainWindow* main = nullptr);
    ~Tallcheck() override;

    // Operations the progress dialog and the runs use.
    void AddFile(const TPath& path);
    void SetControlsEnabled(bool enabled);
    void ApplyWorkType();
    void SetAbort(bool value) { FAbort = value; }
    void CloseProgressDialog(Tacdlgf* dialog);
    // Adds `count` files under the progress dialog and its abort; the drop shows a row's
    // progress after adding it, the folder before.
    void AddUnderProgress(size_t count, const std::function<TPath(size_t)>& pathAt, bool progressFirst);
    void SetNewTimestamp(const QDateTime& value);
    void ShowRenameExample();

    // Handlers.
    void Action1Execute();    // add by the open dialog
    void Action2Execute();    // clear the list
    void Action3Execute();    // the run
    void Action8Execute();    // Now
    void Action9Execute();    // export
    void Action12Execute();   // add a folder
    void Button4Click();      // abort
    void HandleDroppedFiles(const QList<TPath>& paths);

    // Puts every file `entries` name (from the list at `list`, names resolved against its
    // folder) into the list and chooses the work type "チェックサムの検証".
    void AddChecksumList(const TPath& list, const std::vector<TListEntry>& entries);
    // The closing message's count of each verdict of the last verification.
    struct TVerdictCounts {
        int Match = 0, Mismatch = 0, Missing = 0, Unreadable = 0;
    };
    TVerdictCounts VerdictCounts() const { return verdicts_; }

    // The cells of row `r` (cell 1 to 8), paths as bytes.
    TBatchRow Row(int r) const;
    int RowCount() const;
    // The chosen date and time of the pickers.
    QDateTime ChosenTimestamp() const { return chosen_; }

    // The run's state, read by the tests.
    int32_t FErrorCount = 0;
    bool FRunning = false;
    TNormalFileInfo* FEngine = nullptr;
    bool FAbort = false;
    std::vector<QIcon> ImageList1;

    // Seams: the clock of the runs' pacing (milliseconds), the wait before the progress
    // dialog closes, and the text of "now" in the export's title line.
    std::function<int64_t()> Clock;
    std::function<void(int)> Wait;
    std::function<std::string()> NowText;
    // Every progress dialog an adding opened, for tests; cleared by nothing.
    int ProgressDialogsOpened = 0;

    QMenuBar* ActionMainMenuBar1 = nullptr;
    QTreeView* ListView1 = nullptr;   // shows the rows
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    QProgressBar *ProgressBar1 = nullptr, *ProgressBar2 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr, *Button6 = nullptr, *BitBtn1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QWidget *Panel1 = nullptr, *Panel2 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QTimeEdit* DateTimePicker2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr;
    QLineEdit* Edit1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanels[2] = {nullptr, nullptr};
    QAction *Action1 = nullptr, *Action2 = nullptr, *Action3 = nullptr, *Action4 = nullptr,
            *Action5 = nullptr, *Action6 = nullptr, *Action7 = nullptr, *Action8 = nullptr,
            *Action9 = nullptr, *Action10 = nullptr, *Action11 = nullptr, *Action12 = nullptr,
            *Action13 = nullptr;
    // "チェックサムの検証": in the work menu from the first list the window holds.
    QAction* Action14 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class TPhaseSink;
    void BuildActions();
    void BuildClient();
    void CheckWorkType(QAction* action);
    int RenameType() const;
    void TimeWalkerPhase();
    void HashPhase(TDigestKind kind, const char* phaseText, uint16_t bufferKB);
    void RenamePhase();
    void VerifyPhase(uint16_t bufferKB);
    void ExportList(const TPath& chosen, int format);
    void PumpBetweenRows(TBatchPacer& pacer);
    QString Title() const;
    QIcon IconOf(const TPath& path);

    // Rows added by a loop reach the list in batches: inserting among many rows costs the
    // view a layout of all of them, so once per batch, not once per file.
    void FlushAddedRows();
    struct TAddingLoop;
    std::vector<TBatchRows::TRow> pending_;
    bool adding_ = false;

    TMainWindow* main_ = nullptr;
    TBatchRows* rows_ = nullptr;
    std::set<int> failedRows_;   // rows of this run whose digest could not be computed
    TVerdictCounts verdicts_;

    QDateTime chosen_;
    QActionGroup* workGroup_ = nullptr;
    QHash<QString, QIcon> icons_;   // by extension: one desktop look-up per kind of file
};

// The one batch window while it exists, for the progress procedure that receives no object.
extern Tallcheck* allcheck;

// The engines' progress procedure during a hash phase: the current file's percentage.
void BatchProgress(int64_t processed, int64_t total);

// A checksum list the user opened, dropped or named at start-up: when `forced`, or when its
// name and content make it a list (IsChecksumListName, a proper line), shows a new batch
// window holding its files for verification, as RunBatchWindow shows one, and answers true.
// A forced file that is no list gets a box saying so (true as well). False: not a list, the
// file is for the analysis.
bool RunBatchWindowForList(TMainWindow& main, const TPath& list, bool forced);

// "一括チェック(&A)...": hides the main window, shows a new batch window modally, destroys it
// when it closes and shows the main window again, also when the batch window fails.
void RunBatchWindow(TMainWindow& main);
