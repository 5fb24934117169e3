// The main window in either language: English from the compiled translation, Japanese as written.
#include <QTest>
#include <map>

#include "app/Translations.h"
#include "fakes/AppFixture.h"
#include "fakes/WindowChecks.h"

namespace {

class WindowLanguage : public AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        RemoveLanguage();
    }
    // A new main window made in `language`.
    void Remake(TLanguage language) {
        w_.reset();
        ASSERT_TRUE(InstallLanguage(language));
        w_ = std::make_unique<TTavrenneUnderTest>();
    }
};

TEST_F(WindowLanguage, InEnglishNoTextIsJapanese) {
    Remake(TLanguage::English);
    EXPECT_TRUE(JapaneseTexts(*w_).isEmpty()) << JapaneseTexts(*w_).join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(WindowTexts(*w_).size(), 60u);  // the walk found the window's texts
    w_->show();
    EXPECT_TRUE(CutLabels(*w_).isEmpty()) << CutLabels(*w_).join(QLatin1Char('\n')).toStdString();
}

TEST_F(WindowLanguage, InEnglishTheKeyCaptions) {
    Remake(TLanguage::English);
    const struct {
        QString shown;
        const char* expected;
    } captions[] = {
        {w_->findChild<QMenu*>(QStringLiteral("MenuFile"))->title(), "&File"},
        {w_->findChild<QMenu*>(QStringLiteral("MenuHelp"))->title(), "&Help"},
        {w_->Action1->text(), "&Open..."},
        {w_->Button1->text(), "&Open..."},
        {w_->Action12->toolTip(), "Preferences"},
        {w_->Action16->text(), "E&xit"},
        {w_->GroupBox1->title(), "Digests"},
        {w_->CheckBox4->text(), "CRC32"},
        {w_->CheckBox3->text(), "Compare with"},
        {w_->ComboBox1->itemText(5), "Auto"},
        {w_->Label1->text(), "Name:"},
        {w_->StatusText(0), "Path:"},
        {w_->Button3->text(), "Clear Results"},
        {w_->SpeedButton1->text(), "Hide Log"},
        {w_->ListView1->headerItem()->text(1), "  Time"},
        {w_->ListView1->headerItem()->text(2), "Event"},
        {w_->windowTitle(), "Tavrenne 2.46"},
    };
    for (const auto& c : captions) EXPECT_EQ(c.shown, QString::fromUtf8(c.expected));
    w_->ToggleLog();
    EXPECT_EQ(w_->SpeedButton1->text(), QStringLiteral("Show Log"));
    // An analysis's captions, and a reset's, are in the window's language.
    w_->AnalyzeFile(TPath(MakeFile(QStringLiteral("abc.txt"), std::string("abc"))));
    EXPECT_EQ(w_->Label1->text(), QStringLiteral("Name: abc.txt"));
    EXPECT_TRUE(w_->Label2->text().startsWith(QStringLiteral("Size: 3"))) << w_->Label2->text().toStdString();
    EXPECT_TRUE(w_->Label4->text().startsWith(QStringLiteral("Modified: "))) << w_->Label4->text().toStdString();
    w_->ResetDisplay(true);
    EXPECT_EQ(w_->Label4->text(), QStringLiteral("Modified:"));
}

TEST_F(WindowLanguage, InEnglishTheLogBoxesResultTextAndHelp) {
    Remake(TLanguage::English);
    EXPECT_EQ(Log().front().Text, QStringLiteral("File information tool --- Tavrenne 2.46 ---"));
    const QString path = MakeFile(QStringLiteral("abc.txt"), std::string("abc"));
    const int from = LogCount();
    w_->AnalyzeFile(TPath(path));
    QStringList log;
    for (const TLogLine& line : Log(from)) log << line.Text;
    EXPECT_EQ(log.mid(0, 3), (QStringList{QStringLiteral("Reading the file information of abc.txt... please wait"),
                                          QStringLiteral("Computing the MD5 of abc.txt"),
                                          QStringLiteral("Computed the MD5 of abc.txt")}));
    EXPECT_EQ(log.back(), QStringLiteral("Elapsed time:  0 h  0 min  0 s"));

    w_->Action8->trigger();  // answered No
    ASSERT_FALSE(dialogs_.Messages().empty());
    EXPECT_EQ(dialogs_.Messages().back().Text, QStringLiteral("Clear the current results?"));

    // The saved result text is for people: English, the same layout.
    const QString target = MakeFile(QStringLiteral("r.txt"), std::string());
    ASSERT_TRUE(w_->WriteResults(TPath(target)));
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    ASSERT_GT(lines.size(), 14);
    EXPECT_EQ(lines[4], QByteArray("Name: abc.txt\r"));
    EXPECT_EQ(lines[6], QByteArray("Size: 3 Bytes\r"));
    EXPECT_EQ(lines[10], QByteArray("Read-only: No  Hidden: No \r"));
    EXPECT_EQ(lines[13], QByteArray("MD5  :900150983cd24fb0d6963f7d28e17f72\r"));

    // Help opens the English manual, and the Japanese one while there is no English one.
    QDir(platform_.Folder).mkpath(QStringLiteral("manual/en"));
    for (const char* page : {"/manual/index.html", "/manual/en/index.html"}) {
        QFile index(platform_.Folder + QLatin1String(page));
        ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    }
    w_->Action13->trigger();
    EXPECT_EQ(platform_.Opened, QStringList{platform_.Folder + QStringLiteral("/manual/en/index.html")});
    QFile::remove(platform_.Folder + QStringLiteral("/manual/en/index.html"));
    platform_.Opened.clear();
    w_->Action13->trigger();
    EXPECT_EQ(platform_.Opened, QStringList{platform_.Folder + QStringLiteral("/manual/index.html")});
}

// Alt with a letter reaches one thing: the menu bar's menus and the window's own buttons
// share the letters.
TEST_F(WindowLanguage, InEnglishNoTwoAltKeysClash) {
    Remake(TLanguage::English);
    w_->show();
    std::map<QChar, QStringList> owners;
    auto take = [&owners](const QString& text) {
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != QLatin1Char('&')) continue;
            if (text[i + 1] != QLatin1Char('&')) owners[text[i + 1].toLower()] << text;
            ++i;
        }
    };
    for (QMenuBar* bar : w_->findChildren<QMenuBar*>())
        for (QAction* menu : bar->actions()) take(menu->text());
    ASSERT_GT(owners.size(), 5u);
    for (QAbstractButton* button : w_->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(w_.get())) take(button->text());
    for (const auto& [key, texts] : owners) EXPECT_EQ(texts.size(), 1) << texts.join(QStringLiteral(", ")).toStdString();
}

TEST_F(WindowLanguage, InJapaneseEveryTextIsAsWritten) {
    const auto written = WindowTexts(*w_);
    Remake(TLanguage::Japanese);
    EXPECT_EQ(WindowTexts(*w_), written);
    EXPECT_EQ(w_->GroupBox1->title(), QStringLiteral("取得タイプ"));
    // Back from English: nothing of it stays.
    Remake(TLanguage::English);
    RemoveLanguage();
    w_.reset();
    w_ = std::make_unique<TTavrenneUnderTest>();
    EXPECT_EQ(WindowTexts(*w_), written);
}

}  // namespace
