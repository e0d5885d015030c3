#include "base/muldiv.h"

#include <limits>

namespace tally {

std::optional<std::int32_t> MulDivChecked(std::int32_t value, std::int32_t numerator,
                                          std::int32_t denominator)
{
    if (denominator == 0)
        return std::nullopt;
    const std::int64_t product = std::int64_t{value} * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    // |product| < 2^62 and |denominator| <= 2^31, so this cannot overflow.
    const std::uint64_t magnitude =
        product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t divisor = denominator < 0
                                      ? 0 - static_cast<std::uint64_t>(std::int64_t{denominator})
                                      : static_cast<std::uint64_t>(denominator);
    const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
    const std::int64_t result =
        negative ? -static_cast<std::int64_t>(quotient) : static_cast<std::int64_t>(quotient);
    if (result < std::numeric_limits<std::int32_t>::min() ||
        result > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(result);
}

} // namespace tally
