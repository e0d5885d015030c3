#pragma once

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

    static constexpr Currency fromScaled(std::int64_t scaled) { Currency c; c.m_scaled = scaled; return c; }
    // Rounds half away from zero to four decimals.
    static Currency fromDouble(double value);
    // Parses text with the user's decimal separator; nullopt when not a number
    // (the empty text included) or out of range.
    static std::optional<Currency> parse(std::string_view text, const FormatSettings &fs);

    constexpr std::int64_t scaled() const { return m_scaled; }
    double toDouble() const;

    constexpr Currency operator+(Currency o) const { return fromScaled(m_scaled + o.m_scaled); }
    constexpr Currency operator-(Currency o) const { return fromScaled(m_scaled - o.m_scaled); }
    constexpr bool operator==(const Currency &) const = default;

private:
    std::int64_t m_scaled = 0;
};

// Currency form of a fixed-point value (see formatCurrency), exact: no detour
// through double. decimals < 0 means fs.currencyDecimals.
std::string formatCurrency(Currency value, const FormatSettings &fs, int decimals = -1,
                           int precision = 15);

} // namespace tally
