#include "printing/printmath.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace tally::printing {

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
