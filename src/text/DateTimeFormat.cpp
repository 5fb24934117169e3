#include "text/DateTimeFormat.h"

#include <chrono>
#include <ctime>
#include <cwchar>

#include "text/Translate.h"

namespace {

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) out += '-';
    if (int(digits.size()) < width) out.append(size_t(width) - digits.size(), '0');
    out += digits;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

void AppendWide(std::string& out, const wchar_t* s) {
    for (; *s; ++s) {
        char32_t c = char32_t(*s);
        if constexpr (sizeof(wchar_t) == 2) {  // UTF-16: join a surrogate pair
            if (c >= 0xD800 && c <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*++s) - 0xDC00);
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
}

std::tm ToTm(const TDateTimeParts& t) {
    using namespace std::chrono;
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    // Weekday and day of the year for locales whose formats show them; no time-zone lookup.
    const year_month_day ymd{year{t.year}, month{unsigned(t.month)}, day{unsigned(t.day)}};
    if (ymd.ok()) {
        const sys_days d{ymd};
        tm.tm_wday = int(weekday{d}.c_encoding());
        tm.tm_yday = int((d - sys_days{year{t.year} / January / 1}).count());
    }
    return tm;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, const TDateTimeParts& t) {
    std::string out;
    size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const size_t end = pattern.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? pattern.size() : end;
            out.append(pattern.substr(i + 1, stop - i - 1));
            i = stop == pattern.size() ? stop : stop + 1;
            continue;
        }
        const char key = Lower(c);
        if (key != 'y' && key != 'm' && key != 'd' && key != 'h' && key != 'n' && key != 's' &&
            key != 'z') {
            out += c;
            ++i;
            continue;
        }
        // A run of one letter is one field; its length picks the form, as in Delphi.
        size_t run = 1;
        while (i + run < pattern.size() && Lower(pattern[i + run]) == key) ++run;
        i += run;
        const int pad = run >= 2 ? 2 : 1;
        switch (key) {
        case 'y':
            if (run <= 2) AppendNumber(out, t.year % 100, 2);
            else AppendNumber(out, t.year, 4);
            break;
        case 'm': AppendNumber(out, t.month, pad); break;
        case 'd': AppendNumber(out, t.day, pad); break;
        case 'h': AppendNumber(out, t.hour, pad); break;
        case 'n': AppendNumber(out, t.minute, pad); break;
        case 's': AppendNumber(out, t.second, pad); break;
        case 'z': AppendNumber(out, t.msec, run >= 3 ? 3 : 1); break;
        }
    }
    return out;
}

std::string FileTimeText(const TDateTimeParts& t) {
    return FormatDateTime(TavTr("FileTime", "yyyy\"年\"m\"月\"d\"日 \"hh\"時\"nn\"分\"ss\"秒\""), t);
}

std::string LocaleDateTimeText(const TDateTimeParts& t) {
    const std::tm tm = ToTm(t);
    // The wide form is independent of the locale's character set.
    wchar_t buf[256];
    std::string out;
    if (std::wcsftime(buf, sizeof buf / sizeof buf[0], L"%x", &tm) > 0) AppendWide(out, buf);
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return out;
    if (std::wcsftime(buf, sizeof buf / sizeof buf[0], L"%X", &tm) > 0) {
        out += ' ';
        AppendWide(out, buf);
    }
    return out;
}

TDateTimeParts NowParts() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &secs);
#else
    localtime_r(&secs, &tm);
#endif
    TDateTimeParts p = PartsFromTm(tm);
    p.msec = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return p;
}

TDateTimeParts PartsFromTm(const std::tm& tm) {
    TDateTimeParts p;
    p.year = tm.tm_year + 1900;
    p.month = tm.tm_mon + 1;
    p.day = tm.tm_mday;
    p.hour = tm.tm_hour;
    p.minute = tm.tm_min;
    p.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return p;
}

std::time_t LocalTimeOf(const TDateTimeParts& t) {
    std::tm tm = ToTm(t);
    return std::mktime(&tm);
}
