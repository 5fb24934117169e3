// The options form with the real main window: start-up, tavr2.ini read at start and written
// at exit, the command line, and the accessors other windows ask.
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/Spwindow.h"
#include "components/QL_Bar.h"
#include "fakes/AppFixture.h"
#include "text/Cp932.h"
#include "options/CustomOption.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

// Found by argument lookup, so it lives beside TNoticeLine.
void PrintTo(const TNoticeLine& line, std::ostream* os) {
    *os << "{\"" << line.Text.toStdString() << "\", " << line.X << ", " << line.Y << "}";
}

namespace {

// Records what start-up hands to the parts that come later.
class TRecordingSeams : public TStartupSeams {
public:
    bool Associated = false;
    int Reapplied = 0;
    std::vector<std::vector<TNoticeLine>> Notices;
    int Reports = 0;
    bool AssociationPresent() override { return Associated; }
    void ReapplyAssociation() override { ++Reapplied; }
    void ShowTrayNotice(const std::vector<TNoticeLine>& lines) override { Notices.push_back(lines); }
    void GatherReport() override { ++Reports; }
};

// Keys 4 to 33 as a first start writes them.
const char* const kFirstExitTail =
    "#Check CRC=0\r\n#Check MD5=1\r\n#Check SHA1=0\r\n#LogWindow=1\r\n#strbyl=0\r\n#ByteLen=0\r\n"
    "#not useMD5File=0\r\n#auto create MD5=0\r\n#Use SSTP=0\r\n#close_q=0\r\n#clearlog=0\r\n"
    "#Use MD5File=0\r\n#ShutdownOption=0\r\n#NoSp=0\r\n#Use FileCache=0\r\n#Priority=0\r\n"
    "#check oldun=0\r\n#DeleteCacheFiles=1\r\n#CacheOver=1\r\n#CacheCount=0\r\n#BackConfig=1\r\n"
    "#AutoBufferSize=1\r\n#BufferSize=64\r\n#SetingMD5=1\r\n#UseSound=0\r\n#SoundFile_1=\r\n"
    "#SoundFile_2=\r\n#Reloadfile=0\r\n#Etavr pro section=00 02 02 05 09 01\r\n#END=\r\n";

class Options : public AppFixture {
protected:
    void TearDown() override {
        if (o_) delete o_->Splash;
        o_.reset();
        AppFixture::TearDown();
    }

    // The form as the program creates it, with its start-up run.
    Tcustomoption& Start(const QStringList& args = {}) {
        o_ = std::make_unique<Tcustomoption>(*w_);
        o_->SetStartupSeams(&seams_);
        std::vector<std::string> given;
        for (const QString& a : args) given.push_back(a.toStdString());
        o_->FormCreate(given);
        return *o_;
    }
    // The end of the program: the window closes, then the form goes and saves.
    void Exit() {
        w_->close();
        if (o_) delete o_->Splash;
        o_.reset();
    }

    std::string IniPath() const { return (platform_.Folder + QStringLiteral("/tavr2.ini")).toStdString(); }
    QString Helper() const { return platform_.Folder + QStringLiteral("/tavrfix"); }
    void WriteIni(const std::string& bytes) const { std::ofstream(IniPath(), std::ios::binary) << bytes; }
    std::string Ini() const { return ReadBytes(IniPath()); }
    std::string Head(bool saveConfig = true) const {
        return "[Tavrix_2]\r\n#Version=2.46\r\n#Copyright=" + cp932::FromUtf8(w_->ProgramInfo().LegalCopyright) +
               "\r\n#Save Config=" + (saveConfig ? "1" : "0") + "\r\n";
    }
    void MakeHelper() { MakeFile(QStringLiteral("prog/tavrfix"), std::string("#!/bin/sh\n")); }

    TRecordingSeams seams_;
    std::unique_ptr<Tcustomoption> o_;
};

TEST_F(Options, ControlsStartInTheStatesOfAStartWithoutSettings) {
    o_ = std::make_unique<Tcustomoption>(*w_);
    EXPECT_EQ(&Settings(), o_.get());
    struct Box {
        const char* name;
        const char* caption;
        bool checked, enabled;
    };
    const Box boxes[] = {
        {"CheckBox1", "起動時に関連付けの再設定を行う", true, true},
        {"CheckBox2", "ファイルサイズを常にByte表記", false, true},
        {"CheckBox3", "MD5ファイルを通常のファイルとして扱う", false, true},
        {"CheckBox4", "情報取得時に自動的にMD5ファイルを生成する", false, true},
        {"CheckBox5", "SSTPを使用する", false, true},
        {"CheckBox6", "終了時に問い合わせる", false, true},
        {"CheckBox7", "結果をクリア時にログも消去する", false, true},
        {"CheckBox8", "MD5ファイルがあれば使用する", false, true},
        {"CheckBox9", "自動シャットダウンオプションを表示", false, true},
        {"CheckBox10", "キャッシュを使用する", false, true},
        {"CheckBox11", "終了時にキャッシュをクリアする", true, false},
        {"CheckBox12", "キャッシュ上限", true, false},
        {"CheckBox14", "スプラッシュを非表示", false, true},
        {"CheckBox18", "自動設定を有効", true, true},
        {"CheckBox19", "ファイルの更新を自動的に検出する", false, true},
        {"CheckBox20", "サウンド有効", false, true},
        {"CheckBox21", "&Save Config", true, true},
    };
    for (const Box& b : boxes) {
        auto* box = o_->findChild<QCheckBox*>(QString::fromLatin1(b.name));
        ASSERT_NE(box, nullptr) << b.name;
        EXPECT_EQ(box->text(), QString::fromUtf8(b.caption)) << b.name;
        EXPECT_EQ(box->isChecked(), b.checked) << b.name;
        EXPECT_EQ(box->isEnabled(), b.enabled) << b.name;
    }
    auto items = [](QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    };
    EXPECT_EQ(items(o_->ComboBox1), (QStringList{"普通", "高い", "低い"}));
    EXPECT_EQ(items(o_->ComboBox2), (QStringList{"50", "100", "200", "500", "1000", "2000"}));
    EXPECT_EQ(o_->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(o_->ComboBox2->currentIndex(), 0);
    EXPECT_FALSE(o_->ComboBox2->isEnabled());
    EXPECT_FALSE(o_->BitBtn3->isEnabled());
    EXPECT_EQ(o_->QL_Bar1->minimum(), 16);
    EXPECT_EQ(o_->QL_Bar1->maximum(), 128);
    EXPECT_EQ(o_->QL_Bar1->value(), 64);
    EXPECT_EQ(o_->findChild<QLabel*>(QStringLiteral("LabeledEdit1Label"))->text(), QStringLiteral("作業終了時"));
    EXPECT_EQ(o_->findChild<QLabel*>(QStringLiteral("LabeledEdit2Label"))->text(), QStringLiteral("エラー発生時"));
    EXPECT_TRUE(o_->RadioGroup1Items[0]->isChecked());
    EXPECT_EQ(o_->windowTitle(), QStringLiteral("Tavrenne 2.46の設定"));
    // With the main window's own initial states, the form stands for exactly the record a start
    // without a settings file keeps.
    EXPECT_EQ(o_->ReadControls(), InitialSettings());
    EXPECT_TRUE(o_->SaveAllowed());
}

TEST_F(Options, AFirstStartNoticesTheNewInstallationAndItsExitWritesEveryKey) {
    Start();
    EXPECT_TRUE(platform_.Started.empty());   // no helper beside the program: no "-O"
    ASSERT_EQ(seams_.Notices.size(), 1u);
    EXPECT_EQ(seams_.Notices[0], (std::vector<TNoticeLine>{{QStringLiteral("Tavrenneが新規に導入されました"), 7, 50}}));
    EXPECT_EQ(seams_.Reports, 1);
    EXPECT_EQ(seams_.Reapplied, 0);
    ASSERT_TRUE(o_->Splash);
    EXPECT_TRUE(o_->Splash->isVisible());
    EXPECT_TRUE(w_->isVisible());
    EXPECT_FALSE(o_->Button2->isEnabled());
    EXPECT_FALSE(o_->Button6->isEnabled());
    EXPECT_TRUE(platform_.PriorityChanges.empty());   // nothing was read, nothing applied
    EXPECT_FALSE(fs::exists(IniPath()));

    // A new settings file compares by the value's length: the one key past the earlier ones.
    EXPECT_EQ(w_->ComboBox1->currentIndex(), kCompareAutoIndex);
    Exit();
    std::string tail = kFirstExitTail;
    tail.insert(tail.find("#Etavr pro section"), "#Compare kind=auto\r\n");
    EXPECT_EQ(Ini(), Head() + tail);
    EXPECT_EQ(dynamic_cast<Tcustomoption*>(&Settings()), nullptr);   // the form has uninstalled itself
}

// Quitting (Ctrl+Q is the exit command) while the first start's notice slides ends the
// program like any other quit: the main loop is left and the settings are written. Neither
// the notice nor the splash keeps a program without its window alive.
TEST_F(Options, QuittingWhileTheFirstStartNoticeSlidesEndsTheProgram) {
    QCoreApplication::sendPostedEvents();   // nothing left over from earlier tests ends the loop
    o_ = std::make_unique<Tcustomoption>(*w_);   // its own notice, not the recording seams
    o_->FormCreate({});
    QWidget* notice = o_->QL_TrayInfoDlg1->Window();
    bool slidingAtQuit = false;
    QTimer::singleShot(300, [&] {
        slidingAtQuit = notice->isVisible();
        w_->Action16->trigger();
    });
    QTimer::singleShot(15000, [] { QCoreApplication::exit(99); });   // the program would stay
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(slidingAtQuit);
    EXPECT_FALSE(w_->isVisible());
    EXPECT_FALSE(notice->isVisible());
    o_.reset();
    EXPECT_NE(Ini().find("#END="), std::string::npos) << Ini();
}

TEST_F(Options, TheHelperCheckRunsOnlyWhereTheHelperIs) {
    MakeHelper();
    Start({QStringLiteral("-c"), QStringLiteral("nothing-here")});
    ASSERT_EQ(platform_.Started.size(), 1u);
    EXPECT_EQ(platform_.Started[0], std::make_pair(Helper(), QStringLiteral("-O")));
    EXPECT_TRUE(o_->Button2->isEnabled());
    EXPECT_TRUE(o_->Button6->isEnabled());
    EXPECT_FALSE(o_->Splash);   // an argument: no splash
}

TEST_F(Options, SettingsSurviveARestart) {
    // Every key away from its initial state, in the form this program writes.
    const std::string file = Head() +
        "#Check CRC=1\r\n#Check MD5=0\r\n#Check SHA1=1\r\n#LogWindow=0\r\n#strbyl=1\r\n#ByteLen=1\r\n"
        "#not useMD5File=1\r\n#auto create MD5=1\r\n#Use SSTP=1\r\n#close_q=1\r\n#clearlog=1\r\n"
        "#Use MD5File=1\r\n#ShutdownOption=1\r\n#NoSp=1\r\n#Use FileCache=1\r\n#Priority=2\r\n"
        "#check oldun=0\r\n#DeleteCacheFiles=0\r\n#CacheOver=1\r\n#CacheCount=5\r\n#BackConfig=1\r\n"
        "#AutoBufferSize=0\r\n#BufferSize=100\r\n#SetingMD5=0\r\n#UseSound=1\r\n#SoundFile_1=" +
        cp932::FromUtf8("/snd/終了 音.wav") +
        "\r\n#SoundFile_2=/snd/error.wav\r\n#Reloadfile=1\r\n#Etavr pro section=00 02 02 05 09 01\r\n#END=\r\n";
    WriteIni(file);
    MakeHelper();

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        if (run == 1) w_ = std::make_unique<TTavrenneUnderTest>();
        platform_.Started.clear();
        platform_.PriorityChanges.clear();
        seams_.Notices.clear();
        Start();
        EXPECT_TRUE(platform_.Started.empty());   // "#check oldun" is 0
        EXPECT_TRUE(seams_.Notices.empty());       // same version: no notice
        EXPECT_FALSE(o_->Splash);                  // "#NoSp"
        // The main window's share.
        EXPECT_TRUE(w_->CheckBox4->isChecked());
        EXPECT_FALSE(w_->CheckBox5->isChecked());
        EXPECT_TRUE(w_->CheckBox6->isChecked());
        EXPECT_FALSE(w_->CheckBox7->isHidden());
        EXPECT_TRUE(w_->Action17->isChecked());
        EXPECT_TRUE(w_->ListView1->isHidden());
        // What other windows ask.
        EXPECT_TRUE(Settings().UseCache());
        EXPECT_FALSE(Settings().ClearCacheOnExit());
        EXPECT_EQ(Settings().CacheLimit(), 2000);
        EXPECT_TRUE(Settings().UseMD5File());
        EXPECT_EQ(Settings().BufferSizeKB(), 100);
        EXPECT_TRUE(Settings().AutoReload());
        EXPECT_TRUE(Settings().ByteLen() && Settings().NotUseMD5File() && Settings().AutoCreateMD5());
        EXPECT_TRUE(Settings().UseSSTP() && Settings().CloseQuery() && Settings().ClearLog() && Settings().NoSplash());
        EXPECT_EQ(o_->LabeledEdit1->text(), QStringLiteral("/snd/終了 音.wav"));
        // The cache controls follow "キャッシュを使用する"; the priority is applied at once.
        EXPECT_TRUE(o_->ComboBox2->isEnabled());
        EXPECT_TRUE(o_->BitBtn3->isEnabled());
        EXPECT_EQ(platform_.PriorityChanges, std::vector<uint32_t>{pcIdle});
        platform_.CurrentPriority = pcNormal;
        Exit();
        EXPECT_EQ(Ini(), file);
    }
}

TEST_F(Options, AnUpgradeIsNoticedAndMayTurnShellIntegrationOff) {
    const struct {
        const char* file;
        bool helper;
        std::vector<QString> starts;
        std::vector<TNoticeLine> notice;   // empty: none
    } cases[] = {
        // No "#Version": an upgrade from 2.01; "-D" is tried even without the helper.
        {"[Tavrix_2]\r\n#BackConfig=1\r\n", false, {"-D"},
         {{"TavrenneがVersion 2.01から", 7, 50}, {"2.46へ更新されました", 27, 63}}},
        {"[Tavrix_2]\r\n#BackConfig=1\r\n", true, {"-D", "-O"},
         {{"TavrenneがVersion 2.01から", 7, 50}, {"2.46へ更新されました", 27, 63}}},
        {"[Tavrix_2]\r\n#Version=2.50\r\n#check oldun=0\r\n", true, {},
         {{"TavrenneがVersion 2.50から", 7, 50}, {"2.46へ更新されました", 27, 63}}},
        {"[Tavrix_2]\r\n#Version=2.46\r\n#BackConfig=1\r\n", true, {"-O"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        fs::remove(platform_.Folder.toStdString() + "/tavrfix");
        if (c.helper) MakeHelper();
        WriteIni(c.file);
        platform_.Started.clear();
        seams_.Notices.clear();
        Start({QStringLiteral("x")});
        std::vector<QString> starts;
        for (const auto& [program, parameters] : platform_.Started) {
            EXPECT_EQ(program, Helper());
            starts.push_back(parameters);
        }
        EXPECT_EQ(starts, c.starts);
        EXPECT_EQ(seams_.Notices.size(), c.notice.empty() ? 0u : 1u);
        if (!c.notice.empty() && !seams_.Notices.empty()) {
            EXPECT_EQ(seams_.Notices[0], c.notice);
        }
        EXPECT_EQ(o_->Upgraded(), !c.notice.empty());
        o_.reset();
    }
}

TEST_F(Options, SaveConfigOffRewritesOnlyTheFirstThreeKeys) {
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#Save Config=0\r\n#Check CRC=1\r\n#NoSp=1\r\n");
    Start({QStringLiteral("x")});
    EXPECT_FALSE(o_->CheckBox21->isChecked());
    w_->Button5->click();   // all digests off: not written
    Exit();
    EXPECT_EQ(Ini(), "[Tavrix_2]\r\n#Version=2.46\r\n#Save Config=0\r\n#Check CRC=1\r\n#NoSp=1\r\n#Copyright=" +
                         cp932::FromUtf8(w_->ProgramInfo().LegalCopyright) + "\r\n");
}

TEST_F(Options, AFileThatCannotBeWrittenIsReportedAndTheExitGoesOn) {
    fs::create_directory(IniPath());   // a folder where the file should be
    Start({QStringLiteral("x")});
    EXPECT_EQ(seams_.Notices.size(), 1u);   // a folder is no settings file
    Exit();
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Caption, QStringLiteral("Tavrenne 2.46"));
    EXPECT_EQ(messages[0].Text, QString::fromStdString(IniPath()) + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(messages[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(messages[0].Buttons, TMsgButtons::Ok);
    EXPECT_TRUE(fs::is_directory(IniPath()));
    EXPECT_EQ(dynamic_cast<Tcustomoption*>(&Settings()), nullptr);
}

// The command line through the real window. The settings file sets CRC32 and SHA-1, so a
// run that leaves the boxes as loaded shows it.
struct CommandLineCase {
    std::vector<const char*> args;   // "{F}" a file, "{D}" a folder, "{S...}" pieces of a spaced name
    const char* analysed;            // "{F}", "{S}" or "" for no analysis
    bool crc, md5, sha1;
    bool search;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    for (const char* a : c.args) *os << '[' << a << ']';
}

class OptionsCommandLine : public Options, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(OptionsCommandLine, SwitchesPathsAndDuplicateSearch) {
    const CommandLineCase& c = GetParam();
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#Check CRC=1\r\n#Check MD5=0\r\n#Check SHA1=1\r\n");
    const QString file = MakeFile(QStringLiteral("f.bin"), std::string("abc"));
    const QString spaced = MakeFile(QStringLiteral("my a b.txt"), std::string("abc"));
    const QString folder = QString::fromStdString(dir_->path().string());
    const QString stem = folder + QStringLiteral("/my");
    QStringList args;
    for (const char* a : c.args) {
        QString s = QString::fromUtf8(a);
        s.replace(QStringLiteral("{F}"), file).replace(QStringLiteral("{D}"), folder);
        s.replace(QStringLiteral("{S1}"), stem).replace(QStringLiteral("{S2}"), QStringLiteral("a"));
        s.replace(QStringLiteral("{S3}"), QStringLiteral("b.txt"));
        args << s;
    }
    QStringList searchedWith;
    QObject::connect(w_.get(), &TTavrenne::duplicateSearchRequested, w_.get(),
                     [&] { searchedWith << w_->CurrentPath().ToQString(); });
    Start(args);
    const QString expected = QString::fromUtf8(c.analysed) == QStringLiteral("{F}")   ? file
                             : QString::fromUtf8(c.analysed) == QStringLiteral("{S}") ? spaced
                                                                                      : QString();
    EXPECT_EQ(w_->CurrentPath(), TPath(expected));
    EXPECT_EQ(w_->CheckBox4->isChecked(), c.crc);
    EXPECT_EQ(w_->CheckBox5->isChecked(), c.md5);
    EXPECT_EQ(w_->CheckBox6->isChecked(), c.sha1);
    // The search runs after the analysis, on the analysed file.
    EXPECT_EQ(searchedWith, c.search ? QStringList{file} : QStringList{});
    EXPECT_FALSE(o_->Splash);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionsCommandLine,
    ::testing::Values(CommandLineCase{{"-a", "{F}"}, "{F}", true, true, true, false},
                      CommandLineCase{{"-c", "{F}"}, "{F}", true, false, false, false},
                      CommandLineCase{{"-M", "{F}"}, "{F}", false, true, false, false},
                      CommandLineCase{{"-h", "-{F}"}, "{F}", false, false, true, false},
                      CommandLineCase{{"/c", "{F}"}, "{F}", false, false, false, false},
                      CommandLineCase{{"-s", "{F}"}, "{F}", false, false, false, true},
                      CommandLineCase{{"-a", "{D}"}, "", true, false, true, false},
                      CommandLineCase{{"-c", "{F}.missing"}, "", true, false, true, false},
                      CommandLineCase{{"{F}"}, "{F}", true, false, true, false},
                      CommandLineCase{{"-{F}"}, "{F}", true, false, true, false},
                      CommandLineCase{{"{D}"}, "", true, false, true, false},
                      CommandLineCase{{"{S1}", "{S2}", "{S3}"}, "{S}", true, false, true, false},
                      CommandLineCase{{"{S1}", "{S2} {S3}"}, "", true, false, true, false}));

TEST_F(Options, DigestChoicesOfASwitchAreSavedAtExit) {
    const QString file = MakeFile(QStringLiteral("f.bin"), std::string("abc"));
    Start({QStringLiteral("-c"), file});
    EXPECT_EQ(w_->LabeledEdit1->text(), QStringLiteral("352441c2"));
    Exit();
    const std::string ini = Ini();
    EXPECT_NE(ini.find("#Check CRC=1\r\n#Check MD5=0\r\n#Check SHA1=0\r\n"), std::string::npos) << ini;
}

TEST_F(Options, SplashIsShownOnlyWithoutArgumentsAndUnlessSwitchedOff) {
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#NoSp=1\r\n");
    Start();
    EXPECT_FALSE(o_->Splash);   // made, then destroyed unseen
    Exit();
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#NoSp=0\r\n");
    w_ = std::make_unique<TTavrenneUnderTest>();
    Start();
    ASSERT_TRUE(o_->Splash);
    EXPECT_TRUE(o_->Splash->isVisible());
}

TEST_F(Options, TheAssociationIsAppliedAgainWhenPresentAndAsked) {
    for (const bool present : {false, true}) {
        for (const bool asked : {false, true}) {
            WriteIni(std::string("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#SetingMD5=") + (asked ? "1" : "0") +
                     "\r\n");
            seams_.Associated = present;
            seams_.Reapplied = 0;
            Start({QStringLiteral("x")});
            EXPECT_EQ(seams_.Reapplied, present && asked ? 1 : 0) << present << asked;
            o_.reset();
        }
    }
}

TEST_F(Options, AccessorsReadTheControls) {
    o_ = std::make_unique<Tcustomoption>(*w_);
    // The limit counts only while "キャッシュ上限" is checked.
    o_->ComboBox2->setCurrentIndex(3);
    EXPECT_EQ(o_->CacheLimit(), 500);
    o_->CheckBox12->setChecked(false);
    EXPECT_EQ(o_->CacheLimit(), 0);
    o_->CheckBox12->setChecked(true);
    o_->ComboBox2->setCurrentIndex(-1);
    EXPECT_EQ(o_->CacheLimit(), 0);
    // Automatic sizing hides the slider.
    o_->QL_Bar1->setValue(100);
    EXPECT_EQ(o_->BufferSizeKB(), 64);
    o_->CheckBox18->setChecked(false);
    EXPECT_EQ(o_->BufferSizeKB(), 100);
    o_->QL_Bar1->setValue(500);
    EXPECT_EQ(o_->BufferSizeKB(), 128);
    // Sounds play only when on and the file exists.
    const QString done = MakeFile(QStringLiteral("done.wav"), std::string("RIFF"));
    const QString error = MakeFile(QStringLiteral("error.wav"), std::string("RIFF"));
    o_->LabeledEdit1->setText(done);
    o_->LabeledEdit2->setText(error);
    o_->PlayFinishSound();
    EXPECT_TRUE(platform_.Sounds.isEmpty());
    o_->CheckBox20->setChecked(true);
    o_->PlayFinishSound();
    o_->PlayErrorSound();
    o_->LabeledEdit1->setText(done + QStringLiteral(".gone"));
    o_->PlayFinishSound();
    EXPECT_EQ(platform_.Sounds, (QStringList{done, error}));
    // Switching the cache on enables its controls, the list too while the limit is unchecked.
    o_->CheckBox12->setChecked(false);
    o_->CheckBox10->click();
    EXPECT_TRUE(o_->CheckBox11->isEnabled() && o_->CheckBox12->isEnabled() && o_->BitBtn3->isEnabled());
    EXPECT_TRUE(o_->ComboBox2->isEnabled());
    o_->CheckBox12->click();
    EXPECT_TRUE(o_->ComboBox2->isEnabled());
    o_->CheckBox12->click();
    EXPECT_FALSE(o_->ComboBox2->isEnabled());
}

TEST_F(Options, PriorityChangesOnlyToADifferentKnownClass) {
    o_ = std::make_unique<Tcustomoption>(*w_);
    const struct {
        uint32_t current;
        int item;
        std::vector<uint32_t> changes;
    } cases[] = {
        {pcNormal, 0, {}},        {pcNormal, 1, {pcHigh}}, {pcNormal, 2, {pcIdle}}, {pcIdle, 0, {pcNormal}},
        {pcHigh, 1, {}},          {pcNormal, -1, {}},      {0x4000, 0, {pcNormal}},
    };
    for (const auto& c : cases) {
        platform_.CurrentPriority = c.current;
        platform_.PriorityChanges.clear();
        o_->ComboBox1->setCurrentIndex(c.item);
        o_->ApplyPriority();
        EXPECT_EQ(platform_.PriorityChanges, c.changes) << c.current << " " << c.item;
    }
}

TEST_F(Options, ClearingTheCacheNowEmptiesItsFolder) {
    o_ = std::make_unique<Tcustomoption>(*w_);
    const fs::path cache = platform_.Folder.toStdString() + "/Cache";
    fs::create_directories(cache);
    for (int i = 0; i < 3; ++i) std::ofstream(cache / (std::to_string(i) + ".dat")) << "x";
    o_->CheckBox10->click();
    o_->BitBtn3->click();
    EXPECT_TRUE(fs::is_empty(cache));
    EXPECT_TRUE(o_->BitBtn3->isEnabled());
}

TEST_F(Options, TheSha256SwitchAndTheLaterSettingsReachTheirControls) {
    // A file of the previous version keeps MD5 in the comparison list and the lists on.
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#check oldun=0\r\n#Check CRC=1\r\n");
    const QString file = MakeFile(QStringLiteral("f.bin"), std::string("abc"));
    Start({QStringLiteral("-2"), file});
    EXPECT_EQ(w_->ComboBox1->currentIndex(), 0);
    EXPECT_TRUE(o_->CheckBox22->isChecked());
    EXPECT_EQ(o_->CheckBox22->text(), QStringLiteral("同じフォルダのチェックサムリストと照合する"));
    EXPECT_TRUE(Settings().ListsBeside());
    EXPECT_TRUE(w_->CheckBox8->isChecked());
    EXPECT_FALSE(w_->CheckBox4->isChecked() || w_->CheckBox5->isChecked() || w_->CheckBox9->isChecked());
    EXPECT_EQ(w_->LabeledEdit4->text(), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    o_->CheckBox22->setChecked(false);
    EXPECT_FALSE(Settings().ListsBeside());
    o_->Button2->setEnabled(true);
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    o_->Button2->click();   // the reset turns the lists on again
    EXPECT_TRUE(o_->CheckBox22->isChecked());
    o_->CheckBox22->setChecked(false);
    Exit();
    const std::string ini = Ini();
    EXPECT_NE(ini.find("#Reloadfile=0\r\n#Check SHA256=1\r\n#Lists beside=0\r\n#Etavr pro section"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("#Compare kind"), std::string::npos) << ini;
}

// 表示言語 shows the stored choice, is written at exit as the next start reads it, and goes
// back to 自動 with the other settings.
TEST_F(Options, TheLanguageChoiceReachesItsControlAndTheNextStart) {
    WriteIni("[Tavrix_2]\r\n#Version=2.46\r\n#Language=en\r\n");
    Start();
    const QStringList items{QStringLiteral("自動"), QStringLiteral("日本語"), QStringLiteral("English")};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(o_->ComboBox4->itemText(i), items[i]);
    EXPECT_EQ(o_->ComboBox4->currentIndex(), 2);
    EXPECT_EQ(o_->Label20->text(), QStringLiteral("表示言語："));
    EXPECT_EQ(o_->Label21->text(), QStringLiteral("*変更は次回の起動から有効になります"));
    o_->Button2->setEnabled(true);
    dialogs_.MessageAnswers.push_back(TMsgResult::Yes);
    o_->Button2->click();
    EXPECT_EQ(o_->ComboBox4->currentIndex(), 0);
    o_->ComboBox4->setCurrentIndex(1);
    Exit();
    EXPECT_NE(Ini().find("\r\n#Language=ja\r\n"), std::string::npos) << Ini();
    EXPECT_EQ(StoredLanguageChoice(IniPath()), TLanguageChoice::Japanese);
}

}  // namespace
