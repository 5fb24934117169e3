// Action19: the questions, the archive table, the destination folder and the result messages.
#include "fakes/AppFixture.h"
#include "platform/ArchiveFixtures.h"
#include "platform/ArchiveLibraries.h"

namespace fs = std::filesystem;

namespace {

const QString kAsk = QStringLiteral("の解凍(zip,lha,cab,gca)もしくは実行(関連付けから起動)を行います よろしいですか?");
const QString kFailed = QStringLiteral("このファイルに対する作業が正しく終了しませんでした！ファイルが不正かDLLエラーです");

// What the fake libraries were called with, as the Windows libraries' command lines.
std::vector<std::string> g_lines;
int g_busy = 0;
int Record(void* owner, const TArchiveCommand& command, char*, unsigned long size) {
    EXPECT_NE(owner, nullptr);
    EXPECT_EQ(size, 512u);
    g_lines.push_back(ArchiveCommandLine(command));
    return 0;
}
int Busy() { return g_busy; }

class RunOrExtract : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        g_lines.clear();
        g_busy = 0;
    }
    void TearDown() override {
        SetArchiveLibraries(nullptr);
        EXPECT_EQ(LoadedArchiveLibraries(), 0);   // nothing stays loaded
        AppFixture::TearDown();
    }
    void Run(const QString& path, std::deque<TMsgResult> answers) {
        w_->SetCurrentPath(TPath(path));
        dialogs_.MessageAnswers = std::move(answers);
        w_->Action19->setEnabled(true);
        w_->Action19->trigger();
    }
    std::vector<QString> Texts() const {
        std::vector<QString> out;
        for (const TRecordedDialog& d : dialogs_.Messages()) out.push_back(d.Text);
        return out;
    }
    fs::path Dir() const { return dir_->path(); }
};

TEST_F(RunOrExtract, EachArchiveKindGetsItsLibraryAndCommandLine) {
    const std::map<std::string, TArchiveLibrary> fakes = {
        {"UNZIP32.DLL", {{{"UnZip", &Record}}, {}}},
        {"UNLHA32.DLL", {{{"Unlha", &Record}}, {{"UnlhaGetRunning", &Busy}}}},
        {"CAB32.DLL", {{{"Cab", &Record}}, {}}},
        {"UnGCA32.dll", {{{"UnGCA", &Record}}, {{"UnGCAGetRunning", &Busy}}}},
    };
    SetArchiveLibraries(&fakes);
    const std::string d = Dir().string();
    const struct {
        const char* name;
        std::string line;
        QString done;
    } cases[] = {
        {"x.zip", "\"" + d + "/x.zip\" \"" + d + "/x/\"", QStringLiteral("ZIPファイルの解凍が終了しました。")},
        {"y.LZH", "e -x -u0 -jyc \"" + d + "/y.LZH\" \"" + d + "/y/\" *.*", QStringLiteral("Lhaファイルの解凍が終了しました。")},
        {"a b.tar.cab", "-x \"" + d + "/a b.tar.cab\" \"" + d + "/a b.tar/\" *.*", QStringLiteral("Cabファイルの解凍が終了しました。")},
        {"w.gca", "e -sx1 \"" + d + "/w.gca\" \"" + d + "/w/\"", QStringLiteral("GCAファイルの解凍が終了しました。")},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        dialogs_.Calls.clear();
        const QString path = MakeFile(QString::fromUtf8(c.name), std::string("data"));
        Run(path, {TMsgResult::Yes});
        EXPECT_EQ(g_lines, std::vector<std::string>{c.line}) << c.name;
        EXPECT_TRUE(fs::is_directory(fs::path(c.line.substr(c.line.rfind(" \"") + 2, c.line.rfind("/\"") - c.line.rfind(" \"") - 2))))
            << c.name;
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 2u) << c.name;
        EXPECT_EQ(messages[0].Caption, w_->ApplicationTitle());
        EXPECT_EQ(messages[0].Text, QString::fromUtf8(c.name) + kAsk);
        EXPECT_EQ(messages[0].Icon, TMsgIcon::Question);
        EXPECT_EQ(messages[0].Buttons, TMsgButtons::YesNo);
        EXPECT_EQ(messages[1].Caption, QStringLiteral("結果報告"));
        EXPECT_EQ(messages[1].Text, c.done);
        EXPECT_EQ(messages[1].Icon, TMsgIcon::Information);
    }
    EXPECT_TRUE(platform_.OpenedFiles.isEmpty());
}

TEST_F(RunOrExtract, BusyMissingOrIncompleteLibrariesFail) {
    const std::map<std::string, TArchiveLibrary> fakes = {
        {"UNLHA32.DLL", {{{"Unlha", &Record}}, {{"UnlhaGetRunning", &Busy}}}},
        {"UnGCA32.dll", {{{"UnGCA", &Record}}, {}}},          // no busy test
        {"cab32.dll", {{{"Extract", &Record}}, {}}},          // no entry point of that name
    };
    SetArchiveLibraries(&fakes);
    g_busy = 1;
    for (const char* name : {"x.lzh", "x.gca", "x.cab", "x.zip"}) {
        dialogs_.Calls.clear();
        Run(MakeFile(QString::fromUtf8(name), std::string("data")), {TMsgResult::Yes});
        const auto messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), 2u) << name;
        EXPECT_EQ(messages[1].Caption, QStringLiteral("結果報告"));
        EXPECT_EQ(messages[1].Text, kFailed) << name;
        EXPECT_EQ(messages[1].Icon, TMsgIcon::Error);
    }
    EXPECT_TRUE(g_lines.empty());
    EXPECT_FALSE(fs::exists(Dir() / "x"));   // nothing made before the library was ready
}

TEST_F(RunOrExtract, RealZipIsExtractedBesideItAlsoIntoAnExistingFolder) {
    ASSERT_TRUE(MakeZip(Dir() / "pack.ZIP", {{"a.txt", "alpha"}, {"sub/b.txt", "beta"}}));
    Run(QString::fromStdString((Dir() / "pack.ZIP").string()), {TMsgResult::Yes});
    EXPECT_EQ(ReadBytes(Dir() / "pack/a.txt"), "alpha");
    EXPECT_EQ(ReadBytes(Dir() / "pack/sub/b.txt"), "beta");
    EXPECT_EQ(Texts().back(), QStringLiteral("ZIPファイルの解凍が終了しました。"));

    fs::create_directories(Dir() / "again");
    std::ofstream(Dir() / "again/keep.txt") << "kept";
    fs::copy_file(Dir() / "pack.ZIP", Dir() / "again.zip");
    Run(QString::fromStdString((Dir() / "again.zip").string()), {TMsgResult::Yes});
    EXPECT_EQ(ReadBytes(Dir() / "again/a.txt"), "alpha");
    EXPECT_EQ(ReadBytes(Dir() / "again/keep.txt"), "kept");
}

// A folder whose name would have split a command line into another archive ("a"), another
// destination and a pattern: the archive in it is extracted beside it like any other.
TEST_F(RunOrExtract, QuotationMarksInThePathExtractLikeAnyOtherPath) {
    const fs::path target = Dir() / "TARGET";
    const fs::path folder = Dir() / ("a\" \"" + target.string() + "\" \"*\" \"");
    fs::create_directories(folder);
    ASSERT_TRUE(MakeZip(folder / "good.zip", {{"in.txt", "good"}}));
    ASSERT_TRUE(MakeZip(Dir() / "a", {{"wrong.txt", "wrong"}}));
    Run(QString::fromStdString((folder / "good.zip").string()), {TMsgResult::Yes});
    EXPECT_EQ(ReadBytes(folder / "good/in.txt"), "good");
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(Texts().back(), QStringLiteral("ZIPファイルの解凍が終了しました。"));
}

TEST_F(RunOrExtract, ArchivesThatFailShowTheFailure) {
    std::ofstream(Dir() / "bad.zip") << "not a zip";
    std::ofstream(Dir() / "t.gca") << "GCA0";
    ASSERT_TRUE(MakeZip(Dir() / "slip.zip", {{"../escaped.txt", "evil"}}));
    for (const char* name : {"bad.zip", "t.gca", "slip.zip"}) {
        dialogs_.Calls.clear();
        Run(QString::fromStdString((Dir() / name).string()), {TMsgResult::Yes});
        EXPECT_EQ(Texts(), (std::vector<QString>{QString::fromUtf8(name) + kAsk, kFailed})) << name;
    }
    EXPECT_FALSE(fs::exists(Dir() / "escaped.txt"));
}

TEST_F(RunOrExtract, OtherFilesAreOpenedAndProgramsAskFirst) {
    const QString readme = MakeFile(QStringLiteral("readme.txt"), std::string("r"));
    const QString lha = MakeFile(QStringLiteral("x.lha"), std::string("l"));
    const QString setup = MakeFile(QStringLiteral("setup.exe"), std::string("MZ"));
    const QString com = MakeFile(QStringLiteral("RUN.COM"), std::string("c"));

    Run(readme, {TMsgResult::Yes});
    Run(lha, {TMsgResult::Yes});
    EXPECT_EQ(Texts(), (std::vector<QString>{QStringLiteral("readme.txt") + kAsk, QStringLiteral("x.lha") + kAsk}));
    EXPECT_EQ(platform_.OpenedFiles, Paths({readme, lha}));

    dialogs_.Calls.clear();
    Run(setup, {TMsgResult::Yes, TMsgResult::No});
    EXPECT_EQ(platform_.OpenedFiles.size(), 2);
    Run(com, {TMsgResult::Yes, TMsgResult::Yes});
    EXPECT_EQ(platform_.OpenedFiles.last(), TPath(com));
    EXPECT_TRUE(platform_.StartedFiles.isEmpty());
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].Caption, QStringLiteral("確認"));
    EXPECT_EQ(messages[1].Text, QStringLiteral("このファイルは実行形式です 実行しますか？"));
    EXPECT_EQ(messages[1].Icon, TMsgIcon::Exclamation);
    EXPECT_EQ(messages[1].Buttons, TMsgButtons::YesNo);
}

// Programs of this system (an execute bit, an ELF or "#!" header, whatever the name) are asked
// about and started directly; what cannot be started or opened is said with the reason.
TEST_F(RunOrExtract, ProgramsOfThisSystemAreStartedAndFailuresSaid) {
    const QString tool = MakeFile(QStringLiteral("tool"), std::string("\x7f" "ELF\x02\x01\x01"));
    const QString script = MakeFile(QStringLiteral("build.txt"), std::string("#!/bin/sh\necho hi\n"));
    const QString marked = MakeFile(QStringLiteral("marked.dat"), std::string("data"));
    fs::permissions(marked.toStdString(), fs::perms::owner_exec, fs::perm_options::add);
    for (const QString& file : {tool, script, marked}) {
        dialogs_.Calls.clear();
        Run(file, {TMsgResult::Yes, TMsgResult::No});
        EXPECT_EQ(Texts().size(), 2u) << file.toStdString();
        EXPECT_EQ(Texts().back(), QStringLiteral("このファイルは実行形式です 実行しますか？"));
    }
    EXPECT_TRUE(platform_.StartedFiles.isEmpty());
    Run(script, {TMsgResult::Yes, TMsgResult::Yes});
    EXPECT_EQ(platform_.StartedFiles, Paths({script}));
    EXPECT_TRUE(platform_.OpenedFiles.isEmpty());

    dialogs_.Calls.clear();
    platform_.StartFailure = QStringLiteral("Permission denied");
    Run(tool, {TMsgResult::Yes, TMsgResult::Yes});
    ASSERT_EQ(dialogs_.Messages().size(), 3u);
    EXPECT_EQ(dialogs_.Messages()[2].Text, QStringLiteral("toolを実行できませんでした\nPermission denied"));
    EXPECT_EQ(dialogs_.Messages()[2].Icon, TMsgIcon::Error);
    EXPECT_EQ(dialogs_.Messages()[2].Caption, w_->ApplicationTitle());

    dialogs_.Calls.clear();
    platform_.OpenFailure = QStringLiteral("xdg-open: no method available for opening 'x.odd'");
    Run(MakeFile(QStringLiteral("x.odd"), std::string("?")), {TMsgResult::Yes});
    ASSERT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_EQ(dialogs_.Messages()[1].Text,
              QStringLiteral("x.oddを開けませんでした\nxdg-open: no method available for opening 'x.odd'"));
}

TEST_F(RunOrExtract, NoAnswerOrAMissingFileDoesNothing) {
    const QString zip = MakeFile(QStringLiteral("x.zip"), std::string("z"));
    Run(zip, {TMsgResult::No});
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("x.zip") + kAsk});
    EXPECT_FALSE(fs::exists(Dir() / "x"));

    dialogs_.Calls.clear();
    Run(QString::fromStdString((Dir() / "gone.txt").string()), {TMsgResult::Yes});
    const auto messages = dialogs_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].Text, QStringLiteral("ファイルが見つかりません"));
    EXPECT_EQ(messages[1].Caption, w_->ApplicationTitle());
    EXPECT_EQ(messages[1].Icon, TMsgIcon::Error);
    EXPECT_TRUE(platform_.OpenedFiles.isEmpty());
}

}  // namespace
