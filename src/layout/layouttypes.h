#pragma once

#include "base/screenresolution.h"

#include <cstdint>

namespace tally::layout {

// A range of grid or block slots; all four bounds are inclusive.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    friend bool operator==(const TGridRect &, const TGridRect &) = default;
};

// The two grid-line flags of one grid slot: the line on top of the slot and
// the line on its left.
struct TEdge
{
    bool TopLine = true;
    bool LeftLine = true;

    friend bool operator==(const TEdge &, const TEdge &) = default;
};

// Font style bits of a text unit.
enum class TFontStyle : std::uint8_t
{
    Bold = 1,
    Italic = 2,
    Underline = 4,
};

// Page settings carried in a layout stream. They belong to the bill base; the
// layout keeps the values read from or written to its stream.
struct TPageSettings
{
    int ZoomRatio = 100; // percent
    int OffsetX = 0;     // layout pixels
    int OffsetY = 0;     // layout pixels
    int PrintOrient = 0; // 0 portrait, 1 landscape
    int PaperSize = 0;   // paper code; 256 means PaperLength x PaperWidth
    int PaperLength = 0;
    int PaperWidth = 0;
    bool AutoFit = false; // fit the body rows to the printer page

    friend bool operator==(const TPageSettings &, const TPageSettings &) = default;
};

} // namespace tally::layout
