// The windows' language: the desktop's variables, the stored choice and "--lang".
#include <gtest/gtest.h>

#include "settings/Language.h"
#include "support/TempDir.h"

namespace {

constexpr auto kJa = TLanguage::Japanese;
constexpr auto kEn = TLanguage::English;

}  // namespace

TEST(Language, FollowsTheDesktopAsQtReadsIt) {
    const struct {
        TLanguageEnvironment env;
        TLanguage expected;
    } cases[] = {
        {{"", "", "", "ja_JP.UTF-8"}, kJa},
        {{"", "", "", "ja"}, kJa},
        {{"", "", "", "JA_jp.eucJP"}, kJa},
        {{"", "", "", "en_US.UTF-8"}, kEn},
        {{"", "", "", "de_DE.UTF-8"}, kEn},
        {{"", "", "", "C.UTF-8"}, kEn},
        {{"", "", "", "jav_ID"}, kEn},               // Javanese, not Japanese
        {{"", "", "", ""}, kEn},                     // nothing set
        {{"", "C", "", "ja_JP.UTF-8"}, kEn},         // LC_ALL over LANG
        {{"", "", "ja_JP.UTF-8", "en_GB.UTF-8"}, kJa},  // LC_MESSAGES over LANG
        {{"", "en_US.UTF-8", "ja_JP.UTF-8", ""}, kEn},  // LC_ALL over LC_MESSAGES
        {{"ja", "", "", "en_US.UTF-8"}, kJa},        // LANGUAGE first
        {{"en_GB:ja", "", "", "ja_JP.UTF-8"}, kEn},
        {{"fr:ja_JP", "", "", "en_US.UTF-8"}, kJa},  // the first preference this program has
        {{"fr:de", "", "", "ja_JP.UTF-8"}, kJa},     // none of the list: the locale decides
        {{"::", "", "", "ja_JP.UTF-8"}, kJa},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("LANGUAGE=" + c.env.Language + " LC_ALL=" + c.env.LcAll + " LC_MESSAGES=" + c.env.LcMessages +
                     " LANG=" + c.env.Lang);
        EXPECT_EQ(DesktopLanguage(c.env), c.expected);
        EXPECT_EQ(DecideLanguage(c.env, TLanguageChoice::Auto, std::nullopt), c.expected);
    }
}

TEST(Language, TheSwitchOverridesTheSettingWhichOverridesTheDesktop) {
    const TLanguageEnvironment japaneseDesktop{"", "", "", "ja_JP.UTF-8"};
    const TLanguageEnvironment germanDesktop{"", "", "", "de_DE.UTF-8"};
    using C = TLanguageChoice;
    const struct {
        const TLanguageEnvironment& env;
        C stored;
        std::optional<C> argument;
        TLanguage expected;
    } cases[] = {
        {japaneseDesktop, C::English, std::nullopt, kEn}, {germanDesktop, C::Japanese, std::nullopt, kJa},
        {germanDesktop, C::English, C::Japanese, kJa},    {japaneseDesktop, C::Japanese, C::English, kEn},
        {japaneseDesktop, C::English, C::Auto, kJa},      {germanDesktop, C::Auto, C::Auto, kEn},
        {germanDesktop, C::Auto, C::Japanese, kJa},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "LANG=" << c.env.Lang << " stored " << int(c.stored) << " switch "
                                          << (c.argument ? int(*c.argument) : -1));
        EXPECT_EQ(DecideLanguage(c.env, c.stored, c.argument), c.expected);
    }
}

TEST(Language, TheSwitchLeavesTheRestOfTheCommandLine) {
    using Args = std::vector<std::string>;
    const struct {
        Args args;
        Args rest;
        std::optional<TLanguageChoice> choice;
        bool error;
    } cases[] = {
        {{"--lang", "en", "-a", "file"}, {"-a", "file"}, TLanguageChoice::English, false},
        {{"-m", "file", "--lang=JA"}, {"-m", "file"}, TLanguageChoice::Japanese, false},
        {{"--lang", "auto"}, {}, TLanguageChoice::Auto, false},
        {{"--lang=ja", "--lang", "en", "x"}, {"x"}, TLanguageChoice::English, false},  // the last counts
        {{"file"}, {"file"}, std::nullopt, false},
        {{"--lang", "fr", "file"}, {"file"}, std::nullopt, true},
        {{"--lang=ja_JP", "file"}, {"file"}, std::nullopt, true},
        {{"file", "--lang"}, {"file"}, std::nullopt, true},
        {{"--lang=", "file"}, {"file"}, std::nullopt, true},
    };
    for (const auto& c : cases) {
        Args args = c.args;
        const TLanguageSwitch taken = TakeLanguageSwitch(args);
        EXPECT_EQ(args, c.rest);
        EXPECT_EQ(taken.Choice, c.choice);
        EXPECT_EQ(!taken.Error.empty(), c.error) << taken.Error;
    }
}

TEST(Language, TheStoredChoiceIsReadFromTheSettingsFile) {
    TempDir dir;
    EXPECT_EQ(StoredLanguageChoice(dir.file("missing.ini")), TLanguageChoice::Auto);
    EXPECT_EQ(StoredLanguageChoice(dir.write("none.ini", "[Tavrix_2]\r\n#Check MD5=1\r\n")), TLanguageChoice::Auto);
    EXPECT_EQ(StoredLanguageChoice(dir.write("en.ini", "[Tavrix_2]\r\n#language=EN\r\n")), TLanguageChoice::English);
    EXPECT_EQ(StoredLanguageChoice(dir.write("ja.ini", "[Tavrix_2]\r\n#Language=ja\r\n")), TLanguageChoice::Japanese);
    EXPECT_EQ(StoredLanguageChoice(dir.write("bad.ini", "[Tavrix_2]\r\n#Language=1\r\n")), TLanguageChoice::Auto);
    EXPECT_EQ(StoredLanguageChoice(dir.write("other.ini", "[Other]\r\n#Language=en\r\n")), TLanguageChoice::Auto);
}
