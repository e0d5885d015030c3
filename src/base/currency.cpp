#include "base/currency.h"

#include "base/decimaldigits.h"
#include "base/formatsettings.h"

#include <cmath>
#include <limits>

namespace tally {

namespace {

constexpr int kScaleDigits = 4;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Scaled integer of a decimal digit string, nullopt when out of range.
std::optional<std::int64_t> toScaled(detail::DecimalDigits d)
{
    d.roundToDecimals(kScaleDigits);
    if (d.isZero())
        return 0;
    const int wholeDigits = d.pointPos + kScaleDigits;
    if (wholeDigits > 19)
        return std::nullopt;
    // Accumulate negatively: the negative range is one larger.
    std::int64_t value = 0;
    for (int i = 0; i < wholeDigits; ++i) {
        const int digit =
            i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] - '0' : 0;
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_sub_overflow(value, digit, &value))
            return std::nullopt;
    }
    if (!d.negative) {
        if (value == std::numeric_limits<std::int64_t>::min())
            return std::nullopt;
        value = -value;
    }
    return value;
}

std::optional<Currency> parseWith(std::string_view text, char decimalSeparator)
{
    text = trimBlanks(text);
    detail::DecimalDigits d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        d.negative = text[i++] == '-';
    std::string digits;
    int pointPos = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++pointPos)
        digits += text[i];
    if (i < text.size() && text[i] == decimalSeparator) {
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            digits += text[i];
    }
    if (digits.empty())
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i == text.size() || !isDigit(text[i]))
            return std::nullopt;
        int exponent = 0;
        for (; i < text.size() && isDigit(text[i]); ++i)
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000);
        pointPos += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    // Strip leading zeros the same way the digit helper expects.
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return Currency();
    d.digits = digits.substr(first);
    d.pointPos = pointPos - static_cast<int>(first);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    const auto scaled = toScaled(d);
    if (!scaled)
        return std::nullopt;
    return Currency::fromScaled(*scaled);
}

} // namespace

Currency Currency::fromDouble(double value)
{
    if (std::isnan(value))
        return Currency();
    if (std::isinf(value))
        return value < 0 ? min() : max();
    const auto scaled = toScaled(detail::DecimalDigits::fromDouble(value, 15));
    if (!scaled)
        return value < 0 ? min() : max();
    return fromScaled(*scaled);
}

std::optional<Currency> Currency::parse(std::string_view text, const FormatSettings &fs)
{
    return parseWith(text, fs.decimalSeparator);
}

std::optional<Currency> Currency::parse(std::string_view text)
{
    return parseWith(text, '.');
}

double Currency::toDouble() const
{
    return static_cast<double>(m_scaled) / 10000.0;
}

std::string formatCurrency(Currency value, const FormatSettings &fs, int decimals, int precision)
{
    return detail::formatCurrencyDigits(
        detail::DecimalDigits::fromScaled(value.scaled(), kScaleDigits), fs, decimals, precision);
}

} // namespace tally
