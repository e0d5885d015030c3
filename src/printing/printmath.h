#pragma once

#include "base/muldiv.h"

namespace tally::printing {

// Rounds to the nearest integer with ties to even (banker's rounding), the
// rounding used for offsets and font heights while drawing.
int RoundHalfEven(double value);

} // namespace tally::printing
