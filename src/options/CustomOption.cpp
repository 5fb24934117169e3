#include "options/CustomOption.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "app/Spwindow.h"
#include "app/MainWindow.h"
#include "components/QL_Bar.h"
#include "engine/FileUtils.h"
#include "engine/cache/FileCaches.h"
#include "platform/Dialogs.h"
#include "platform/Integration.h"
#include "platform/Platform.h"
#include "settings/CommandLine.h"
#include "settings/IniFile.h"

namespace {

std::string S(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

const char* const Tcustomoption::kSupportMail = "mailto:support@quillory.example";

Tcustomoption::Tcustomoption(TMainWindow& main) : QDialog(nullptr), main_(main) {
    setObjectName(QStringLiteral("customoption"));
    setWindowTitle(tr("%1の設定").arg(main.ApplicationTitle()));
    setFont(main.Window().font());
    BuildDialog();
    SetSettings(this);
}

Tcustomoption::~Tcustomoption() {
    SaveSettings();
    if (&Settings() == this) SetSettings(nullptr);
}

void Tcustomoption::SetStartupSeams(TStartupSeams* seams) { seams_ = seams; }

TStartupSeams& Tcustomoption::Seams() { return seams_ ? *seams_ : *dialogSeams_; }

TPath Tcustomoption::SettingsFileName() const { return TPath(ProgramLayout().SettingsFile()); }

void Tcustomoption::StartHelper(const std::string& argument, bool onlyIfHelperExists) {
    if (onlyIfHelperExists && !FileExistsByAge(ProgramLayout().HelperProgram())) return;
    ::StartHelper(Q(argument));
}

void Tcustomoption::FormCreate(const std::vector<std::string>& args) {
    // 1. The first page, the slider and the automatic size; the initialisation buttons need
    // the helper.
    PageControl1->setCurrentWidget(TabSheet1);
    FSaveAllowed = true;
    QL_Bar1->setValue(kAutoBufferSizeKB);
    FAutoBufferSize = kAutoBufferSizeKB;
    const bool helper = FileExistsByAge(ProgramLayout().HelperProgram());
    Button2->setEnabled(helper);
    Button6->setEnabled(helper);

    // 2. The association page builds its icon list itself.
    BuildPictures();

    // 3. A start with a file goes straight to work: no splash.
    if (args.empty()) Splash = new Tspwindow(main_);

    // 4.
    const bool fileExisted = LoadSettings();

    // 5.
    if (Seams().AssociationPresent() && CheckBox1->isChecked()) Seams().ReapplyAssociation();

    // 6.
    if (Splash) {
        if (CheckBox14->isChecked()) {
            delete Splash;
        } else {
            Splash->show();
            Splash->repaint();
        }
    }

    // 7.
    if (main_.MascotInUse()) main_.SendMascotScript(TMascotScript::Greeting);

    // 8. Without a window manager "stay on top" means nothing: keep the splash above by hand.
    main_.Window().show();
    main_.Window().repaint();
    if (Splash) Splash->raise();

    // 9.
    RunCommandLine(args);

    // 10.
    if (!fileExisted)
        Seams().ShowTrayNotice({{tr("Tavrenneが新規に導入されました"), 7, 50}});
    else if (FUpgraded)
        Seams().ShowTrayNotice({{FUpgradeText1, 7, 50}, {FUpgradeText2, 27, 63}});

    // 11.
    Seams().GatherReport();
}

bool Tcustomoption::LoadSettings() {
    TSettings s = ReadControls();
    const TLoadResult r = ::LoadSettings(SettingsFileName().Bytes(), main_.ProgramInfo().FileVersion, s);
    if (!r.FileExisted) {
        // A first start compares by the value's length; a file written before keeps its choice.
        s.CompareKind = FirstStartSettings().CompareKind;
        main_.ApplySettings(s);
    }
    FHeldKeys = s.HeldKeys;
    if (r.FileExisted) {
        WriteControls(s);
        FUpgraded = r.Upgraded;
        FUpgradeText1 = Q(r.UpgradeText1);
        FUpgradeText2 = Q(r.UpgradeText2);
    }
    for (const THelperStart& start : r.HelperStarts) StartHelper(start.Argument, start.OnlyIfHelperExists);
    if (!r.FileExisted) return false;
    SetCacheControlsEnabled(CheckBox10->isChecked());
    ApplyPriority();
    return true;
}

void Tcustomoption::SaveSettings() {
    if (!FSaveAllowed) return;
    try {
        ::SaveSettings(SettingsFileName().Bytes(), main_.ProgramInfo().FileVersion,
                       main_.ProgramInfo().LegalCopyright, ReadControls());
    } catch (const EIniWriteError& e) {
        // The keys before the failing one are written; the shutdown goes on. At the end of a
        // session the box is answered unseen: the session's log (standard error) keeps the
        // failure and the system's reason either way.
        std::fprintf(stderr, "tavrenne: %s: %s\n", e.Path().c_str(), e.Reason().c_str());
        Dialogs().MessageBox(main_.ApplicationTitle(), QString::fromStdString(e.what()), TMsgButtons::Ok, TMsgIcon::Error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrenne: %s: %s\n", SettingsFileName().Bytes().c_str(), e.what());
        Dialogs().MessageBox(main_.ApplicationTitle(), QString::fromStdString(e.what()), TMsgButtons::Ok, TMsgIcon::Error);
    }
}

TSettings Tcustomoption::ReadControls() const {
    TSettings s;
    main_.ReadSettings(s);
    s.ByteLen = CheckBox2->isChecked();
    s.NotUseMD5File = CheckBox3->isChecked();
    s.AutoCreateMD5 = CheckBox4->isChecked();
    s.UseSSTP = CheckBox5->isChecked();
    s.CloseQuery = CheckBox6->isChecked();
    s.ClearLog = CheckBox7->isChecked();
    s.UseMD5File = CheckBox8->isChecked();
    s.ShutdownOption = CheckBox9->isChecked();
    s.NoSplash = CheckBox14->isChecked();
    s.UseFileCache = CheckBox10->isChecked();
    s.Priority = ComboBox1->currentIndex();
    s.DeleteCacheFiles = CheckBox11->isChecked();
    s.CacheOver = CheckBox12->isChecked();
    s.CacheCount = ComboBox2->currentIndex();
    s.BackConfig = RadioGroup1Items[0]->isChecked();
    s.AutoBufferSize = CheckBox18->isChecked();
    s.BufferSize = QL_Bar1->value();
    s.SetingMD5 = CheckBox1->isChecked();
    s.UseSound = CheckBox20->isChecked();
    s.SoundFile1 = S(LabeledEdit1->text());
    s.SoundFile2 = S(LabeledEdit2->text());
    s.ReloadFile = CheckBox19->isChecked();
    s.SaveConfig = CheckBox21->isChecked();
    s.ListsBeside = CheckBox22->isChecked();
    s.Language = TLanguageChoice(std::clamp(ComboBox4->currentIndex(), 0, 2));
    s.HeldKeys = FHeldKeys;
    return s;
}

void Tcustomoption::WriteControls(const TSettings& s) {
    main_.ApplySettings(s);
    CheckBox2->setChecked(s.ByteLen);
    CheckBox3->setChecked(s.NotUseMD5File);
    CheckBox4->setChecked(s.AutoCreateMD5);
    CheckBox5->setChecked(s.UseSSTP);
    CheckBox6->setChecked(s.CloseQuery);
    CheckBox7->setChecked(s.ClearLog);
    CheckBox8->setChecked(s.UseMD5File);
    ComboBox1->setCurrentIndex(s.Priority);
    CheckBox9->setChecked(s.ShutdownOption);
    CheckBox10->setChecked(s.UseFileCache);
    CheckBox14->setChecked(s.NoSplash);
    CheckBox11->setChecked(s.DeleteCacheFiles);
    CheckBox12->setChecked(s.CacheOver);
    CheckBox1->setChecked(s.SetingMD5);
    ComboBox2->setCurrentIndex(s.CacheCount);
    ComboBox2->setEnabled(CheckBox12->isChecked());
    LabeledEdit1->setText(Q(s.SoundFile1));
    LabeledEdit2->setText(Q(s.SoundFile2));
    CheckBox20->setChecked(s.UseSound);
    CheckBox18->setChecked(s.AutoBufferSize);
    QL_Bar1->setValue(s.AutoBufferSize ? kAutoBufferSizeKB : s.BufferSize);   // the slider clamps
    CheckBox19->setChecked(s.ReloadFile);
    CheckBox22->setChecked(s.ListsBeside);
    ComboBox4->setCurrentIndex(int(s.Language));
    CheckBox21->setChecked(s.SaveConfig);
}

void Tcustomoption::RunCommandLine(const std::vector<std::string>& args) {
    const TCommandLineDecision d =
        ::EvaluateCommandLine(args, [](const std::string& p) { return FileExistsByAge(p); });
    if (d.FileToAnalyze.empty()) return;
    const TPath file(d.FileToAnalyze);
    if (d.VerifyList) {
        main_.VerifyList(file);
        return;
    }
    if (d.SetDigests)
        main_.AnalyzeFileWith(file, d.Digests);
    else
        main_.AnalyzeFile(file);
    if (d.RunDuplicateSearch) main_.RunDuplicateSearch();
}

void Tcustomoption::SetCacheControlsEnabled(bool on) {
    CheckBox12->setEnabled(on);
    CheckBox11->setEnabled(on);
    BitBtn3->setEnabled(on);
    ComboBox2->setEnabled(CheckBox12->isEnabled());
}

void Tcustomoption::BitBtn3Click() {
    BitBtn3->setEnabled(false);
    TFileCaches(ProgramLayout().CacheFolder()).ClearAll();
    BitBtn3->setEnabled(true);
}

bool Tcustomoption::UseCache() const { return CheckBox10->isChecked(); }
bool Tcustomoption::ClearCacheOnExit() const { return CheckBox11->isChecked(); }

int Tcustomoption::CacheLimit() const {
    if (!CheckBox12->isChecked()) return 0;
    bool ok = false;
    const int n = ComboBox2->currentText().toInt(&ok);
    return ok ? n : 0;
}

bool Tcustomoption::UseMD5File() const { return CheckBox8->isChecked(); }
int Tcustomoption::BufferSizeKB() const { return CheckBox18->isChecked() ? FAutoBufferSize : QL_Bar1->value(); }
bool Tcustomoption::AutoReload() const { return CheckBox19->isChecked(); }
void Tcustomoption::PlayFinishSound() { PlaySoundFile(CheckBox20->isChecked(), S(LabeledEdit1->text())); }
void Tcustomoption::PlayErrorSound() { PlaySoundFile(CheckBox20->isChecked(), S(LabeledEdit2->text())); }
void Tcustomoption::ApplyPriority() { ApplyPriorityItem(ComboBox1->currentIndex()); }
bool Tcustomoption::ByteLen() const { return CheckBox2->isChecked(); }
bool Tcustomoption::NotUseMD5File() const { return CheckBox3->isChecked(); }
bool Tcustomoption::AutoCreateMD5() const { return CheckBox4->isChecked(); }
bool Tcustomoption::UseSSTP() const { return CheckBox5->isChecked(); }
bool Tcustomoption::CloseQuery() const { return CheckBox6->isChecked(); }
bool Tcustomoption::ClearLog() const { return CheckBox7->isChecked(); }
bool Tcustomoption::NoSplash() const { return CheckBox14->isChecked(); }
bool Tcustomoption::ListsBeside() const { return CheckBox22->isChecked(); }
