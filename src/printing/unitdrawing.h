#pragma once

#include "printing/canvastypes.h"
#include "printing/unitcodes.h"

#include <string>
#include <string_view>

namespace tally::printing {

class Canvas;
class DrawingFrame;

// How a layout unit (a grid cell or a free text item) draws its text.
struct UnitStyle
{
    std::string fontName;
    int fontSize = 9;       // points
    unsigned fontStyle = 0; // Canvas::FontStyle bits
    HorzAlign hAlign = HorzAlign::Left;
    VertAlign vAlign = VertAlign::Middle;
    bool wrapsText = false; // cells wrap at word breaks, free items do not clip
    bool diagonal = false;  // cells only: a line from top-left to bottom-right
};

// Draws the text of a unit into rect (device pixels): the font taken over
// at its point size and, when frame is given (scaled drawing), its pixel
// height zoomed by the frame; transparent background; the text placed
// vertically from its measured extent (moved up when taller than rect).
// Empty text draws nothing.
void DrawUnitText(Canvas &canvas, const Rect &rect, const DrawingFrame *frame,
                  const UnitStyle &style, std::string_view text);

// Draws a grid cell's content into rect: the diagonal when set, then the
// text 2 layout pixels inside on every side (2 device pixels when frame is
// null).
void DrawCellUnit(Canvas &canvas, const Rect &rect, const DrawingFrame *frame,
                  const UnitStyle &style, std::string_view text);

} // namespace tally::printing
