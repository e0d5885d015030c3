#pragma once

#include <string>

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

    // Filled from the process's system locale; chinesePrc() for C/POSIX.
    static FormatSettings fromSystemLocale();
};

} // namespace tally
