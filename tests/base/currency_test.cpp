#include "base/currency.h"
#include "base/formatsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using tally::Currency;
using tally::FormatSettings;

namespace {

Currency money(const char *text)
{
    const auto c = Currency::parse(text);
    EXPECT_TRUE(c.has_value()) << text;
    return c.value_or(Currency());
}

struct ParseCase
{
    const char *text;
    std::optional<std::int64_t> scaled;
};

TEST(CurrencyParse, ExactFixedPoint)
{
    const std::vector<ParseCase> cases = {
        {"28969.12", 289691200},
        {"0", 0},
        {"-0.0001", -1},
        {" 12.5 ", 125000},
        {"+3", 30000},
        {"1.23456", 12346},
        {"-1.23455", -12346},
        {"0.00004", 0},
        {"1e2", 1000000},
        {"12.5e-1", 12500},
        {"922337203685477.5807", std::numeric_limits<std::int64_t>::max()},
        {"-922337203685477.5808", std::numeric_limits<std::int64_t>::min()},
        {"922337203685477.5808", {}},
        {"1e30", {}},
        {"", {}},
        {"abc", {}},
        {"1,2", {}},
        {"1.", 10000},
        {".", {}},
        {"1e", {}},
        {"12 3", {}},
    };
    for (const auto &c : cases) {
        const auto parsed = Currency::parse(c.text);
        ASSERT_EQ(parsed.has_value(), c.scaled.has_value()) << c.text;
        if (parsed) {
            EXPECT_EQ(parsed->scaled(), *c.scaled) << c.text;
        }
    }
}

TEST(CurrencyParse, UsesTheDecimalSeparator)
{
    FormatSettings fs = FormatSettings::chinesePrc();
    fs.decimalSeparator = ',';
    EXPECT_EQ(Currency::parse("12,5", fs), Currency::fromScaled(125000));
    EXPECT_EQ(Currency::parse("12.5", fs), std::nullopt);
}

TEST(CurrencyArithmetic, SumsAreExact)
{
    // Binary doubles would give 32735.100000000002 here.
    const Currency total = money("28969.12") + money("3765.98");
    EXPECT_EQ(total, money("32735.10"));
    EXPECT_EQ(total - money("308.5"), money("32426.60"));

    Currency sum;
    for (int i = 0; i < 10; ++i)
        sum += money("0.1");
    EXPECT_EQ(sum, money("1"));
}

TEST(CurrencyArithmetic, SaturatesInsteadOfWrapping)
{
    EXPECT_EQ(Currency::max() + money("1"), Currency::max());
    EXPECT_EQ(Currency::min() - money("1"), Currency::min());
    EXPECT_EQ(Currency::min() + money("1") - money("1"), Currency::min());
}

TEST(CurrencyConversion, FromAndToDouble)
{
    EXPECT_EQ(Currency::fromDouble(50.8).scaled(), 508000);
    EXPECT_EQ(Currency::fromDouble(1.00005).scaled(), 10001);
    EXPECT_EQ(Currency::fromDouble(-1.00005).scaled(), -10001);
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2).scaled(), 3000);
    EXPECT_EQ(Currency::fromDouble(std::nan("")).scaled(), 0);
    EXPECT_EQ(Currency::fromDouble(1e300), Currency::max());
    EXPECT_EQ(Currency::fromDouble(-1e300), Currency::min());
    EXPECT_DOUBLE_EQ(money("3765.98").toDouble(), 3765.98);
}

struct FormatCase
{
    const char *text;
    int decimals;
    int precision;
    const char *expected;
};

TEST(CurrencyFormat, FormatsExactly)
{
    const FormatSettings fs = FormatSettings::chinesePrc();
    EXPECT_EQ(tally::formatCurrency(money("28969.12") + money("3765.98"), fs, 2, 10),
              "￥32,735.10");
    const std::vector<FormatCase> cases = {
        {"28969.12", 2, 10, "￥28,969.12"},
        {"3765.98", 2, 10, "￥3,765.98"},
        {"32426.6", 2, 10, "￥32,426.60"},
        {"12.5", 2, 10, "￥12.50"},
        {"0", 2, 10, "￥0.00"},
        {"-308.5", 2, 10, "￥-308.50"},
        {"0.005", 2, 10, "￥0.01"},
        {"-0.004", 2, 10, "￥0.00"},
        {"1.2345", -1, 15, "￥1.23"},
        {"1.2345", 4, 15, "￥1.2345"},
        {"123456789012.34", 2, 10, "￥123,456,789,000.00"},
        {"922337203685477.5807", 4, 19, "￥922,337,203,685,477.5807"},
        {"-922337203685477.5808", 2, 15, "￥-922,337,203,685,478.00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatCurrency(money(c.text), fs, c.decimals, c.precision), c.expected)
            << c.text;
}

} // namespace
