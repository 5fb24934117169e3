#include "options/CustomOption.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/Spwindow.h"
#include "app/Tavrenne.h"
#include "engine/FileUtils.h"
#include "engine/cache/FileCaches.h"
#include "platform/Dialogs.h"
#include "platform/PathText.h"
#include "platform/Platform.h"
#include "settings/CommandLine.h"
#include "settings/IniFile.h"

namespace {

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

std::string S(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

Tcustomoption::Tcustomoption(TTavrenne& main) : QWidget(nullptr), main_(main) {
    setObjectName(QStringLiteral("customoption"));
    setWindowTitle(main.ApplicationTitle + QStringLiteral("の設定"));
    setFont(main.font());
    auto* layout = new QVBoxLayout(this);

    auto box = [&](QCheckBox*& slot, const char* name, const char* caption, bool checked) {
        slot = Named(new QCheckBox(QString::fromUtf8(caption), this), name);
        slot->setChecked(checked);
        layout->addWidget(slot);
    };
    // Basic settings.
    box(CheckBox2, "CheckBox2", "ファイルサイズを常にByte表記", false);
    box(CheckBox3, "CheckBox3", "MD5ファイルを通常のファイルとして扱う", false);
    box(CheckBox4, "CheckBox4", "情報取得時に自動的にMD5ファイルを生成する", false);
    box(CheckBox6, "CheckBox6", "終了時に問い合わせる", false);
    box(CheckBox7, "CheckBox7", "結果をクリア時にログも消去する", false);
    box(CheckBox8, "CheckBox8", "MD5ファイルがあれば使用する", false);
    // Additional settings.
    box(CheckBox9, "CheckBox9", "自動シャットダウンオプションを表示", false);
    box(CheckBox14, "CheckBox14", "スプラッシュを非表示", false);
    box(CheckBox5, "CheckBox5", "SSTPを使用する", false);
    box(CheckBox10, "CheckBox10", "キャッシュを使用する", false);
    box(CheckBox12, "CheckBox12", "キャッシュ上限", true);
    ComboBox2 = Named(new QComboBox(this), "ComboBox2");
    ComboBox2->addItems({QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("500"),
                         QStringLiteral("1000"), QStringLiteral("2000")});
    ComboBox2->setCurrentIndex(0);
    layout->addWidget(ComboBox2);
    box(CheckBox11, "CheckBox11", "終了時にキャッシュをクリアする", true);
    BitBtn3 = Named(new QPushButton(QStringLiteral("キャッシュのクリア"), this), "BitBtn3");
    layout->addWidget(BitBtn3);
    Label15 = Named(new QLabel(QStringLiteral("アプリケーションの優先度："), this), "Label15");
    layout->addWidget(Label15);
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->addItems({QStringLiteral("普通"), QStringLiteral("高い"), QStringLiteral("低い")});
    ComboBox1->setCurrentIndex(0);
    Label15->setBuddy(ComboBox1);
    layout->addWidget(ComboBox1);
    for (QWidget* w : std::initializer_list<QWidget*>{CheckBox12, CheckBox11, BitBtn3, ComboBox2}) w->setEnabled(false);

    // Buffer.
    box(CheckBox18, "CheckBox18", "自動設定を有効", true);
    QL_Bar1 = Named(new QSlider(Qt::Horizontal, this), "QL_Bar1");
    QL_Bar1->setRange(kMinBufferSizeKB, kMaxBufferSizeKB);
    QL_Bar1->setValue(kAutoBufferSizeKB);
    QL_Bar1->setTickPosition(QSlider::NoTicks);
    layout->addWidget(QL_Bar1);

    // Association and shell integration.
    box(CheckBox1, "CheckBox1", "起動時に関連付けの再設定を行う", true);
    RadioGroup1 = Named(new QGroupBox(QStringLiteral("シェル統合"), this), "RadioGroup1");
    auto* radios = new QHBoxLayout(RadioGroup1);
    const char* radioCaptions[] = {"シェル統合を無効", "シェル統合を有効"};
    for (int i = 0; i < 2; ++i) {
        RadioGroup1Items[i] = new QRadioButton(QString::fromUtf8(radioCaptions[i]), RadioGroup1);
        RadioGroup1Items[i]->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        radios->addWidget(RadioGroup1Items[i]);
    }
    RadioGroup1Items[0]->setChecked(true);
    layout->addWidget(RadioGroup1);

    // Initialisation.
    Button2 = Named(new QPushButton(QStringLiteral("設定値の初期化"), this), "Button2");
    Button6 = Named(new QPushButton(QStringLiteral("完全な初期化"), this), "Button6");
    layout->addWidget(Button2);
    layout->addWidget(Button6);

    // Sounds.
    box(CheckBox20, "CheckBox20", "サウンド有効", false);
    auto edit = [&](QLineEdit*& slot, const char* name, const char* label) {
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
        slot = Named(new QLineEdit(this), name);
        caption->setBuddy(slot);
        layout->addWidget(caption);
        layout->addWidget(slot);
    };
    edit(LabeledEdit1, "LabeledEdit1", "作業終了時");
    edit(LabeledEdit2, "LabeledEdit2", "エラー発生時");

    // Reloading.
    box(CheckBox19, "CheckBox19", "ファイルの更新を自動的に検出する", false);

    box(CheckBox21, "CheckBox21", "&Save Config", true);

    connect(CheckBox10, &QCheckBox::clicked, this, [this] { SetCacheControlsEnabled(CheckBox10->isChecked()); });
    connect(CheckBox12, &QCheckBox::clicked, this, [this] { ComboBox2->setEnabled(CheckBox12->isChecked()); });
    connect(BitBtn3, &QPushButton::clicked, this, &Tcustomoption::BitBtn3Click);

    SetSettings(this);
}

Tcustomoption::~Tcustomoption() {
    SaveSettings();
    if (&Settings() == this) SetSettings(nullptr);
}

void Tcustomoption::SetStartupSeams(TStartupSeams* seams) { seams_ = seams; }

TStartupSeams& Tcustomoption::Seams() {
    static TStartupSeams none;
    return seams_ ? *seams_ : none;
}

QString Tcustomoption::SettingsFileName() const {
    return Q(ProgramLayout().SettingsFile());
}

QString Tcustomoption::HelperFileName() const {
    return Q(ProgramLayout().HelperProgram());
}

void Tcustomoption::StartHelper(const std::string& argument, bool onlyIfHelperExists) {
    const QString helper = HelperFileName();
    if (onlyIfHelperExists && !FileExistsByAge(S(helper))) return;
    Platform().StartProgram(helper, Q(argument));
}

void Tcustomoption::FormCreate(const QStringList& args) {
    // 1. The slider and the automatic size; the initialisation buttons need the helper.
    FSaveAllowed = true;
    QL_Bar1->setValue(kAutoBufferSizeKB);
    FAutoBufferSize = kAutoBufferSizeKB;
    const bool helper = FileExistsByAge(S(HelperFileName()));
    Button2->setEnabled(helper);
    Button6->setEnabled(helper);

    // 2. The dialog's pictures and icon list come with the dialog.

    // 3. A start with a file goes straight to work: no splash.
    if (args.isEmpty()) Splash = new Tspwindow(main_);

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
    main_.show();
    main_.repaint();
    if (Splash) Splash->raise();

    // 9.
    RunCommandLine(args);

    // 10.
    if (!fileExisted)
        Seams().ShowTrayNotice({{QStringLiteral("Tavrenneが新規に導入されました"), 7, 50}});
    else if (FUpgraded)
        Seams().ShowTrayNotice({{FUpgradeText1, 7, 50}, {FUpgradeText2, 27, 63}});

    // 11.
    Seams().GatherReport();
}

bool Tcustomoption::LoadSettings() {
    TSettings s = ReadControls();
    const TLoadResult r = ::LoadSettings(S(SettingsFileName()), main_.ProgramInfo.FileVersion, s);
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
        ::SaveSettings(S(SettingsFileName()), main_.ProgramInfo.FileVersion, main_.ProgramInfo.LegalCopyright,
                       ReadControls());
    } catch (const EIniWriteError& e) {
        // The keys before the failing one are written; the shutdown goes on.
        Dialogs().MessageBox(main_.ApplicationTitle, QString::fromStdString(e.what()), TMsgButtons::Ok, TMsgIcon::Error);
    } catch (const std::exception& e) {
        Dialogs().MessageBox(main_.ApplicationTitle, QString::fromStdString(e.what()), TMsgButtons::Ok, TMsgIcon::Error);
    }
}

TSettings Tcustomoption::ReadControls() const {
    TSettings s;
    s.CheckCRC = main_.CheckBox4->isChecked();
    s.CheckMD5 = main_.CheckBox5->isChecked();
    s.CheckSHA1 = main_.CheckBox6->isChecked();
    // A log about to be hidden when the window first shows counts as hidden.
    s.LogWindow = !main_.ListView1->isHidden() && !main_.HideLogAtShow;
    s.StrByL = main_.Action17->isChecked();
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
    return s;
}

void Tcustomoption::WriteControls(const TSettings& s) {
    main_.CheckBox4->setChecked(s.CheckCRC);
    main_.CheckBox5->setChecked(s.CheckMD5);
    main_.CheckBox6->setChecked(s.CheckSHA1);
    main_.CheckBox7->setVisible(s.ShutdownOption);
    (s.StrByL ? main_.Action17 : main_.Action18)->setChecked(true);
    main_.HideLogAtShow = !s.LogWindow;
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
    CheckBox21->setChecked(s.SaveConfig);
}

void Tcustomoption::RunCommandLine(const QStringList& args) {
    std::vector<std::string> list;
    for (const QString& a : args) list.push_back(PathFromQString(a));
    const TCommandLineDecision d =
        ::EvaluateCommandLine(list, [](const std::string& p) { return FileExistsByAge(p); });
    if (d.FileToAnalyze.empty()) return;
    if (d.SetDigests) {
        main_.CheckBox4->setChecked(d.Digests.Has(TDigestKind::CRC32));
        main_.CheckBox5->setChecked(d.Digests.Has(TDigestKind::MD5));
        main_.CheckBox6->setChecked(d.Digests.Has(TDigestKind::SHA1));
    }
    main_.AnalyzeFile(PathToQString(d.FileToAnalyze));
    if (d.RunDuplicateSearch) main_.Action5->trigger();
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
