// The options form: it holds the user's settings as the states of its controls from start-up
// to exit, reads tavr2.ini once while the program starts and writes it once when it is
// destroyed. Its creation also carries out the start-up: splash, command line, notices.
// The dialog around these controls (pages, pictures, buttons) comes later; the controls
// already carry the names and captions other windows look for.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "app/SettingsAccess.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class TTavrenne;
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

class Tcustomoption : public QWidget, public TSettingsAccess {
    Q_OBJECT

public:
    // Builds the controls in their initial states and installs the form as Settings().
    explicit Tcustomoption(TTavrenne& main);
    // Writes the settings file (SaveSettings) and uninstalls the form.
    ~Tcustomoption() override;

    // The start-up sequence; `args` are the command-line arguments after the program name.
    void FormCreate(const QStringList& args);
    void SetStartupSeams(TStartupSeams* seams);   // not owned; nullptr: do nothing

    // Reads tavr2.ini into the controls; false when there is no file (nothing read).
    bool LoadSettings();
    // Writes tavr2.ini from the controls, if saving is allowed; a write error is shown.
    void SaveSettings();
    // The settings record the controls (and the main window's) stand for, and back.
    TSettings ReadControls() const;
    void WriteControls(const TSettings& settings);
    // The digest switches and the file of the command line.
    void RunCommandLine(const QStringList& args);
    void SetCacheControlsEnabled(bool on);

    QString SettingsFileName() const;   // tavr2.ini in the program's folder
    QString HelperFileName() const;     // the maintenance helper in the program's folder

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

    bool SaveAllowed() const { return FSaveAllowed; }
    bool Upgraded() const { return FUpgraded; }
    const QString& UpgradeText1() const { return FUpgradeText1; }
    const QString& UpgradeText2() const { return FUpgradeText2; }

    // Controls.
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr,
              *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr, *CheckBox8 = nullptr,
              *CheckBox9 = nullptr, *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr,
              *CheckBox14 = nullptr, *CheckBox18 = nullptr, *CheckBox19 = nullptr, *CheckBox20 = nullptr,
              *CheckBox21 = nullptr;
    QLabel* Label15 = nullptr;
    QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr;
    QSlider* QL_Bar1 = nullptr;
    QLineEdit *LabeledEdit1 = nullptr, *LabeledEdit2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioGroup1Items[2] = {nullptr, nullptr};
    QPushButton *BitBtn3 = nullptr, *Button2 = nullptr, *Button6 = nullptr;

    // The splash window while it exists (only after a start without arguments).
    QPointer<Tspwindow> Splash;

private:
    TStartupSeams& Seams();
    void StartHelper(const std::string& argument, bool onlyIfHelperExists);
    void BitBtn3Click();

    TTavrenne& main_;
    TStartupSeams* seams_ = nullptr;

    bool FSaveAllowed = true;
    bool FUpgraded = false;
    QString FUpgradeText1;
    QString FUpgradeText2;
    uint16_t FAutoBufferSize = kAutoBufferSizeKB;
};
