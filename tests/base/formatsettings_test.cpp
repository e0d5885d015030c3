#include "base/formatsettings.h"
#include "base/numberformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

using tally::FormatSettings;

namespace {

TEST(FormatSettings, ChinesePrcDefaults)
{
    const FormatSettings fs = FormatSettings::chinesePrc();
    EXPECT_EQ(fs.currencyString, "￥");
    EXPECT_EQ(fs.currencyFormat, 0);
    EXPECT_EQ(fs.negCurrFormat, 2);
    EXPECT_EQ(fs.thousandSeparator, ',');
    EXPECT_EQ(fs.decimalSeparator, '.');
    EXPECT_EQ(fs.currencyDecimals, 2);
    EXPECT_EQ(fs.shortDateFormat, "yyyy-m-d");
    EXPECT_EQ(fs.longTimeFormat, "h:mm:ss");
}

TEST(FormatSettings, PlainCLocaleGivesChinesePrc)
{
    const char *previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_ALL, "C");
    const FormatSettings fs = FormatSettings::fromSystemLocale();
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(fs.currencyString, FormatSettings::chinesePrc().currencyString);
    EXPECT_EQ(fs.shortDateFormat, FormatSettings::chinesePrc().shortDateFormat);
    EXPECT_EQ(fs.negCurrFormat, FormatSettings::chinesePrc().negCurrFormat);
}

TEST(FormatSettings, SystemLocaleIsUsableForFormatting)
{
    // Whatever locale the machine has, the settings must stay consistent.
    const FormatSettings fs = FormatSettings::fromSystemLocale();
    EXPECT_NE(fs.decimalSeparator, fs.thousandSeparator);
    EXPECT_GE(fs.currencyFormat, 0);
    EXPECT_LE(fs.currencyFormat, 3);
    EXPECT_GE(fs.negCurrFormat, 0);
    EXPECT_LE(fs.negCurrFormat, 15);
    EXPECT_FALSE(fs.shortDateFormat.empty());
    EXPECT_EQ(tally::parseFloat(tally::formatGeneral(2.5, fs), fs), 2.5);
}

struct StrftimeCase
{
    const char *format;
    const char *pattern;
};

TEST(StrftimeToPattern, TranslatesCommonFormats)
{
    const std::vector<StrftimeCase> cases = {
        {"%Y-%m-%d", "yyyy-mm-dd"},
        {"%m/%d/%y", "mm/dd/yy"},
        {"%d.%m.%Y", "dd.mm.yyyy"},
        {"%H:%M:%S", "hh:nn:ss"},
        {"%I:%M:%S %p", "hh:nn:ss"},
        {"%T", "hh:nn:ss"},
        {"%Y年%m月%d日", "yyyy\"年\"mm\"月\"dd\"日\""},
        {"%H时%M分%S秒", "hh\"时\"nn\"分\"ss\"秒\""},
        {"%d de %B", "dd\" de \"mmmm"},
        {"%Y-%m-%d %%", "yyyy-mm-dd %"},
        {"%Hh%M", "hh\"h\"nn"},
        {"%e %k", "d h"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::strftimeToPattern(c.format), c.pattern) << c.format;
}

} // namespace
