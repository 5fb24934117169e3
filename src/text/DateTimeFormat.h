// Dates and times as the program shows and stores them.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

struct TDateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
};

// Patterns such as yyyy"年"m"月"d"日 "hh"時"nn"分"ss"秒" or yymmdd"-"hhnn:
// yyyy/yy year, m/mm month, d/dd day, h/hh hour, n/nn minute, s/ss second, zzz milliseconds;
// text in double or single quotes is literal, as is any other character.
std::string FormatDateTime(std::string_view pattern, const TDateTimeParts& t);

// A file's date and time as people read it, in the installed language (text/Translate.h):
// yyyy"年"m"月"d"日 "hh"時"nn"分"ss"秒" in Japanese, yyyy-mm-dd hh:nn:ss in English.
std::string FileTimeText(const TDateTimeParts& t);

// The locale's short date, a space and its long time (LC_TIME); the time part is left out
// at exactly midnight.
std::string LocaleDateTimeText(const TDateTimeParts& t);

// Local time now.
TDateTimeParts NowParts();

// The fields of a broken-down time (a leap second counts as second 59).
TDateTimeParts PartsFromTm(const std::tm& tm);
// The moment the local date and time `t` names (mktime); -1 when there is none.
std::time_t LocalTimeOf(const TDateTimeParts& t);
