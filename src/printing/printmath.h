#pragma once

namespace tally::printing {

// a × b / c computed in 64 bits and rounded to the nearest integer, halves
// away from zero, as the platform's MulDiv does; -1 when c is 0.
int MulDiv(int a, int b, int c);

// Rounds to the nearest integer with ties to even (banker's rounding), the
// rounding used for offsets and font heights while drawing.
int RoundHalfEven(double value);

} // namespace tally::printing
