// The report page with the real main window: the labels from injected facts, the report saved
// and copied, the error log button.
#include <QCryptographicHash>
#include <algorithm>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>

#include "app/Translations.h"
#include "fakes/AppFixture.h"
#include "options/ReportPage.h"
#include "text/Cp932.h"
#include "text/Translate.h"

namespace {

class Report : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        page_ = std::make_unique<TReportPage>(*w_, nullptr);
        page_->Now = [] {
            TDateTimeParts t;
            t.year = 2026, t.month = 12, t.day = 9, t.hour = 21, t.minute = 5;
            return t;
        };
    }
    void TearDown() override {
        page_.reset();
        AppFixture::TearDown();
    }

    // A machine with two files of known digests in the program folder.
    TSystemFacts Facts() {
        TSystemFacts f;
        f.UserName = "mirune";
        f.OS = OSRecordFrom("NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n", "6.1.0-18-amd64");
        f.Memory = TMemoryInfo{2047ull << 20, 1022ull << 20, 50, 0, 0};
        f.Cpu.Name = "AMD Athlon(tm) XP 2000+";
        f.Cpu.MMX = f.Cpu.SSE = f.Cpu.Now3D = true;
        f.ProgramFile = MakeFile(QStringLiteral("prog/tavrenne"), "abc").toStdString();
        f.HelperFile = MakeFile(QStringLiteral("prog/tavrfix"), "").toStdString() + ".missing";
        return f;
    }
    // The report of Facts(), its lines each ended by CR LF.
    QString ExpectedText() const {
        const QStringList lines = {
            QStringLiteral("---------------Tavrenne Report v1.05a---------------"),
            QStringLiteral("時刻： 2026年12月09日21時05分"),
            w_->ApplicationTitle(),
            QStringLiteral("User: mirune"),
            QStringLiteral("OS: Debian GNU/Linux 12 (bookworm) Build: 6.1.0-18-amd64"),
            QStringLiteral("Memory Info : Total 2GB  Free 1022MB"),
            QStringLiteral("CPU : AMD Athlon(tm) XP 2000+"),
            QStringLiteral("CPU Clock : ()"),
            QStringLiteral("ExInfo :"),
            QStringLiteral("MMX ○ SSE ○ SSE2 × SSE3 × 3DNow ! ○ 3DNow ! Pro × "),
            QStringLiteral("MD5:"),
            QStringLiteral("tavr.exe   900150983cd24fb0d6963f7d28e17f72"),
            QStringLiteral("Caption"),
            QString(55, u'-'),
        };
        return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }
    QList<QLabel*> Features() const {
        return {page_->Label7, page_->Label8, page_->Label9, page_->Label10, page_->Label11, page_->Label12};
    }

    std::unique_ptr<TReportPage> page_;
};

TEST_F(Report, StartsWithItsCaptionsAndTakesTheGatheredFigures) {
    EXPECT_EQ(page_->GroupBox3->title(), QStringLiteral("システム情報"));
    EXPECT_EQ(page_->GroupBox4->title(), QStringLiteral("MD5"));
    const std::pair<QLabel*, const char*> initial[] = {
        {page_->Label2, "OS"},  {page_->Label5, "MEM"},         {page_->Label6, "CPU"},
        {page_->Label13, "Mhz"}, {page_->Label14, "ExInfo :"}, {page_->Label18, "Caption"},
        {page_->Label19, "Caption"},
    };
    for (const auto& [label, caption] : initial) EXPECT_EQ(label->text(), QString::fromUtf8(caption));
    const QStringList captions = {"MMX", "SSE", "SSE2", "SSE3", "3DNow !", "3DNow ! Pro"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Features()[i]->text(), captions[i]);
        EXPECT_FALSE(Features()[i]->isEnabledTo(page_.get())) << i;
    }
    EXPECT_EQ(page_->Button8->text(), QStringLiteral("&Save"));
    EXPECT_EQ(page_->Button9->text(), QStringLiteral("&Copy"));
    EXPECT_EQ(page_->Button7->text(), QStringLiteral("&ErrorLog"));
    EXPECT_FALSE(page_->Button7->isEnabled());

    page_->Gather(Facts());
    EXPECT_EQ(page_->FUserName, QStringLiteral("mirune"));
    EXPECT_EQ(page_->Label5->text(), QStringLiteral("Memory Info : Total 2GB  Free 1022MB"));
    EXPECT_EQ(page_->Label18->text(), QStringLiteral("tavr.exe   900150983cd24fb0d6963f7d28e17f72"));
    const bool present[] = {true, true, false, false, true, false};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Features()[i]->isEnabledTo(page_.get()), present[i]) << i;
}

TEST_F(Report, CopyPutsTheReportOnTheClipboard) {
    page_->Gather(Facts());
    page_->Button9->click();
    ASSERT_EQ(platform_.Clipboard.size(), 1);
    EXPECT_EQ(platform_.Clipboard[0], ExpectedText());
    EXPECT_TRUE(dialogs_.Calls.empty());
}

TEST_F(Report, SaveWritesTheReportInShiftJis) {
    page_->Gather(Facts());
    const QString path = QString::fromStdString((dir_->path() / "out.txt").string());
    dialogs_.FileAnswers.push_back(path);
    page_->Button8->click();
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    const TRecordedDialog& save = dialogs_.Calls[0];
    EXPECT_EQ(save.Kind, QStringLiteral("save"));
    EXPECT_EQ(save.Request.Filter, QStringLiteral("テキストファイル(*.txt)|*.txt"));
    EXPECT_EQ(save.Request.FileName, QStringLiteral("Report.txt"));
    EXPECT_TRUE(save.Request.OverwritePrompt);
    EXPECT_EQ(ReadBytes(path.toStdString()), cp932::FromUtf8(ExpectedText().toStdString()));
    EXPECT_TRUE(platform_.Clipboard.empty());

    // Cancelled: nothing written.
    std::filesystem::remove(path.toStdString());
    page_->Button8->click();
    EXPECT_FALSE(std::filesystem::exists(path.toStdString()));
    EXPECT_TRUE(dialogs_.Messages().empty());
}

// A report for people: in English its time and feature marks are English, every byte ASCII,
// and the lines stand where the Japanese report has them.
TEST_F(Report, InEnglishTheSavedReportIsPlainAscii) {
    struct TLanguageGuard {
        ~TLanguageGuard() { RemoveLanguage(); }
    } guard;
    ASSERT_TRUE(InstallLanguage(TLanguage::English));
    TReportPage page(*w_, nullptr);
    page.Now = page_->Now;
    EXPECT_EQ(page.GroupBox3->title(), QStringLiteral("System Information"));
    page.Gather(Facts());
    const std::string path = dir_->file("en.txt");
    dialogs_.FileAnswers.push_back(QString::fromStdString(path));
    page.Button8->click();
    ASSERT_EQ(dialogs_.Calls.size(), 1u);
    EXPECT_EQ(dialogs_.Calls[0].Request.Filter, QStringLiteral("Text files (*.txt)|*.txt"));
    QStringList lines = ExpectedText().split(QStringLiteral("\r\n"));
    lines[1] = QStringLiteral("Time: 2026-12-09 21:05");
    lines[9] = QStringLiteral("MMX yes SSE yes SSE2 no SSE3 no 3DNow ! yes 3DNow ! Pro no ");
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes, lines.join(QStringLiteral("\r\n")).toStdString());
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
}

// tavrenne-cli's table of the same translation gives the report the same English.
TEST_F(Report, TheCommandLinesTableHasTheReportsEnglish) {
    SetTranslateHook(&EnglishText);
    TReportLabels labels;
    labels.Features[0] = true;
    const std::vector<std::string> lines = ReportLines(labels, page_->Now(), "T", "u");
    SetTranslateHook(nullptr);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1], "Time: 2026-12-09 21:05");
    EXPECT_EQ(lines[9], "MMX yes SSE no SSE2 no SSE3 no 3DNow ! no 3DNow ! Pro no ");
}

TEST_F(Report, AFileThatCannotBeWrittenGetsTheStandardErrorBox) {
    const QString path = QString::fromStdString((dir_->path() / "no-such-folder" / "Report.txt").string());
    dialogs_.FileAnswers.push_back(path);
    page_->Button8->click();
    const std::vector<TRecordedDialog> boxes = dialogs_.Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, w_->ApplicationTitle());
    EXPECT_TRUE(boxes[0].Text.startsWith(QStringLiteral("ファイル %1 に書き込めません。\n").arg(path))) << boxes[0].Text.toStdString();
    EXPECT_EQ(boxes[0].Icon, TMsgIcon::Error);
    EXPECT_TRUE(platform_.Clipboard.empty());
}

TEST_F(Report, ErrorLogButtonFollowsTheFile) {
    const QString log = platform_.Folder + QStringLiteral("/ErrorLog.txt");
    page_->RefreshErrorLogButton();
    EXPECT_FALSE(page_->Button7->isEnabled());

    MakeFile(QStringLiteral("prog/ErrorLog.txt"), "x");
    page_->RefreshErrorLogButton();
    EXPECT_TRUE(page_->Button7->isEnabled());
    page_->Button7->click();
    EXPECT_EQ(platform_.Opened, QStringList{log});

    // Gone between showing and clicking: nothing happens.
    QFile::remove(log);
    page_->Button7->click();
    EXPECT_EQ(platform_.Opened.size(), 1);
    page_->RefreshErrorLogButton();
    EXPECT_FALSE(page_->Button7->isEnabled());

    // A folder of that name is no error log.
    std::filesystem::create_directory(log.toStdString());
    page_->RefreshErrorLogButton();
    EXPECT_FALSE(page_->Button7->isEnabled());
}

TEST_F(Report, AMissingProgramFileLeavesBothDigestsAtCaption) {
    TSystemFacts f = Facts();
    f.HelperFile = f.ProgramFile;
    f.ProgramFile += ".missing";
    page_->Gather(f);
    EXPECT_EQ(page_->Label13->text(), QStringLiteral("CPU Clock : ()"));
    EXPECT_EQ(page_->Label18->text(), QStringLiteral("Caption"));
    EXPECT_EQ(page_->Label19->text(), QStringLiteral("Caption"));
    page_->Button9->click();
    ASSERT_EQ(platform_.Clipboard.size(), 1);
    EXPECT_TRUE(platform_.Clipboard[0].endsWith(QStringLiteral("MD5:\r\nCaption\r\nCaption\r\n") + QString(55, u'-') +
                                                QStringLiteral("\r\n")));
}

QString Md5Hex(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex());
}

TEST_F(Report, GatherReadsTheMachineAndTheProgramsFiles) {
    const QString helper = MakeFile(QStringLiteral("prog/tavrfix"), "message digest");
    page_->Gather();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Memory Info : Total \\d+[MG]B  Free \\d+[MG]B$"))
                    .match(page_->Label5->text())
                    .hasMatch())
        << page_->Label5->text().toStdString();
    EXPECT_TRUE(page_->Label6->text().startsWith(QStringLiteral("CPU : ")));
    EXPECT_FALSE(page_->FUserName.isEmpty());
    EXPECT_EQ(page_->Label18->text(), QStringLiteral("tavr.exe   ") + Md5Hex(platform_.ProgramFile()));
    EXPECT_EQ(page_->Label19->text(), QStringLiteral("tavr.dll   ") + Md5Hex(helper));
}

}  // namespace
