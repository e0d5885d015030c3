#include "base/datetimeformat.h"

#include "base/formatsettings.h"

#include <array>
#include <charconv>
#include <ctime>

namespace tally {

namespace {

constexpr std::array<std::string_view, 12> kShortMonths = {
    "1月", "2月", "3月", "4月", "5月", "6月", "7月", "8月", "9月", "10月", "11月", "12月"};
constexpr std::array<std::string_view, 12> kLongMonths = {"一月", "二月", "三月",   "四月",
                                                          "五月", "六月", "七月",   "八月",
                                                          "九月", "十月", "十一月", "十二月"};
constexpr std::array<std::string_view, 7> kShortDays = {"周日", "周一", "周二", "周三",
                                                        "周四", "周五", "周六"};
constexpr std::array<std::string_view, 7> kLongDays = {"星期日", "星期一", "星期二", "星期三",
                                                       "星期四", "星期五", "星期六"};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

void appendNumber(std::string &out, long long value, int width)
{
    // Digits into a local buffer: a date cell formats without allocating.
    char digits[24];
    const unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, magnitude);
    const auto length = static_cast<int>(r.ptr - digits);
    if (value < 0)
        out += '-';
    if (length < width)
        out.append(static_cast<std::size_t>(width - length), '0');
    out.append(digits, r.ptr);
}

// 0 = Sunday, for the proleptic Gregorian calendar.
int weekday(int year, int month, int day)
{
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    const int y = year;
    const int r = (y + y / 4 - y / 100 + y / 400 + offsets[(month + 11) % 12] + day) % 7;
    return r < 0 ? r + 7 : r;
}

std::string_view nameAt(const auto &names, int index)
{
    if (index < 0 || index >= static_cast<int>(names.size()))
        return "";
    return names[static_cast<std::size_t>(index)];
}

void format(std::string &out, std::string_view pattern, const LocalDateTime &dt,
            const FormatSettings &fs, int depth)
{
    char lastLetter = 0;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const auto close = pattern.find(c, i + 1);
            const auto end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        const char token = lower(c);
        std::size_t run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == token)
            ++run;
        const bool minuteAfterHour = token == 'm' && lastLetter == 'h' && run <= 2;
        if (token >= 'a' && token <= 'z')
            lastLetter = token;
        switch (token) {
        case 'y':
            if (run <= 2)
                appendNumber(out, dt.year % 100, 2);
            else
                appendNumber(out, dt.year, 4);
            break;
        case 'm':
            if (minuteAfterHour)
                appendNumber(out, dt.minute, static_cast<int>(run));
            else if (run <= 2)
                appendNumber(out, dt.month, static_cast<int>(run));
            else
                out += nameAt(run == 3 ? kShortMonths : kLongMonths, dt.month - 1);
            break;
        case 'd':
            if (run <= 2)
                appendNumber(out, dt.day, static_cast<int>(run));
            else if (run <= 4)
                out +=
                    nameAt(run == 3 ? kShortDays : kLongDays, weekday(dt.year, dt.month, dt.day));
            else if (depth == 0)
                format(out, fs.shortDateFormat, dt, fs, depth + 1);
            break;
        case 'h':
            appendNumber(out, dt.hour, run == 1 ? 1 : 2);
            break;
        case 'n':
            appendNumber(out, dt.minute, run == 1 ? 1 : 2);
            break;
        case 's':
            appendNumber(out, dt.second, run == 1 ? 1 : 2);
            break;
        case 'z':
            appendNumber(out, dt.millisecond, run >= 3 ? 3 : 1);
            break;
        case 'c':
            if (depth == 0) {
                format(out, fs.shortDateFormat, dt, fs, depth + 1);
                if (!dt.isMidnight()) {
                    out += ' ';
                    format(out, fs.longTimeFormat, dt, fs, depth + 1);
                }
            }
            break;
        case 't':
            if (depth == 0)
                format(out,
                       run == 1 ? std::string_view("h:nn") : std::string_view(fs.longTimeFormat),
                       dt, fs, depth + 1);
            break;
        default:
            out.append(pattern.substr(i, run));
            break;
        }
        i += run;
    }
}

} // namespace

LocalDateTime LocalDateTime::now()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    LocalDateTime dt;
    dt.year = local.tm_year + 1900;
    dt.month = local.tm_mon + 1;
    dt.day = local.tm_mday;
    dt.hour = local.tm_hour;
    dt.minute = local.tm_min;
    dt.second = local.tm_sec;
    dt.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return dt;
}

void appendFormattedDateTime(std::string &out, std::string_view pattern, const LocalDateTime &dt,
                             const FormatSettings &fs)
{
    format(out, pattern, dt, fs, 0);
}

std::string formatDateTime(std::string_view pattern, const LocalDateTime &dt,
                           const FormatSettings &fs)
{
    std::string out;
    format(out, pattern, dt, fs, 0);
    return out;
}

std::string formatDateTime(std::string_view pattern, const LocalDateTime &dt)
{
    return formatDateTime(pattern, dt, FormatSettings::chinesePrc());
}

void appendDateTimeString(std::string &out, const LocalDateTime &dt, const FormatSettings &fs)
{
    format(out, fs.shortDateFormat, dt, fs, 1);
    if (!dt.isMidnight()) {
        out += ' ';
        format(out, fs.longTimeFormat, dt, fs, 1);
    }
}

std::string dateTimeToString(const LocalDateTime &dt, const FormatSettings &fs)
{
    std::string out;
    appendDateTimeString(out, dt, fs);
    return out;
}

void appendDateString(std::string &out, const LocalDateTime &dt, const FormatSettings &fs)
{
    format(out, fs.shortDateFormat, dt, fs, 1);
}

std::string dateToString(const LocalDateTime &dt, const FormatSettings &fs)
{
    std::string out;
    appendDateString(out, dt, fs);
    return out;
}

// Reads the pattern as format() does, keeping what it would append as steps.
void DateTimePattern::compile(std::string_view pattern, const FormatSettings &fs, int depth)
{
    char lastLetter = 0;
    std::size_t i = 0;
    const auto number = [this](Op op, std::size_t width) {
        m_steps.push_back({op, static_cast<std::uint8_t>(width)});
    };
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '"' || c == '\'') {
            const auto close = pattern.find(c, i + 1);
            const auto end = close == std::string_view::npos ? pattern.size() : close;
            literal(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        const char token = lower(c);
        std::size_t run = 1;
        while (i + run < pattern.size() && lower(pattern[i + run]) == token)
            ++run;
        const bool minuteAfterHour = token == 'm' && lastLetter == 'h' && run <= 2;
        if (token >= 'a' && token <= 'z')
            lastLetter = token;
        switch (token) {
        case 'y':
            number(run <= 2 ? Op::Year2 : Op::Year4, run <= 2 ? 2 : 4);
            break;
        case 'm':
            if (minuteAfterHour)
                number(Op::Minute, run);
            else if (run <= 2)
                number(Op::Month, run);
            else
                number(run == 3 ? Op::ShortMonthName : Op::LongMonthName, 0);
            break;
        case 'd':
            if (run <= 2)
                number(Op::Day, run);
            else if (run <= 4)
                number(run == 3 ? Op::ShortDayName : Op::LongDayName, 0);
            else if (depth == 0)
                compile(fs.shortDateFormat, fs, depth + 1);
            break;
        case 'h':
            number(Op::Hour, run == 1 ? 1 : 2);
            break;
        case 'n':
            number(Op::Minute, run == 1 ? 1 : 2);
            break;
        case 's':
            number(Op::Second, run == 1 ? 1 : 2);
            break;
        case 'z':
            number(Op::Millisecond, run >= 3 ? 3 : 1);
            break;
        case 'c':
            if (depth == 0) {
                compile(fs.shortDateFormat, fs, depth + 1);
                timeUnlessMidnight(fs, depth + 1);
            }
            break;
        case 't':
            if (depth == 0)
                compile(run == 1 ? std::string_view("h:nn") : std::string_view(fs.longTimeFormat),
                        fs, depth + 1);
            break;
        default:
            literal(pattern.substr(i, run));
            break;
        }
        i += run;
    }
}

void DateTimePattern::timeUnlessMidnight(const FormatSettings &fs, int depth)
{
    const std::size_t skip = m_steps.size();
    m_steps.push_back({Op::SkipAtMidnight, 0});
    literal(" ");
    compile(fs.longTimeFormat, fs, depth);
    m_steps[skip].length = static_cast<std::uint32_t>(m_steps.size() - skip - 1);
    m_joinFrom = m_steps.size(); // what follows is not skipped with it
}

void DateTimePattern::literal(std::string_view text)
{
    if (text.empty())
        return;
    // Neighbouring literals join into one step.
    if (m_steps.size() > m_joinFrom && m_steps.back().op == Op::Literal &&
        m_steps.back().offset + m_steps.back().length == m_literals.size()) {
        m_steps.back().length += static_cast<std::uint32_t>(text.size());
    } else {
        m_steps.push_back({Op::Literal, 0, static_cast<std::uint32_t>(m_literals.size()),
                           static_cast<std::uint32_t>(text.size())});
    }
    m_literals.append(text);
}

DateTimePattern::DateTimePattern(std::string_view pattern, const FormatSettings &fs)
{
    compile(pattern, fs, 0);
}

DateTimePattern DateTimePattern::shortDate(const FormatSettings &fs)
{
    DateTimePattern p;
    p.compile(fs.shortDateFormat, fs, 1);
    return p;
}

DateTimePattern DateTimePattern::dateTime(const FormatSettings &fs)
{
    DateTimePattern p;
    p.compile(fs.shortDateFormat, fs, 1);
    p.timeUnlessMidnight(fs, 1);
    return p;
}

void DateTimePattern::append(std::string &out, const LocalDateTime &dt) const
{
    for (std::size_t k = 0; k < m_steps.size(); ++k) {
        const Step &s = m_steps[k];
        switch (s.op) {
        case Op::Literal:
            out.append(m_literals, s.offset, s.length);
            break;
        case Op::Year2:
            appendNumber(out, dt.year % 100, s.width);
            break;
        case Op::Year4:
            appendNumber(out, dt.year, s.width);
            break;
        case Op::Month:
            appendNumber(out, dt.month, s.width);
            break;
        case Op::Day:
            appendNumber(out, dt.day, s.width);
            break;
        case Op::Hour:
            appendNumber(out, dt.hour, s.width);
            break;
        case Op::Minute:
            appendNumber(out, dt.minute, s.width);
            break;
        case Op::Second:
            appendNumber(out, dt.second, s.width);
            break;
        case Op::Millisecond:
            appendNumber(out, dt.millisecond, s.width);
            break;
        case Op::ShortMonthName:
            out += nameAt(kShortMonths, dt.month - 1);
            break;
        case Op::LongMonthName:
            out += nameAt(kLongMonths, dt.month - 1);
            break;
        case Op::ShortDayName:
            out += nameAt(kShortDays, weekday(dt.year, dt.month, dt.day));
            break;
        case Op::LongDayName:
            out += nameAt(kLongDays, weekday(dt.year, dt.month, dt.day));
            break;
        case Op::SkipAtMidnight:
            if (dt.isMidnight())
                k += s.length;
            break;
        }
    }
}

} // namespace tally
