#include "text/DateTimeFormat.h"

#include "support/Locales.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <string>

namespace {

TDateTimeParts Parts(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    TDateTimeParts p;
    p.year = y, p.month = mo, p.day = d;
    p.hour = h, p.minute = mi, p.second = s, p.msec = ms;
    return p;
}

TEST(DateTimeFormatTest, Patterns) {
    const TDateTimeParts summer = Parts(2004, 8, 1, 12, 30, 4, 45);
    const TDateTimeParts winter = Parts(2026, 12, 7, 5, 3, 9, 45);
    const TDateTimeParts y2k = Parts(2000, 1, 9, 0, 0, 0, 7);
    struct Case {
        const char* pattern;
        TDateTimeParts t;
        const char* want;
    };
    const Case cases[] = {
        // The forms the program shows and stores.
        {R"(yyyy"年"m"月"d"日 "hh"時"nn"分"ss"秒")", summer, "2004年8月1日 12時30分04秒"},
        {R"(yyyy"年"m"月"d"日 "hh"時"nn"分"ss"秒")", winter, "2026年12月7日 05時03分09秒"},
        {R"(yymmdd"-"hhnn)", summer, "040801-1230"},
        {R"(yymmdd"-"hhnn)", y2k, "000109-0000"},
        {"yyyymmddhhnnss", summer, "20040801123004"},
        {"yymmddhnsz", winter, "26120753945"},
        {"yymmddhnsz", y2k, "0001090007"},
        // Field widths.
        {"h:n:s d/m", winter, "5:3:9 7/12"},
        {"hh:nn:ss dd/mm", winter, "05:03:09 07/12"},
        {"z zz zzz", summer, "45 45 045"},
        {"zzz", y2k, "007"},
        {"yy yyyy", Parts(1999, 1, 1, 0, 0, 0), "99 1999"},
        {"YYYY-MM-DD HH:NN", summer, "2004-08-01 12:30"},
        // Quoted and other literal text.
        {R"('y'yyyy"d")", summer, "y2004d"},
        {R"("it's" 'a "b"')", summer, "it's a \"b\""},
        {R"(yyyy"年)", summer, "2004年"},  // an open quote runs to the end
        {"[yyyy]_#", summer, "[2004]_#"},
        {"", summer, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(FormatDateTime(c.pattern, c.t), c.want);
    }
}

class LocaleTime : public ::testing::Test {
protected:
    void SetUp() override { saved_ = std::setlocale(LC_TIME, nullptr); }
    void TearDown() override { std::setlocale(LC_TIME, saved_.c_str()); }
    std::string saved_;
};

TEST_F(LocaleTime, ShortDateAndLongTimeInTheCLocale) {
    ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
    EXPECT_EQ(LocaleDateTimeText(Parts(2004, 8, 1, 12, 30, 4)), "08/01/04 12:30:04");
    EXPECT_EQ(LocaleDateTimeText(Parts(2004, 8, 1, 0, 0, 0)), "08/01/04");
    EXPECT_EQ(LocaleDateTimeText(Parts(2004, 8, 1, 0, 0, 2)), "08/01/04 00:00:02");
    EXPECT_EQ(LocaleDateTimeText(Parts(1999, 12, 31, 23, 59, 58)), "12/31/99 23:59:58");
}

TEST_F(LocaleTime, JapaneseLocaleGivesUtf8Text) {
    ASSERT_TRUE(SetTestLocale(LC_TIME, "ja_JP.UTF-8"));
    EXPECT_EQ(LocaleDateTimeText(Parts(2004, 8, 1, 12, 30, 4)), "2004年08月01日 12時30分04秒");
    EXPECT_EQ(LocaleDateTimeText(Parts(2004, 8, 1, 0, 0, 0)), "2004年08月01日");
}

TEST(DateTimeFormatTest, NowIsLocalTime) {
    const std::time_t before = std::time(nullptr);
    const TDateTimeParts now = NowParts();
    const std::time_t after = std::time(nullptr);
    std::tm tm{};
    tm.tm_year = now.year - 1900;
    tm.tm_mon = now.month - 1;
    tm.tm_mday = now.day;
    tm.tm_hour = now.hour;
    tm.tm_min = now.minute;
    tm.tm_sec = now.second;
    tm.tm_isdst = -1;
    const std::time_t back = std::mktime(&tm);
    EXPECT_GE(back, before);
    EXPECT_LE(back, after);
    EXPECT_GE(now.msec, 0);
    EXPECT_LE(now.msec, 999);
}

}  // namespace
