#include "base/decimaldigits.h"
#include "base/formatsettings.h"
#include "base/numberformat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using tally::FormatSettings;

namespace {

FormatSettings prc()
{
    return FormatSettings::chinesePrc();
}

FormatSettings commaDecimal()
{
    FormatSettings fs = prc();
    fs.decimalSeparator = ',';
    fs.thousandSeparator = '.';
    return fs;
}

struct GeneralCase
{
    double value;
    int precision;
    const char *expected;
};

TEST(FormatGeneral, ShortestFormWithinPrecision)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<GeneralCase> cases = {
        {50.80, 15, "50.8"},
        {0.1 + 0.2, 15, "0.3"},
        {2.5, 15, "2.5"},
        {0.013, 15, "0.013"},
        {17, 15, "17"},
        {0, 15, "0"},
        {-0.0, 15, "0"},
        {-2.5, 15, "-2.5"},
        {1.0 / 3, 15, "0.333333333333333"},
        {2.0 / 3, 15, "0.666666666666667"},
        {999999999999999.0, 15, "999999999999999"},
        {1e15, 15, "1E15"},
        {1e20, 15, "1E20"},
        {123456789012345678.0, 15, "1.23456789012346E17"},
        {0.0001, 15, "0.0001"},
        {0.00012, 15, "0.00012"},
        {0.00001, 15, "1E-5"},
        {-1.5e-7, 15, "-1.5E-7"},
        {3.14159, 4, "3.142"},
        {9.99999, 3, "10"},
        {12345, 3, "1.23E4"},
        {std::nan(""), 15, "NAN"},
        {inf, 15, "INF"},
        {-inf, 15, "-INF"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatGeneral(c.value, prc(), c.precision), c.expected) << c.value;
}

TEST(FormatGeneral, RoundingAndRangeEdges)
{
    const std::vector<GeneralCase> cases = {
        // Exact binary ties round to even, as printf does; others to nearest.
        {2.5, 1, "2"},
        {3.5, 1, "4"},
        {0.125, 2, "0.12"},
        {0.375, 2, "0.38"},
        {2.675, 3, "2.67"}, // 2.67499999... in binary
        {999999999999999.5, 15, "1E15"},
        {99999.95, 6, "99999.9"},
        {9.9999999999999995e-5, 15, "0.0001"},
        {0.000099999999999999, 15, "9.9999999999999E-5"},
        {0.1, 17, "0.10000000000000001"},
        {0.1, 16, "0.1"},
        {1e16, 17, "10000000000000000"},
        {123456789.125, 17, "123456789.125"},
        {std::numeric_limits<double>::max(), 15, "1.79769313486232E308"},
        {std::numeric_limits<double>::lowest(), 15, "-1.79769313486232E308"},
        {std::numeric_limits<double>::min(), 15, "2.2250738585072E-308"},
        {std::numeric_limits<double>::denorm_min(), 15, "4.94065645841247E-324"},
        {-std::numeric_limits<double>::denorm_min(), 1, "-5E-324"},
        {1e-320, 15, "9.99988867182683E-321"},
        {-0.0, 1, "0"},
        {1e-300 * 1e-300, 15, "0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatGeneral(c.value, prc(), c.precision), c.expected)
            << c.value << " at " << c.precision;
}

// The general form as DecimalDigits rounds it, the way it has always been
// built; the formatter reads the digits without that string.
std::string generalByDecimalDigits(double value, const FormatSettings &fs, int precision)
{
    const auto d = tally::detail::DecimalDigits::fromDouble(value, precision);
    if (d.isZero())
        return "0";
    std::string out = d.negative ? "-" : "";
    if (d.pointPos > precision || d.pointPos < -3) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += fs.decimalSeparator;
            out.append(d.digits, 1);
        }
        return out + "E" + std::to_string(d.pointPos - 1);
    }
    out += d.integerDigits();
    const std::string fraction = d.fractionDigits();
    if (!fraction.empty())
        out += fs.decimalSeparator + fraction;
    return out;
}

TEST(FormatGeneral, AgreesWithDecimalDigitsRounding)
{
    std::vector<double> values;
    std::mt19937_64 random(14);
    // Any bit pattern: every exponent, subnormals included.
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v))
            values.push_back(v);
    }
    // Values as packets and users write them: few decimals, any magnitude.
    for (int i = 0; i < 20000; ++i) {
        const auto mantissa =
            static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000);
        values.push_back(mantissa / std::pow(10.0, static_cast<int>(random() % 12)));
        values.push_back(mantissa * std::pow(10.0, static_cast<int>(random() % 25)));
    }
    // Whole hundredths up to 17 digits and their neighbours: money and
    // prices, most of what the shortcut for hundredths writes.
    for (int i = 0; i < 20000; ++i) {
        const auto cents =
            static_cast<std::int64_t>(random() % 100000000000000000ULL) /
            static_cast<std::int64_t>(std::pow(10.0, static_cast<int>(random() % 17)));
        const double v = static_cast<double>(i % 2 == 0 ? cents : -cents) / 100.0;
        for (const double w : {v, std::nextafter(v, 0.0), std::nextafter(v, HUGE_VAL)})
            values.push_back(w);
        // Sums of such values, a little off the nearest double of their
        // decimal, as computed amounts are; and a few units off it.
        const double sum = v + static_cast<double>(random() % 100000) / 100.0;
        values.push_back(sum);
        double w = sum;
        for (int step = 0; step < 4; ++step)
            values.push_back(w = std::nextafter(w, HUGE_VAL));
        w = sum;
        for (int step = 0; step < 4; ++step)
            values.push_back(w = std::nextafter(w, -HUGE_VAL));
    }
    // Just below and above powers of ten, where the last digit's unit
    // changes.
    for (int e = -2; e <= 14; ++e) {
        double w = std::pow(10.0, e);
        for (int step = 0; step < 6; ++step)
            values.push_back(w = std::nextafter(w, 0.0));
    }
    // Both sides of 2^32 hundredths, where the shortcut's arithmetic widens.
    for (const double v : {42949672.95, 42949672.96, 42949672.9, 42949673.0, 42949672.0})
        for (const double w : {v, -v, std::nextafter(v, 0.0), std::nextafter(v, HUGE_VAL)})
            values.push_back(w);
    // Decimal ties and the neighbours of powers of ten.
    for (int e = -310; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        for (const double v : {p, 5 * p, 1.5 * p, 9.5 * p, 0.125 * p})
            for (const double w : {v, std::nextafter(v, 0.0), std::nextafter(v, HUGE_VAL)})
                if (std::isfinite(w))
                    values.push_back(w);
    }
    int mismatches = 0;
    for (const int precision : {1, 2, 3, 6, 10, 14, 15, 16, 17})
        for (const double v : values) {
            const std::string expected = generalByDecimalDigits(v, prc(), precision);
            if (tally::formatGeneral(v, prc(), precision) != expected && ++mismatches <= 10)
                ADD_FAILURE() << std::hexfloat << v << " at " << precision << ": "
                              << tally::formatGeneral(v, prc(), precision) << " != " << expected;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(AppendGeneral, AppendsToWhatIsThere)
{
    std::string out = "x=";
    tally::appendGeneral(out, -1234.5, commaDecimal());
    tally::appendInteger(out, -9223372036854775807LL - 1);
    EXPECT_EQ(out, "x=-1234,5-9223372036854775808");
}

TEST(WriteGeneral, WritesWhatFormatGeneralGives)
{
    const double values[] = {0.0,          -0.0,
                             1.0 / 3.0,    -1234.5,
                             1e-5,         -1.2345678901234567e-300,
                             1.5e300,      12345.67,
                             std::nan(""), -std::numeric_limits<double>::infinity()};
    for (const double v : values) {
        char buffer[tally::kMaxGeneralChars];
        char *end = tally::writeGeneral(buffer, v, commaDecimal(), 17);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(end - buffer)),
                  tally::formatGeneral(v, commaDecimal(), 17))
            << v;
    }
}

TEST(FormatGeneral, UsesTheDecimalSeparator)
{
    EXPECT_EQ(tally::formatGeneral(2.5, commaDecimal()), "2,5");
    EXPECT_EQ(tally::formatGeneral(1.5e20, commaDecimal()), "1,5E20");
}

TEST(FormatCurrency, PositivePlacements)
{
    const char *expected[] = {"￥1,234.50", "1,234.50￥", "￥ 1,234.50", "1,234.50 ￥"};
    for (int format = 0; format < 4; ++format) {
        FormatSettings fs = prc();
        fs.currencyFormat = format;
        EXPECT_EQ(tally::formatCurrency(1234.5, fs), expected[format]) << format;
    }
}

TEST(FormatCurrency, NegativeForms)
{
    const char *expected[] = {
        "(￥1,234.50)", "-￥1,234.50",  "￥-1,234.50",   "￥1,234.50-",
        "(1,234.50￥)", "-1,234.50￥",  "1,234.50-￥",   "1,234.50￥-",
        "-1,234.50 ￥", "-￥ 1,234.50", "1,234.50 ￥-",  "￥ 1,234.50-",
        "￥ -1,234.50", "1,234.50- ￥", "(￥ 1,234.50)", "(1,234.50 ￥)",
    };
    for (int format = 0; format < 16; ++format) {
        FormatSettings fs = prc();
        fs.negCurrFormat = format;
        EXPECT_EQ(tally::formatCurrency(-1234.5, fs), expected[format]) << format;
    }
}

struct CurrencyCase
{
    double value;
    int decimals;
    int precision;
    const char *expected;
};

TEST(FormatCurrency, RoundsDecimalsAndSignificantDigits)
{
    const std::vector<CurrencyCase> cases = {
        {0, -1, 15, "￥0.00"},
        {0.125, -1, 15, "￥0.13"},
        {1.005, -1, 15, "￥1.01"},
        {-0.125, -1, 15, "￥-0.13"},
        {-0.001, -1, 15, "￥0.00"},
        {999.995, -1, 15, "￥1,000.00"},
        {1234567.891, 0, 15, "￥1,234,568"},
        {1234.5, 4, 15, "￥1,234.5000"},
        {123456789012.34, 2, 10, "￥123,456,789,000.00"},
        {32735.1, 2, 10, "￥32,735.10"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatCurrency(c.value, prc(), c.decimals, c.precision), c.expected)
            << c.value;
}

TEST(FormatCurrency, HonoursSeparatorsAndSettingsDecimals)
{
    FormatSettings fs = commaDecimal();
    fs.currencyString = "€";
    fs.currencyFormat = 3;
    fs.currencyDecimals = 3;
    EXPECT_EQ(tally::formatCurrency(1234567.5, fs), "1.234.567,500 €");
}

TEST(FormatNumber, FixedDecimalsWithAndWithoutGrouping)
{
    EXPECT_EQ(tally::formatNumber(1234.5, prc(), 4, 16), "1,234.5000");
    EXPECT_EQ(tally::formatNumber(6.1947, prc(), 4, 16), "6.1947");
    EXPECT_EQ(tally::formatNumber(-1234567.125, prc(), 2), "-1,234,567.13");
    EXPECT_EQ(tally::formatNumber(2.5, prc(), 0), "3");
    EXPECT_EQ(tally::formatNumber(-0.4, prc(), 0), "0");
    EXPECT_EQ(tally::formatNumber(999.0, prc(), 0), "999");
    EXPECT_EQ(tally::formatFixed(1234.5, prc(), 2), "1234.50");
    EXPECT_EQ(tally::formatFixed(-1234.5, commaDecimal(), 2), "-1234,50");
}

struct PatternCase
{
    const char *pattern;
    double value;
    const char *expected;
};

TEST(FormatFloatPattern, PatternLanguage)
{
    const std::vector<PatternCase> cases = {
        {"000000", 12, "000012"},
        {"000000", 1234567, "1234567"},
        {"0.00", 3.14159, "3.14"},
        {"0.00", 2.005, "2.01"},
        {"0", 2.5, "3"},
        {"0", -0.4, "0"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -1234.5, "-1,234.50"},
        {"#,##0.00", 0.5, "0.50"},
        {"#,##0", 999, "999"},
        {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
        {"#,##0.00;(#,##0.00)", 1234.5, "1,234.50"},
        {"0.00;-0.00;'zero'", 0, "zero"},
        {"0.00;-0.00;'zero'", 0.001, "zero"},
        {"0.00;;'zero'", -2, "-2.00"},
        {"#.##", 0.5, ".5"},
        {"0.##", 1, "1"},
        {"0.##", 1.235, "1.24"},
        {"0.0#", 1.5, "1.5"},
        {"\"￥\"#,##0.00", 5, "￥5.00"},
        {"0.00'元'", 12.3, "12.30元"},
        {"000-000", 12345, "012-345"},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.00E+00", 0.00012345, "1.23E-04"},
        {"0.0E-0", 12345, "1.2E4"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0.00E+00", 9.999, "1.00E+01"},
        {"00.0E+0", 12345, "12.3E+3"},
        {"0.0E+00;(0.0E+00)", -0.5, "(5.0E-01)"},
        {"", 50.8, "50.8"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::formatFloatPattern(c.pattern, c.value, prc()), c.expected)
            << c.pattern << " / " << c.value;
}

TEST(FormatFloatPattern, UsesTheSettingsSeparators)
{
    EXPECT_EQ(tally::formatFloatPattern("#,##0.00", 1234567.891, commaDecimal()), "1.234.567,89");
}

TEST(FormatZeroPadded, PadsToAtLeastTheDigits)
{
    EXPECT_EQ(tally::formatZeroPadded(12, 6), "000012");
    EXPECT_EQ(tally::formatZeroPadded(166753, 6), "166753");
    EXPECT_EQ(tally::formatZeroPadded(1234567, 6), "1234567");
    EXPECT_EQ(tally::formatZeroPadded(0, 6), "000000");
    EXPECT_EQ(tally::formatZeroPadded(-5, 6), "-000005");
    EXPECT_EQ(tally::formatZeroPadded(std::numeric_limits<std::int64_t>::min(), 6),
              "-9223372036854775808");
}

struct ParseFloatCase
{
    const char *text;
    std::optional<double> expected;
};

TEST(ParseFloat, AcceptsDecimalNumbersOnly)
{
    const std::vector<ParseFloatCase> cases = {
        {"1.5", 1.5},
        {" -2.5 ", -2.5},
        {"+3", 3.0},
        {"5.", 5.0},
        {".5", 0.5},
        {"1e3", 1000.0},
        {"2.5E-1", 0.25},
        {"28969.12", 28969.12},
        {"", {}},
        {"   ", {}},
        {"1,2", {}},
        {"abc", {}},
        {".", {}},
        {"-", {}},
        {"1e", {}},
        {"1e+", {}},
        {"1e999", {}},
        {"1e-999", 0.0},
        {"1e-310", 1e-310},
        {"0x10", {}},
        {"inf", {}},
        {"nan", {}},
        {"1.2.3", {}},
        {"1 2", {}},
        {"--1", {}},
        {"12abc", {}},
        {"0.00001e-999", 0.0},
        {"1000e-320", 1e-317},
        {"1e99999999999999999999", {}},
        {"1e-99999999999999999999", 0.0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::parseFloat(c.text, prc()), c.expected) << '"' << c.text << '"';
}

TEST(ParseFloat, UsesTheDecimalSeparator)
{
    EXPECT_EQ(tally::parseFloat("1,5", commaDecimal()), 1.5);
    EXPECT_EQ(tally::parseFloat("1.5", commaDecimal()), std::nullopt);
}

struct ParseIntCase
{
    const char *text;
    std::optional<std::int32_t> expected;
};

TEST(ParseInt32, AcceptsDecimalIntegersInRange)
{
    const std::vector<ParseIntCase> cases = {
        {"12", 12},
        {" -7 ", -7},
        {"+8", 8},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"99999999999999999999", {}},
        {"", {}},
        {" ", {}},
        {"1.0", {}},
        {"1,2", {}},
        {"abc", {}},
        {"+-1", {}},
        {"+", {}},
        {"1 2", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tally::parseInt32(c.text), c.expected) << '"' << c.text << '"';
}

} // namespace
