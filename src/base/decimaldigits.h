#pragma once

#include <cstdint>
#include <string>

namespace tally::detail {

// A decimal number as a digit string: value = 0.<digits> x 10^pointPos.
// Digits carry no leading or trailing zeros; empty digits mean zero. Rounding
// works on the digits, so formatting never suffers double rounding in binary.
struct DecimalDigits
{
    bool negative = false;
    std::string digits;
    int pointPos = 0;

    bool isZero() const { return digits.empty(); }

    // The double's shortest-correct decimal form rounded to `precision`
    // significant digits (1..17). NaN and infinities must be handled by the caller.
    static DecimalDigits fromDouble(double value, int precision);

    // Exact form of scaled / 10^scaleDigits.
    static DecimalDigits fromScaled(std::int64_t scaled, int scaleDigits);

    // Rounds half away from zero to `count` significant digits.
    void roundToSignificant(int count);

    // Rounds half away from zero to `decimals` digits after the point.
    void roundToDecimals(int decimals);

    // Digits before the point, "0" when there are none.
    std::string integerDigits() const;

    // Exactly `count` digits after the point, zero-padded.
    std::string fractionDigits(int count) const;

    // Digits after the point without trailing zeros.
    std::string fractionDigits() const;

private:
    void keepDigits(int count);
    void normalize();
};

// Inserts `separator` between groups of three digits ("1234567" -> "1,234,567").
std::string groupThousands(const std::string &integerDigits, char separator);

} // namespace tally::detail

namespace tally {
struct FormatSettings;
}

namespace tally::detail {

// Currency form of a decimal value; shared by the double and fixed-point overloads.
std::string formatCurrencyDigits(DecimalDigits value, const FormatSettings &fs, int decimals,
                                 int precision);

} // namespace tally::detail
