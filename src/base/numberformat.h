#pragma once

#include "base/formatsettings.h"
#include "base/integertext.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tally {

// General number form with up to `precision` significant digits, shortest
// representation, no grouping; exponent form only when the digits do not fit
// (50.80 -> "50.8", 1e20 -> "1E20", 1e-5 -> "1E-5"); exponent form when the
// integer digits exceed `precision` or the value is below 0.0001. Uses the
// settings' decimal separator; NaN and infinities give "NAN", "INF", "-INF".
std::string formatGeneral(double value, const FormatSettings &fs, int precision = 15);

// Appends formatGeneral(value, fs, precision) to out without building a text
// of its own, for writers that format many cells into one buffer.
void appendGeneral(std::string &out, double value, const FormatSettings &fs, int precision = 15);

// The most bytes formatGeneral gives.
inline constexpr std::size_t kMaxGeneralChars = 48;

namespace detail {

// Writes `value` when its general form with 15 digits is a whole number of
// hundredths (most prices, amounts and quantities); false otherwise. With n
// the product value * 100 rounded to a whole number below 10^15, that form
// is n / 100 when value lies within half a unit of its 15th digit of n / 100,
// and that half unit is more than 5e-16 of the value. The product is off the
// exact one by at most 1.2e-16 of itself, so a product within 2.5e-16 * n of
// n is close enough.
inline bool writeHundredths(char *&out, double value, char decimalSeparator, int precision)
{
    constexpr double kLimit = 1e15;
    constexpr double kTolerance = 2.5e-16;
    const double scaled = value * 100.0;
    if (precision != 15 || !(std::fabs(scaled) < kLimit))
        return false;
    const auto whole = static_cast<std::int64_t>(scaled + std::copysign(0.5, scaled));
    const std::uint64_t n =
        whole < 0 ? 0 - static_cast<std::uint64_t>(whole) : static_cast<std::uint64_t>(whole);
    // One test for exact products and near ones alike: a branch on which of
    // the two it is would be mispredicted as often as they alternate.
    if (!(std::fabs(scaled - static_cast<double>(whole)) <= kTolerance * static_cast<double>(n)))
        return false;
    if (n != 0 && std::signbit(value))
        *out++ = '-';
    out = writeHundredthsAsDecimal(out, n, decimalSeparator);
    return true;
}

// writeGeneral for every value: out of line, so that the common case above
// does not pay for setting up this one.
[[gnu::noinline]] char *writeGeneralDigits(char *out, double value, const FormatSettings &fs,
                                           int precision);

} // namespace detail

// Writes formatGeneral(value, fs, precision) at out, which has room for
// kMaxGeneralChars bytes; returns the end of what it wrote. Inline, for
// writers that format numbers by the million.
inline char *writeGeneral(char *out, double value, const FormatSettings &fs, int precision = 15)
{
    if (detail::writeHundredths(out, value, fs.decimalSeparator, precision))
        return out;
    return detail::writeGeneralDigits(out, value, fs, precision);
}

// Appends the decimal form of value ("-42").
void appendInteger(std::string &out, std::int64_t value);

// Currency form: symbol placement by currencyFormat / negCurrFormat, thousands
// separators, `decimals` fixed decimals, value first rounded to `precision`
// significant digits, rounding half away from zero. decimals < 0 means
// fs.currencyDecimals. A value that rounds to zero shows as positive zero.
std::string formatCurrency(double value, const FormatSettings &fs, int decimals = -1,
                           int precision = 15);

// Fixed decimals with thousands separators ("1,234.5000"), the value first
// rounded to `precision` significant digits (1..17). NaN/INF give "NAN"/"INF".
std::string formatNumber(double value, const FormatSettings &fs, int decimals, int precision = 15);

// Fixed decimals without grouping or symbol ("1234.50"), otherwise as formatNumber.
std::string formatFixed(double value, const FormatSettings &fs, int decimals, int precision = 15);

// Number pattern language of display formats: "0", "#", ".", ",", literal
// text in quotes, ";" sections for negative and zero ("000000", "0.00",
// "#,##0.00", "0.00E+00"). Uses the settings' separators for '.' and ','. An
// empty pattern gives the general form; a value shown by its own negative or
// zero section gets no minus sign.
std::string formatFloatPattern(std::string_view pattern, double value, const FormatSettings &fs);

// printf "%.6d": at least `digits` digits, zero-padded, minus sign in front.
std::string formatZeroPadded(std::int64_t value, int digits);

// Decimal number with the user's decimal separator: optional sign, digits,
// optional fraction and exponent, surrounding blanks allowed. nullopt when not
// a number (the empty text included).
std::optional<double> parseFloat(std::string_view text, const FormatSettings &fs);

// Decimal integer (optional sign, surrounding blanks allowed). nullopt when not one
// or out of 32-bit range.
std::optional<std::int32_t> parseInt32(std::string_view text);

} // namespace tally
