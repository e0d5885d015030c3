#pragma once

#include <string>
#include <string_view>

namespace tally {

// The user's regional conventions for numbers, currency, dates and times.
// Every formatting function takes one explicitly, so tests pass their own.
struct FormatSettings
{
    std::string currencyString = "￥"; // UTF-8
    // Positive currency placement: 0 "￥1", 1 "1￥", 2 "￥ 1", 3 "1 ￥".
    int currencyFormat = 0;
    // Negative currency forms 0..15 as the regional settings number them
    // (0 "(￥1)", 1 "-￥1", 2 "￥-1", 3 "￥1-", ... 15 "(1 ￥)").
    int negCurrFormat = 2;
    char thousandSeparator = ',';
    char decimalSeparator = '.';
    int currencyDecimals = 2;
    // Date/time patterns in the regional pattern language ("yyyy-m-d", "h:mm:ss").
    std::string shortDateFormat = "yyyy-m-d";
    std::string longTimeFormat = "h:mm:ss";

    // Chinese (PRC) conventions, used when the system locale is plain C.
    static FormatSettings chinesePrc();

    // Filled from the process's current C library locale (the caller decides
    // whether to call setlocale(LC_ALL, "") first). Each of LC_MONETARY,
    // LC_NUMERIC and LC_TIME that is "C", "POSIX" or "C.<charset>" keeps the
    // chinesePrc() values, as does whatever the locale leaves undefined; a
    // separator wider than one ASCII byte becomes ' ' (grouping) or '.'. Reads
    // localeconv(), so do not call it while another thread changes the locale.
    static FormatSettings fromSystemLocale();
};

// Converts a C library date/time format ("%Y-%m-%d", "%H:%M:%S") into the
// regional pattern language ("yyyy-mm-dd", "hh:nn:ss"); unknown conversions are
// dropped and literal letters quoted.
std::string strftimeToPattern(std::string_view format);

} // namespace tally
