// Texts below the windows: placeholders filled in one pass, and the English compiled from
// translations/ found by context and source.
#include <gtest/gtest.h>

#include "text/Translate.h"

namespace {

TEST(Translate, PlaceholdersAreFilledOnceInTheirOrder) {
    const struct {
        const char* text;
        std::initializer_list<std::string_view> args;
        const char* expected;
    } cases[] = {
        {"%1の%2取得完了", {"a.txt", "MD5"}, "a.txtのMD5取得完了"},
        {"%2 of %1", {"a.txt", "MD5"}, "MD5 of a.txt"},
        // A name that holds a placeholder is not filled again.
        {"%1の%2取得完了", {"%2.txt", "MD5"}, "%2.txtのMD5取得完了"},
        // A placeholder without an argument, and a lone or doubled percent sign, stay.
        {"%1 %3 100% %%", {"x"}, "x %3 100% %%"},
        {"", {"x"}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TavFormat(c.text, c.args), c.expected) << c.text;
}

TEST(Translate, TheHookGivesTheLanguageAndNoHookTheSource) {
    EXPECT_EQ(TavTr("ResultText", "更新日時:"), "更新日時:");
    SetTranslateHook(&EnglishText);
    EXPECT_EQ(TavTr("ResultText", "更新日時:"), "Modified:");
    // The context tells the same text apart; an unknown text stays as written.
    EXPECT_EQ(TavTr("Nowhere", "更新日時:"), "更新日時:");
    EXPECT_EQ(TavTr("ResultText", "まだない文"), "まだない文");
    SetTranslateHook(nullptr);
    EXPECT_EQ(TavTr("ResultText", "更新日時:"), "更新日時:");
    EXPECT_EQ(EnglishText("ResultText", "まだない文"), "");
}

}  // namespace
