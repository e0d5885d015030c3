#pragma once

#include <cstdint>
#include <string>

namespace tally::printing::pdf {

// Room formatNumber and formatInteger need at most.
inline constexpr int kNumberChars = 24;

// Writes v rounded to hundredths in its shortest form ("12", "12.5",
// "-0.25", never "-0" or an exponent) at out and returns the end. Values
// beyond +-1e15 are clamped; PDF readers take no more anyway.
char *formatNumber(char *out, double v);

// Writes the decimal digits of v at out and returns the end.
char *formatInteger(char *out, std::int64_t v);

// Appends formatNumber / formatInteger text to s.
void appendNumber(std::string &s, double v);
void appendInteger(std::string &s, std::int64_t v);

} // namespace tally::printing::pdf
