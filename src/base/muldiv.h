#pragma once

#include <cstdint>
#include <optional>

namespace tally {

// value * numerator / denominator computed in 64 bits without intermediate
// overflow and rounded to the nearest integer, halves away from zero, as the
// platform's MulDiv does. Empty when denominator is 0 or the result does not
// fit 32 bits.
std::optional<std::int32_t> MulDivChecked(std::int32_t value, std::int32_t numerator,
                                          std::int32_t denominator);

// MulDivChecked with the platform's answer for a failure, -1, for the drawing
// formulas that are stated in its terms.
inline std::int32_t MulDiv(std::int32_t value, std::int32_t numerator, std::int32_t denominator)
{
    return MulDivChecked(value, numerator, denominator).value_or(-1);
}

} // namespace tally
