#include "base/decimaldigits.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace tally::detail {

DecimalDigits DecimalDigits::fromDouble(double value, int precision)
{
    precision = std::clamp(precision, 1, 17);
    char buffer[64];
    // "-d.ddddde+XX", correctly rounded; to_chars gives what printf's "%.*e"
    // gives, several times faster, and numbers fill most cells of a page.
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer - 1, value,
                                                   std::chars_format::scientific, precision - 1);
    *end.ptr = '\0';
    DecimalDigits d;
    const char *p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    d.pointPos = exponent + 1;
    d.normalize();
    return d;
}

DecimalDigits DecimalDigits::fromScaled(std::int64_t scaled, int scaleDigits)
{
    DecimalDigits d;
    d.negative = scaled < 0;
    // Unsigned negation keeps INT64_MIN exact.
    std::uint64_t magnitude =
        d.negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string reversed;
    while (magnitude > 0) {
        reversed += static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    d.digits.assign(reversed.rbegin(), reversed.rend());
    d.pointPos = static_cast<int>(d.digits.size()) - scaleDigits;
    d.normalize();
    return d;
}

void DecimalDigits::normalize()
{
    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        digits.clear();
        pointPos = 0;
        negative = false;
        return;
    }
    digits.erase(0, firstNonZero);
    pointPos -= static_cast<int>(firstNonZero);
    digits.erase(digits.find_last_not_of('0') + 1);
}

void DecimalDigits::keepDigits(int count)
{
    if (count >= static_cast<int>(digits.size()))
        return;
    if (count < 0) {
        digits.clear();
        normalize();
        return;
    }
    const bool roundUp = digits[static_cast<std::size_t>(count)] >= '5';
    digits.resize(static_cast<std::size_t>(count));
    if (roundUp) {
        int i = count - 1;
        for (; i >= 0; --i) {
            char &c = digits[static_cast<std::size_t>(i)];
            if (c == '9') {
                c = '0';
            } else {
                ++c;
                break;
            }
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++pointPos;
        }
    }
    normalize();
}

void DecimalDigits::roundToSignificant(int count)
{
    keepDigits(count);
}

void DecimalDigits::roundToDecimals(int decimals)
{
    keepDigits(pointPos + decimals);
}

std::string DecimalDigits::integerDigits() const
{
    if (pointPos <= 0)
        return "0";
    std::string out = digits.substr(
        0, static_cast<std::size_t>(std::min<int>(pointPos, static_cast<int>(digits.size()))));
    out.append(static_cast<std::size_t>(pointPos) - out.size(), '0');
    return out;
}

std::string DecimalDigits::fractionDigits(int count) const
{
    std::string out;
    out.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const int index = pointPos + i;
        out += index >= 0 && index < static_cast<int>(digits.size())
                   ? digits[static_cast<std::size_t>(index)]
                   : '0';
    }
    return out;
}

std::string DecimalDigits::fractionDigits() const
{
    return fractionDigits(std::max(0, static_cast<int>(digits.size()) - pointPos));
}

std::string groupThousands(const std::string &integerDigits, char separator)
{
    std::string out;
    out.reserve(integerDigits.size() + integerDigits.size() / 3);
    const std::size_t n = integerDigits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += integerDigits[i];
    }
    return out;
}

} // namespace tally::detail
