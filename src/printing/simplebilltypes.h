#pragma once

#include "printing/canvas.h"

#include <string>

namespace tally::printing {

// Horizontal alignment of a list report's texts; stored as 0, 1, 2.
enum class TAlignment
{
    taLeftJustify = 0,
    taRightJustify = 1,
    taCenter = 2
};

// A font of the list report: face, size in points and Canvas::FontStyle
// bits. It keeps its point size on every device.
struct TSimpleFont
{
    std::string Name = "宋体";
    int Size = 9;
    unsigned Style = Canvas::Regular;

    // The signed pixel height at ppi pixels per inch: negative, the
    // character height that the point size gives (MulDiv(Size, ppi, 72)).
    int Height(int ppi) const;
    // Sets the size from a signed pixel height at ppi (either sign gives the
    // same size); a height of 0 leaves the font unchanged.
    void SetHeight(int height, int ppi);

    friend bool operator==(const TSimpleFont &, const TSimpleFont &) = default;
};

} // namespace tally::printing
