#pragma once

#include <cstdint>

namespace tally::printing {

// A point in device pixels (or layout pixels, depending on the caller).
struct Point
{
    int x = 0;
    int y = 0;

    friend bool operator==(const Point &, const Point &) = default;
};

// A rectangle given by its edges; right and bottom lie just outside it, as
// the platform's rectangle fill treats them.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    friend bool operator==(const Rect &, const Rect &) = default;
};

// An opaque RGB colour.
struct Color
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    // A colour stored the way layouts and form descriptions store it:
    // 0x00BBGGRR (blue in the high byte).
    static constexpr Color fromBgr(std::uint32_t bgr)
    {
        return {static_cast<std::uint8_t>(bgr & 0xFF), static_cast<std::uint8_t>((bgr >> 8) & 0xFF),
                static_cast<std::uint8_t>((bgr >> 16) & 0xFF)};
    }

    friend bool operator==(const Color &, const Color &) = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

} // namespace tally::printing
