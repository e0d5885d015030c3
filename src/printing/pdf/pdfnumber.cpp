#include "printing/pdf/pdfnumber.h"

#include <cmath>

namespace tally::printing::pdf {

namespace {

// Writes the digits of v forwards at out. Page coordinates have at most
// four digits: those are written without a loop.
char *copyDigits(char *out, std::uint64_t v)
{
    const auto digit = [](std::uint64_t d) { return static_cast<char>('0' + d); };
    if (v < 10) {
        *out = digit(v);
        return out + 1;
    }
    if (v < 100) {
        out[0] = digit(v / 10);
        out[1] = digit(v % 10);
        return out + 2;
    }
    if (v < 1000) {
        out[0] = digit(v / 100);
        out[1] = digit(v / 10 % 10);
        out[2] = digit(v % 10);
        return out + 3;
    }
    if (v < 10000) {
        out[0] = digit(v / 1000);
        out[1] = digit(v / 100 % 10);
        out[2] = digit(v / 10 % 10);
        out[3] = digit(v % 10);
        return out + 4;
    }
    int n = 1;
    for (std::uint64_t t = v; t >= 10; t /= 10)
        ++n;
    char *end = out + n;
    char *p = end;
    do {
        *--p = digit(v % 10);
        v /= 10;
    } while (v);
    return end;
}

} // namespace

char *formatInteger(char *out, std::int64_t v)
{
    if (v < 0) {
        *out++ = '-';
        return copyDigits(out, 0 - static_cast<std::uint64_t>(v));
    }
    return copyDigits(out, static_cast<std::uint64_t>(v));
}

char *formatNumber(char *out, double v)
{
    constexpr double kLimit = 1e15;
    if (!(v > -kLimit)) // also NaN
        v = std::isnan(v) ? 0 : -kLimit;
    else if (v > kLimit)
        v = kLimit;
    const auto hundredths = static_cast<std::int64_t>(std::llround(v * 100));
    if (hundredths == 0) {
        *out++ = '0';
        return out;
    }
    std::uint64_t magnitude = static_cast<std::uint64_t>(hundredths);
    if (hundredths < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    out = copyDigits(out, magnitude / 100);
    const auto fraction = static_cast<unsigned>(magnitude % 100);
    if (fraction) {
        *out++ = '.';
        *out++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10)
            *out++ = static_cast<char>('0' + fraction % 10);
    }
    return out;
}

void appendNumber(std::string &s, double v)
{
    char buf[kNumberChars];
    s.append(buf, formatNumber(buf, v));
}

void appendInteger(std::string &s, std::int64_t v)
{
    char buf[kNumberChars];
    s.append(buf, formatInteger(buf, v));
}

} // namespace tally::printing::pdf
