#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tally {

// The most bytes writeInteger writes ("-9223372036854775808").
inline constexpr std::size_t kMaxIntegerChars = 20;

namespace detail {

inline constexpr char kDigitPairs[201] = "00010203040506070809"
                                         "10111213141516171819"
                                         "20212223242526272829"
                                         "30313233343536373839"
                                         "40414243444546474849"
                                         "50515253545556575859"
                                         "60616263646566676869"
                                         "70717273747576777879"
                                         "80818283848586878889"
                                         "90919293949596979899";

// 10^0 to 10^19, all that fit 64 bits.
inline constexpr std::uint64_t kPowersOfTen[20] = {1ULL,
                                                   10ULL,
                                                   100ULL,
                                                   1000ULL,
                                                   10000ULL,
                                                   100000ULL,
                                                   1000000ULL,
                                                   10000000ULL,
                                                   100000000ULL,
                                                   1000000000ULL,
                                                   10000000000ULL,
                                                   100000000000ULL,
                                                   1000000000000ULL,
                                                   10000000000000ULL,
                                                   100000000000000ULL,
                                                   1000000000000000ULL,
                                                   10000000000000000ULL,
                                                   100000000000000000ULL,
                                                   1000000000000000000ULL,
                                                   10000000000000000000ULL};

// The number of decimal digits of v (1 for 0). The bit width times
// log10(2) (1233 / 4096) is the count or one less; one comparison decides.
inline unsigned decimalLength(std::uint64_t v)
{
    const std::uint64_t nonzero = v | 1; // 0 has a digit too
    const unsigned guess = static_cast<unsigned>(std::bit_width(nonzero)) * 1233 >> 12;
    return guess + (nonzero >= kPowersOfTen[guess] ? 1 : 0);
}

// Writes the digits of v backwards, two at a time, ending at end.
template <typename Unsigned>
[[gnu::always_inline]] inline void writeDigitsBackwards(char *end, Unsigned v)
{
    while (v >= 100) {
        const Unsigned rest = v / 100;
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * (v - rest * 100), 2);
        v = rest;
    }
    if (v >= 10)
        std::memcpy(end - 2, kDigitPairs + 2 * v, 2);
    else
        end[-1] = static_cast<char>('0' + v);
}

} // namespace detail

// Writes the decimal digits of v at out ("0" for 0); returns the end. Inline,
// for writers that put numbers into their buffers by the million: values
// that fit 32 bits, most of them, are divided in 32-bit arithmetic.
inline char *writeDigits(char *out, std::uint64_t v)
{
    char *const end = out + detail::decimalLength(v);
    if (v <= UINT32_MAX)
        detail::writeDigitsBackwards(end, static_cast<std::uint32_t>(v));
    else
        detail::writeDigitsBackwards(end, v);
    return end;
}

// Writes v in decimal at out, a minus sign first when it is negative ("-42");
// returns the end.
inline char *writeInteger(char *out, std::int64_t v)
{
    std::uint64_t magnitude = static_cast<std::uint64_t>(v);
    if (v < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    return writeDigits(out, magnitude);
}

// Writes n hundredths as a decimal number: the whole units, then, when there
// are hundredths, the separator and one or two decimals without a trailing
// zero ("12", "12.5", "12.05"); returns the end. Most amounts are below 2^32
// hundredths: those are divided in 32-bit arithmetic.
inline char *writeHundredthsAsDecimal(char *out, std::uint64_t n, char separator)
{
    unsigned cents = 0;
    if (n <= UINT32_MAX) {
        const auto n32 = static_cast<std::uint32_t>(n);
        out = writeDigits(out, n32 / 100);
        cents = n32 % 100;
    } else {
        out = writeDigits(out, n / 100);
        cents = static_cast<unsigned>(n % 100);
    }
    if (cents != 0) {
        *out++ = separator;
        *out++ = static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0)
            *out++ = static_cast<char>('0' + cents % 10);
    }
    return out;
}

} // namespace tally
