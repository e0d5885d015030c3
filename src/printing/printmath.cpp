#include "printing/printmath.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace tally::printing {

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t num = static_cast<std::int64_t>(a) * b;
    const std::int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const std::int64_t n = std::llabs(num);
    const std::int64_t d = std::llabs(den);
    const std::int64_t q = (n + d / 2) / d;
    const std::int64_t r = negative ? -q : q;
    if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(r);
}

int RoundHalfEven(double value)
{
    // Explicit rather than std::nearbyint, which depends on the FPU mode.
    const double fl = std::floor(value);
    const double diff = value - fl;
    double r = fl;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(fl, 2.0) != 0.0))
        r = fl + 1.0;
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

} // namespace tally::printing
