#include "printing/pdf/pdfnumber.h"

#include "base/integertext.h"

#include <cmath>

namespace tally::printing::pdf {

char *formatInteger(char *out, std::int64_t v)
{
    return writeInteger(out, v);
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
    return writeHundredthsAsDecimal(out, magnitude, '.');
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
