#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tally {

struct FormatSettings;

// A local civil date-time with milliseconds (no time zone attached).
struct LocalDateTime
{
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;

    static LocalDateTime now();
    bool isMidnight() const { return hour == 0 && minute == 0 && second == 0 && millisecond == 0; }
};

// Formats with the regional pattern language, letters in either case:
// yy/yyyy, m/mm (month, or minute right after an hour), mmm/mmmm month names,
// d/dd, ddd/dddd day names, ddddd short date, h/hh (24-hour), n/nn, s/ss,
// z/zzz, c (short date and long time, time left out at midnight), t/tt (short
// and long time); quoted literals and every other character as themselves
// (am/pm is not supported). Names and the date/time parts of c, t, tt and
// ddddd come from `fs`. Never fails.
// "yyyy-mm-dd,hh:nn:ss" -> "2024-11-16,09:13:55"; "h:m:s:z" -> "9:5:3:7".
std::string formatDateTime(std::string_view pattern, const LocalDateTime &dt,
                           const FormatSettings &fs);

// Appends formatDateTime(pattern, dt, fs) to out, for writers that format
// many cells into one buffer.
void appendFormattedDateTime(std::string &out, std::string_view pattern, const LocalDateTime &dt,
                             const FormatSettings &fs);

// Same with Chinese (PRC) settings.
std::string formatDateTime(std::string_view pattern, const LocalDateTime &dt);

// Short date + " " + long time, the time left out at exactly midnight.
std::string dateTimeToString(const LocalDateTime &dt, const FormatSettings &fs);

// Appends dateTimeToString(dt, fs) to out.
void appendDateTimeString(std::string &out, const LocalDateTime &dt, const FormatSettings &fs);

// Short date only.
std::string dateToString(const LocalDateTime &dt, const FormatSettings &fs);

// Appends dateToString(dt, fs) to out.
void appendDateString(std::string &out, const LocalDateTime &dt, const FormatSettings &fs);

// A pattern read once, for formatting many values with it: append() gives the
// text the function it was made as gives, with the settings it was made with
// (make it again when they change).
class DateTimePattern
{
public:
    // The empty pattern: appends nothing.
    DateTimePattern() = default;
    // As formatDateTime(pattern, dt, fs).
    DateTimePattern(std::string_view pattern, const FormatSettings &fs);
    // As dateToString(dt, fs).
    static DateTimePattern shortDate(const FormatSettings &fs);
    // As dateTimeToString(dt, fs).
    static DateTimePattern dateTime(const FormatSettings &fs);

    void append(std::string &out, const LocalDateTime &dt) const;

private:
    enum class Op : std::uint8_t
    {
        Literal,
        Year2,
        Year4,
        Month,
        Day,
        Hour,
        Minute,
        Second,
        Millisecond,
        ShortMonthName,
        LongMonthName,
        ShortDayName,
        LongDayName,
        SkipAtMidnight, // skips the next `length` steps when the time is midnight
    };
    struct Step
    {
        Op op;
        std::uint8_t width;                   // digits at least
        std::uint32_t offset = 0, length = 0; // literal text in m_literals; steps to skip
    };
    void compile(std::string_view pattern, const FormatSettings &fs, int depth);
    // " " and the long time, both left out at midnight.
    void timeUnlessMidnight(const FormatSettings &fs, int depth);
    void literal(std::string_view text);

    std::vector<Step> m_steps;
    std::string m_literals;
    std::size_t m_joinFrom = 0; // literals join only with steps from here on
};

} // namespace tally
