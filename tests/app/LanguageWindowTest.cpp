// The main window in either language: English from the compiled translation, Japanese as written.
#include <QTest>
#include <map>

#include "app/Translations.h"
#include "fakes/AppFixture.h"

namespace {

// Every text the window can show, by where it is: captions, tool tips, menus (also of
// widgets hidden now), list headers and choices. The log's lines are left out.
std::map<QString, QString> WindowTexts(QWidget& window) {
    std::map<QString, QString> texts;
    auto add = [&texts](const QObject& owner, const QString& what, const QString& text) {
        if (text.isEmpty()) return;
        const QString kind = QString::fromLatin1(owner.metaObject()->className());
        texts[owner.objectName() + QLatin1Char('/') + kind + QLatin1Char('.') + what] += text;
    };
    add(window, QStringLiteral("title"), window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.append(&window);
    for (QWidget* w : widgets) {
        add(*w, QStringLiteral("toolTip"), w->toolTip());
        add(*w, QStringLiteral("statusTip"), w->statusTip());
        if (auto* label = qobject_cast<QLabel*>(w)) add(*w, QStringLiteral("text"), label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) add(*w, QStringLiteral("text"), button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) add(*w, QStringLiteral("title"), group->title());
        if (auto* menu = qobject_cast<QMenu*>(w)) add(*w, QStringLiteral("title"), menu->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w)) add(*w, QStringLiteral("placeholder"), edit->placeholderText());
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i) add(*w, QStringLiteral("item%1").arg(i), combo->itemText(i));
        if (auto* tree = qobject_cast<QTreeWidget*>(w))
            for (int i = 0; i < tree->columnCount(); ++i)
                add(*w, QStringLiteral("header%1").arg(i), tree->headerItem()->text(i));
    }
    const QList<QAction*> actions = window.findChildren<QAction*>();
    for (int i = 0; i < actions.size(); ++i) {
        // Unnamed actions (the system menu's, separators) are told apart by their order.
        QAction* a = actions[i];
        const QString where = a->objectName().isEmpty() ? QStringLiteral("#%1").arg(i) : QString();
        add(*a, where + QStringLiteral("text"), a->text());
        add(*a, where + QStringLiteral("toolTip"), a->toolTip());
        add(*a, where + QStringLiteral("hint"), a->property("hint").toString());
    }
    return texts;
}

bool HasJapanese(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

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
    QStringList japanese;
    const auto texts = WindowTexts(*w_);
    for (const auto& [where, text] : texts)
        if (HasJapanese(text)) japanese << where + QStringLiteral(": ") + text;
    EXPECT_TRUE(japanese.isEmpty()) << japanese.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(texts.size(), 60u);  // the walk found the window's texts
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
