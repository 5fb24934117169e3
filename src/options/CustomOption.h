// The options form: it holds the user's settings as the states of its controls from start-up
// to exit, reads tavr2.ini once while the program starts and writes it once when it is
// destroyed. Its creation also carries out the start-up: splash, command line, notices.
// It is also the options dialog: created once, shown modally and hidden again, so its
// controls, its tree selection and its pages keep their states between showings.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsAccess.h"
#include "platform/Path.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TAssociationPage;
class TQL_Bar;
class TQL_ImageLabel;
class TQL_TrayInfoDlg;
class TReportPage;
class TShellPage;
class TShortcutPage;
class TMainWindow;
class Tspwindow;

// One line of the tray notice, drawn at (X, Y) of its picture.
struct TNoticeLine {
    QString Text;
    int X = 0;
    int Y = 0;
    bool operator==(const TNoticeLine&) const = default;
};

// Start-up work of windows and services that come later; the base class does nothing.
class TStartupSeams {
public:
    virtual ~TStartupSeams() = default;
    // The .MD5 association is registered, and applying it again.
    virtual bool AssociationPresent() { return false; }
    virtual void ReapplyAssociation() {}
    // The first-run or upgrade notice of the tray notification.
    virtual void ShowTrayNotice(const std::vector<TNoticeLine>& /*lines*/) {}
    // The environment report's data and the options dialog's page-title strip.
    virtual void GatherReport() {}
};

class Tcustomoption : public QDialog, public TSettingsAccess {
    Q_OBJECT

public:
    // Where the support link's mail goes.
    static const char* const kSupportMail;
    static constexpr int kNodeCount = 11;

    // Builds the controls in their initial states and installs the form as Settings().
    explicit Tcustomoption(TMainWindow& main);
    // Writes the settings file (SaveSettings) and uninstalls the form.
    ~Tcustomoption() override;

    // The start-up sequence; `args` are the command-line arguments after the program name,
    // as the system gave their bytes.
    void FormCreate(const std::vector<std::string>& args);
    void SetStartupSeams(TStartupSeams* seams);   // not owned; nullptr: the dialog's own parts

    // Reads tavr2.ini into the controls; false when there is no file (nothing read).
    bool LoadSettings();
    // Writes tavr2.ini from the controls, if saving is allowed; a write error is shown.
    void SaveSettings();
    // The settings record the controls (and the main window's share) stand for, and back.
    TSettings ReadControls() const;
    void WriteControls(const TSettings& settings);
    // The digest switches and the file of the command line.
    void RunCommandLine(const std::vector<std::string>& args);
    void SetCacheControlsEnabled(bool on);

    // The dialog. Execute shows it modally; showing and closing run their rules however the
    // dialog is shown or closed.
    int Execute();
    void done(int result) override;   // "閉じる" and the close box end here
    // The first selected tree node (in display order) decides the page and its title.
    void ShowPage();
    // The basic and additional settings back to their initial states.
    void ResetSettings();
    // The title drawn on the strip of the page shown last.
    const QString& PageTitle() const { return FPageTitle; }
    QTreeWidgetItem* TreeNode(int position) const { return nodes_[position]; }
    void ComboBox1Change();
    void Button2Click();
    void Button6Click();

    TPath SettingsFileName() const;   // tavr2.ini in the program's folder

    // Accessors.
    bool UseCache() const override;
    bool ClearCacheOnExit() const override;
    int CacheLimit() const override;
    bool UseMD5File() const override;
    int BufferSizeKB() const override;
    bool AutoReload() const override;
    void PlayFinishSound() override;
    void PlayErrorSound() override;
    void ApplyPriority() override;
    bool ByteLen() const override;
    bool NotUseMD5File() const override;
    bool AutoCreateMD5() const override;
    bool UseSSTP() const override;
    bool CloseQuery() const override;
    bool ClearLog() const override;
    bool NoSplash() const override;
    bool ListsBeside() const override;

    bool SaveAllowed() const { return FSaveAllowed; }
    bool Upgraded() const { return FUpgraded; }
    const QString& UpgradeText1() const { return FUpgradeText1; }
    const QString& UpgradeText2() const { return FUpgradeText2; }

    // Frame of the dialog.
    QStackedWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr,
            *TabSheet5 = nullptr, *TabSheet6 = nullptr, *TabSheet7 = nullptr, *TabSheet8 = nullptr,
            *TabSheet9 = nullptr, *TabSheet10 = nullptr, *TabSheet11 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QLabel *Image2 = nullptr, *Image4 = nullptr, *Image1 = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel2 = nullptr, *Bevel3 = nullptr;
    QPushButton* Button1 = nullptr;
    TQL_TrayInfoDlg* QL_TrayInfoDlg1 = nullptr;

    // Pages hosted from elsewhere.
    TAssociationPage* AssociationPage = nullptr;   // TabSheet2
    TShellPage* ShellPage = nullptr;               // TabSheet3
    TShortcutPage* ShortcutPage = nullptr;         // TabSheet7
    TReportPage* ReportPage = nullptr;             // TabSheet5

    // Page controls. CheckBox1 and RadioGroup1 belong to the association and shell pages.
    QGroupBox *GroupBox1 = nullptr, *GroupBox2 = nullptr, *GroupBox6 = nullptr, *GroupBox7 = nullptr;
    QLabel *Label1 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *StaticText1 = nullptr;
    QPushButton *Button3 = nullptr, *Button5 = nullptr, *Button10 = nullptr;
    QToolButton *SpeedButton1 = nullptr, *SpeedButton2 = nullptr;
    TQL_ImageLabel *QL_ImageLabel1 = nullptr, *QL_ImageLabel2 = nullptr, *QL_ImageLabel3 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr,
              *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr, *CheckBox8 = nullptr,
              *CheckBox9 = nullptr, *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr,
              *CheckBox14 = nullptr, *CheckBox18 = nullptr, *CheckBox19 = nullptr, *CheckBox20 = nullptr,
              *CheckBox21 = nullptr;
    QCheckBox* CheckBox22 = nullptr;   // compare with the checksum lists beside the file
    QLabel* Label15 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    // 表示言語 (基本設定): 自動, 日本語, English, in the order of TLanguageChoice; its note.
    QLabel *Label20 = nullptr, *Label21 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    TQL_Bar* QL_Bar1 = nullptr;
    QLineEdit *LabeledEdit1 = nullptr, *LabeledEdit2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioGroup1Items[2] = {nullptr, nullptr};
    QPushButton *BitBtn3 = nullptr, *Button2 = nullptr, *Button6 = nullptr;

    // The splash window while it exists (only after a start without arguments).
    QPointer<Tspwindow> Splash;

    // The gradient behind each page title, built once at start-up.
    const QImage& TitleStrip() const { return FTitleStrip; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TDialogSeams;

    TStartupSeams& Seams();
    void StartHelper(const std::string& argument, bool onlyIfHelperExists);
    void BitBtn3Click();

    // The dialog (OptionsDialog.cpp).
    void BuildDialog();
    void BuildPictures();
    void DrawPageTitle();
    void FormShow();
    void FormClose();
    void OpenSoundClick();
    void SoundCheckClick();
    void ShowTrayNotice(const std::vector<TNoticeLine>& lines);

    TMainWindow& main_;
    TStartupSeams* seams_ = nullptr;
    std::unique_ptr<TStartupSeams> dialogSeams_;
    QWidget* sheets_[kNodeCount] = {};   // page of each tree node
    QTreeWidgetItem* nodes_[kNodeCount] = {};
    QImage FTitleStrip;
    QString FPageTitle;

    bool FSaveAllowed = true;
    bool FUpgraded = false;
    QString FUpgradeText1;
    std::vector<std::string> FHeldKeys;   // the later settings keys the loaded file held
    QString FUpgradeText2;
    uint16_t FAutoBufferSize = kAutoBufferSizeKB;
};
