#include "base/datetimeformat.h"
#include "base/formatsettings.h"

#include <gtest/gtest.h>

#include <vector>

using tally::FormatSettings;
using tally::LocalDateTime;

namespace {

LocalDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    LocalDateTime dt;
    dt.year = y;
    dt.month = mo;
    dt.day = d;
    dt.hour = h;
    dt.minute = mi;
    dt.second = s;
    dt.millisecond = ms;
    return dt;
}

struct PatternCase
{
    const char *pattern;
    LocalDateTime dt;
    const char *expected;
};

TEST(FormatDateTime, PatternLanguage)
{
    const LocalDateTime stamp = at(2024, 11, 16, 9, 13, 55, 42);
    const LocalDateTime early = at(2024, 1, 2, 9, 5, 3, 7);
    const std::vector<PatternCase> cases = {
        {"yyyy-mm-dd,hh:nn:ss", stamp, "2024-11-16,09:13:55"},
        {"yyyy-mm-dd,hh:nn:ss", early, "2024-01-02,09:05:03"},
        {"h:m:s:z", early, "9:5:3:7"},
        {"hh:mm:ss.zzz", early, "09:05:03.007"},
        {"h:mm", at(2024, 1, 2, 23, 59), "23:59"},
        {"yyyy-m-d", early, "2024-1-2"},
        {"yy/mm/dd", early, "24/01/02"},
        {"YYYY-MM-DD HH:NN", stamp, "2024-11-16 09:13"},
        {"m/d h", early, "1/2 9"},
        {"d-m", early, "2-1"},
        {"yyyy'年'm'月'd'日'", early, "2024年1月2日"},
        {"yyyy\"年\"mmmm", stamp, "2024年十一月"},
        {"mmm dddd ddd", stamp, "11月 星期六 周六"},
        {"ddddd", early, "2024-1-2"},
        {"c", early, "2024-1-2 9:05:03"},
        {"c", at(2024, 1, 2), "2024-1-2"},
        {"tt", early, "9:05:03"},
        {"yyyy", at(7, 1, 1), "0007"},
        {"", early, ""},
        {"'unterminated", early, "unterminated"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatDateTime(c.pattern, c.dt), c.expected) << c.pattern;
}

struct ToStringCase
{
    LocalDateTime dt;
    const char *dateTime;
    const char *date;
};

TEST(DateTimeToString, LeavesTheTimeOutAtExactlyMidnight)
{
    const FormatSettings fs = FormatSettings::chinesePrc();
    const std::vector<ToStringCase> cases = {
        {at(2024, 11, 16, 9, 13, 55), "2024-11-16 9:13:55", "2024-11-16"},
        {at(2024, 11, 16), "2024-11-16", "2024-11-16"},
        {at(2024, 11, 16, 0, 0, 0, 1), "2024-11-16 0:00:00", "2024-11-16"},
        {at(2024, 11, 16, 0, 0, 1), "2024-11-16 0:00:01", "2024-11-16"},
        {at(2025, 1, 5, 23, 59, 59), "2025-1-5 23:59:59", "2025-1-5"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(tally::dateTimeToString(c.dt, fs), c.dateTime);
        EXPECT_EQ(tally::dateToString(c.dt, fs), c.date);
    }
}

TEST(DateTimeToString, FollowsTheSettingsPatterns)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.shortDateFormat = "dd/mm/yyyy";
    fs.longTimeFormat = "hh:nn:ss";
    EXPECT_EQ(tally::dateTimeToString(at(2024, 3, 4, 5, 6, 7), fs), "04/03/2024 05:06:07");
}

// A pattern read once formats as the pattern read each time, for every
// pattern, value and settings below: nested short date and time parts, the
// time left out at midnight (and only it), minutes after hours, names,
// quotes, and settings whose own patterns end in literals or use c and t.
TEST(DateTimePattern, FormatsAsThePatternReadEachTime)
{
    const std::vector<const char *> patterns = {
        "yyyy-mm-dd,hh:nn:ss",
        "h:m:s:z",
        "hh:mm:ss.zzz",
        "yyyy-m-d",
        "yy/mm/dd",
        "YYYY-MM-DD HH:NN",
        "m/d h",
        "h mm m",
        "h:mmm",
        "yyyy'年'm'月'd'日'",
        "yyyy\"年\"mmmm",
        "mmm dddd ddd",
        "ddddd",
        "c",
        "c'x'",
        "c 'at' t tt",
        "tt",
        "t",
        "yyyy",
        "",
        "'unterminated",
        "z zzz zzzzz",
        "dddddd",
        "mmmmmmmmm",
        "ab\"cd\"'ef'",
    };
    FormatSettings prc = FormatSettings::chinesePrc();
    FormatSettings literalEnds = prc;
    literalEnds.shortDateFormat = "dd/mm/yyyy'!'";
    literalEnds.longTimeFormat = "hh:nn:ss' h'";
    FormatSettings nested = prc;
    nested.shortDateFormat = "c ddddd d";
    nested.longTimeFormat = "t tt h";
    const std::vector<LocalDateTime> values = {
        at(2024, 11, 16, 9, 13, 55, 42), at(2024, 1, 2, 9, 5, 3, 7),     at(2024, 1, 2),
        at(2024, 1, 2, 0, 0, 0, 1),      at(7, 12, 31, 23, 59, 59, 999), at(1899, 12, 30)};
    for (const FormatSettings *fs : {&prc, &literalEnds, &nested}) {
        for (const char *pattern : patterns) {
            const tally::DateTimePattern compiled(pattern, *fs);
            for (const LocalDateTime &dt : values) {
                std::string out = "x";
                compiled.append(out, dt);
                EXPECT_EQ(out, "x" + tally::formatDateTime(pattern, dt, *fs))
                    << pattern << " / " << fs->shortDateFormat;
            }
        }
        const tally::DateTimePattern date = tally::DateTimePattern::shortDate(*fs);
        const tally::DateTimePattern dateTime = tally::DateTimePattern::dateTime(*fs);
        for (const LocalDateTime &dt : values) {
            std::string out;
            date.append(out, dt);
            EXPECT_EQ(out, tally::dateToString(dt, *fs)) << fs->shortDateFormat;
            out.clear();
            dateTime.append(out, dt);
            EXPECT_EQ(out, tally::dateTimeToString(dt, *fs)) << fs->shortDateFormat;
        }
    }
    std::string out;
    tally::DateTimePattern().append(out, values[0]);
    EXPECT_EQ(out, "");
}

TEST(LocalDateTimeNow, IsAPlausibleCivilTime)
{
    const LocalDateTime now = LocalDateTime::now();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.millisecond, 999);
}

} // namespace
