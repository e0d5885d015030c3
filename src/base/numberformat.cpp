#include "base/numberformat.h"

#include "base/decimaldigits.h"
#include "base/formatsettings.h"
#include "base/integertext.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tally {

using detail::DecimalDigits;

namespace {

// Numbers below 0.0001 switch to exponent form, as the classic general
// format does; so do numbers with more integer digits than the precision.
constexpr int kMinFixedPointPos = -3;

constexpr int kMaxDecimals = 18;

std::string_view trimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// For a number from_chars found out of range: true when it is too small rather
// than too large (its first significant digit lies right of the point).
bool underflows(const std::string &normalized)
{
    const auto e = normalized.find('e');
    const std::string mantissa = normalized.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char *first = normalized.data() + e + 1;
        if (*first == '+')
            ++first;
        if (std::from_chars(first, normalized.data() + normalized.size(), exponent).ec !=
            std::errc())
            return normalized[e + 1] == '-'; // an exponent beyond long long
    }
    const auto point = mantissa.find('.');
    const std::string integer = mantissa.substr(0, point);
    const auto firstNonZero = integer.find_first_not_of("-0");
    if (firstNonZero != std::string::npos)
        return exponent + static_cast<long long>(integer.size() - firstNonZero) <= 0;
    const std::string fraction =
        point == std::string::npos ? std::string() : mantissa.substr(point + 1);
    const auto firstFraction = fraction.find_first_not_of('0');
    if (firstFraction == std::string::npos)
        return true; // all zeros
    return exponent - static_cast<long long>(firstFraction) <= 0;
}

std::string nonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Reads "-d.ddde+XX" (to_chars' scientific form) into its digits and the
// power of ten of the first one.
void readScientific(const char *first, const char *last, char *digits, int &count, int &exponent)
{
    if (*first == '-')
        ++first;
    count = 0;
    for (; first != last && *first != 'e'; ++first) {
        if (*first != '.')
            digits[count++] = *first;
    }
    exponent = 0;
    if (first != last) {
        for (const char *p = first + 2; p != last; ++p)
            exponent = exponent * 10 + (*p - '0');
        if (first[1] == '-')
            exponent = -exponent;
    }
}

// The digits DecimalDigits::fromDouble gives: the value correctly rounded to
// `precision` significant digits, exact binary ties to even.
void correctlyRoundedDigits(double value, int precision, char *digits, int &count, int &exponent)
{
    char buffer[48];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value,
                                                 std::chars_format::scientific, precision - 1);
    readScientific(buffer, r.ptr, digits, count, exponent);
}

// The same digits by integer arithmetic, for the usual magnitudes (about
// 1e-5 to 1e15 at 15 digits): the value is f * 2^e exactly, so
// f * 10^s / 2^-e rounded half to even, with s making it `precision` digits
// long, is exactly what the exact path rounds, without its cost. False
// outside that range.
#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 Uint128;

bool scaledDigits(double value, int precision, char *digits, int &count, int &exponent)
{
    const auto &kPow10 = detail::kPowersOfTen;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value) & ~(1ULL << 63);
    const auto biased = static_cast<int>(bits >> 52);
    if (biased == 0)
        return false; // zero and subnormals
    const std::uint64_t f = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int shift = 1075 - biased; // value = f / 2^shift
    if (shift < 1 || shift > 120)
        return false;
    // floor(log10(value)) is this or one more: log10(2) ~ 78913 / 2^18.
    const int log2 = 52 - shift;
    int power = (log2 * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int scale = precision - 1 - power;
        if (scale < 0 || scale > 19)
            return false;
        const Uint128 product = static_cast<Uint128>(f) * kPow10[scale];
        auto n = static_cast<std::uint64_t>(product >> shift);
        const Uint128 rest = product & ((static_cast<Uint128>(1) << shift) - 1);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (rest > half || (rest == half && (n & 1) != 0))
            ++n;
        if (n >= kPow10[precision]) {
            ++power; // the value (or its rounding) has one more digit
            continue;
        }
        if (n < kPow10[precision - 1])
            return false;
        // Most values have few significant digits: dropping the trailing
        // zeros first (the caller drops them anyway) keeps the conversion short.
        // Constant divisors, written out: the compiler then multiplies
        // instead of dividing (a loop over them kept four divisions).
        const auto strip = [&n](std::uint64_t divisor) {
            if (n % divisor == 0)
                n /= divisor;
        };
        strip(100000000);
        strip(10000);
        strip(100);
        strip(10);
        count = static_cast<int>(writeDigits(digits, n) - digits);
        exponent = power;
        return true;
    }
    return false;
}
#else
bool scaledDigits(double, int, char *, int &, int &)
{
    return false; // no 128-bit integers: the exact path does it all
}
#endif

std::string fixedNumber(const DecimalDigits &d, const FormatSettings &fs, int decimals, bool group)
{
    std::string out = d.integerDigits();
    if (group)
        out = detail::groupThousands(out, fs.thousandSeparator);
    if (decimals > 0) {
        out += fs.decimalSeparator;
        out += d.fractionDigits(decimals);
    }
    return out;
}

} // namespace

namespace detail {

std::string formatCurrencyDigits(DecimalDigits value, const FormatSettings &fs, int decimals,
                                 int precision)
{
    if (decimals < 0)
        decimals = fs.currencyDecimals;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    value.roundToSignificant(std::max(precision, 1));
    value.roundToDecimals(decimals);
    const std::string n = fixedNumber(value, fs, decimals, true);
    const std::string &s = fs.currencyString;
    if (!value.negative) {
        switch (fs.currencyFormat) {
        case 1:
            return n + s;
        case 2:
            return s + " " + n;
        case 3:
            return n + " " + s;
        default:
            return s + n;
        }
    }
    switch (fs.negCurrFormat) {
    case 1:
        return "-" + s + n;
    case 2:
        return s + "-" + n;
    case 3:
        return s + n + "-";
    case 4:
        return "(" + n + s + ")";
    case 5:
        return "-" + n + s;
    case 6:
        return n + "-" + s;
    case 7:
        return n + s + "-";
    case 8:
        return "-" + n + " " + s;
    case 9:
        return "-" + s + " " + n;
    case 10:
        return n + " " + s + "-";
    case 11:
        return s + " " + n + "-";
    case 12:
        return s + " -" + n;
    case 13:
        return n + "- " + s;
    case 14:
        return "(" + s + " " + n + ")";
    case 15:
        return "(" + n + " " + s + ")";
    default:
        return "(" + s + n + ")";
    }
}

} // namespace detail

char *detail::writeGeneralDigits(char *out, double value, const FormatSettings &fs, int precision)
{
    if (!std::isfinite(value)) {
        const std::string text = nonFinite(value);
        return std::copy(text.begin(), text.end(), out);
    }
    precision = std::clamp(precision, 1, 17);
    char digits[24];
    int count = 0;
    int exponent = 0;
    const bool negative = std::signbit(value);
    if (!scaledDigits(value, precision, digits, count, exponent))
        correctlyRoundedDigits(value, precision, digits, count, exponent);
    // Only zero has a leading zero digit in scientific form.
    while (count > 0 && digits[count - 1] == '0')
        --count;
    char *p = out;
    if (count == 0) {
        *p++ = '0';
        return p;
    }
    const int pointPos = exponent + 1;
    if (pointPos > precision || pointPos < kMinFixedPointPos) {
        if (negative)
            *p++ = '-';
        *p++ = digits[0];
        if (count > 1) {
            *p++ = fs.decimalSeparator;
            p = std::copy(digits + 1, digits + count, p);
        }
        *p++ = 'E';
        return std::to_chars(p, out + kMaxGeneralChars, pointPos - 1).ptr;
    }
    // Fixed form: a sign, at most 17 digits and zeros on either side of the
    // separator, at most 3 zeros after it.
    if (negative)
        *p++ = '-';
    if (pointPos <= 0) {
        *p++ = '0';
    } else {
        const int whole = std::min(pointPos, count);
        p = std::copy(digits, digits + whole, p);
        p = std::fill_n(p, pointPos - whole, '0');
    }
    if (count > pointPos) {
        *p++ = fs.decimalSeparator;
        if (pointPos < 0)
            p = std::fill_n(p, -pointPos, '0');
        const int from = std::max(pointPos, 0);
        p = std::copy(digits + from, digits + count, p);
    }
    return p;
}

void appendGeneral(std::string &out, double value, const FormatSettings &fs, int precision)
{
    char text[kMaxGeneralChars];
    out.append(text, writeGeneral(text, value, fs, precision));
}

std::string formatGeneral(double value, const FormatSettings &fs, int precision)
{
    std::string out;
    appendGeneral(out, value, fs, precision);
    return out;
}

void appendInteger(std::string &out, std::int64_t value)
{
    char buffer[kMaxIntegerChars];
    out.append(buffer, writeInteger(buffer, value));
}

std::string formatCurrency(double value, const FormatSettings &fs, int decimals, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    return detail::formatCurrencyDigits(
        DecimalDigits::fromDouble(value, std::clamp(precision, 1, 17)), fs, decimals, precision);
}

namespace {

std::string fixedForm(double value, const FormatSettings &fs, int decimals, int precision,
                      bool group)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    DecimalDigits d = DecimalDigits::fromDouble(value, std::clamp(precision, 1, 17));
    d.roundToDecimals(decimals);
    std::string out = d.negative ? "-" : "";
    out += fixedNumber(d, fs, decimals, group);
    return out;
}

} // namespace

std::string formatNumber(double value, const FormatSettings &fs, int decimals, int precision)
{
    return fixedForm(value, fs, decimals, precision, true);
}

std::string formatFixed(double value, const FormatSettings &fs, int decimals, int precision)
{
    return fixedForm(value, fs, decimals, precision, false);
}

std::string formatZeroPadded(std::int64_t value, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*lld", std::clamp(digits, 0, 40),
                  static_cast<long long>(value));
    return buffer;
}

std::optional<double> parseFloat(std::string_view text, const FormatSettings &fs)
{
    text = trimBlanks(text);
    std::string normalized;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normalized += '-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
        normalized += text[i];
    if (i < text.size() && text[i] == fs.decimalSeparator) {
        normalized += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
            normalized += text[i];
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normalized += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            normalized += text[i++];
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits)
            normalized += text[i];
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const char *end = normalized.data() + normalized.size();
    const auto [ptr, ec] = std::from_chars(normalized.data(), end, value);
    if (ec == std::errc::result_out_of_range && ptr == end && underflows(normalized))
        return normalized.front() == '-' ? -0.0 : 0.0;
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> parseInt32(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return std::nullopt;
    }
    std::int32_t value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace tally
