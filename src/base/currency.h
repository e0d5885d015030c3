#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tally {

struct FormatSettings;

// Fixed-point money value with four decimals, held as a scaled 64-bit integer
// so sums and differences are exact.
class Currency
{
public:
    constexpr Currency() = default;

    static constexpr Currency fromScaled(std::int64_t scaled)
    {
        Currency c;
        c.m_scaled = scaled;
        return c;
    }
    // Rounds half away from zero to four decimals. NaN gives zero; values
    // beyond the range saturate at min()/max().
    static Currency fromDouble(double value);
    // Parses text with the user's decimal separator: optional sign, digits,
    // optional fraction and exponent, surrounding blanks allowed; more than four
    // decimals round half away from zero. nullopt when not a number (the empty
    // text included) or out of range.
    static std::optional<Currency> parse(std::string_view text, const FormatSettings &fs);
    // Same with '.' as the decimal separator (program text, data packets).
    static std::optional<Currency> parse(std::string_view text);

    static constexpr Currency max() { return fromScaled(INT64_MAX); }
    static constexpr Currency min() { return fromScaled(INT64_MIN); }

    constexpr std::int64_t scaled() const { return m_scaled; }
    double toDouble() const;

    // Sums and differences saturate at min()/max() instead of wrapping.
    constexpr Currency operator+(Currency o) const
    {
        std::int64_t r = 0;
        if (__builtin_add_overflow(m_scaled, o.m_scaled, &r))
            return o.m_scaled > 0 ? max() : min();
        return fromScaled(r);
    }
    constexpr Currency operator-(Currency o) const
    {
        std::int64_t r = 0;
        if (__builtin_sub_overflow(m_scaled, o.m_scaled, &r))
            return o.m_scaled < 0 ? max() : min();
        return fromScaled(r);
    }
    Currency &operator+=(Currency o) { return *this = *this + o; }
    Currency &operator-=(Currency o) { return *this = *this - o; }
    constexpr auto operator<=>(const Currency &) const = default;

private:
    std::int64_t m_scaled = 0;
};

// Currency form of a fixed-point value (see formatCurrency), exact: no detour
// through double. decimals < 0 means fs.currencyDecimals.
std::string formatCurrency(Currency value, const FormatSettings &fs, int decimals = -1,
                           int precision = 15);

} // namespace tally
