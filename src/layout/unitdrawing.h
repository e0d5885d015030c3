#pragma once

#include "printing/canvastypes.h"

#include <string_view>

namespace tally::printing {
class Canvas;
class DrawingFrame;
} // namespace tally::printing

namespace tally::layout {

class TBasicUnit;
class TCell;

// Draws the text of a unit into rect (device pixels): the unit's font, its
// pixel height zoomed by the frame when scaled, a clear brush, horizontal
// alignment, word breaking for cells and no clipping for free items, tabs
// expanded and '&' printed as is; placed vertically from the measured text.
// Nothing is drawn for an empty text.
void DrawUnit(printing::Canvas &canvas, const printing::DrawingFrame &frame,
              const TBasicUnit &unit, printing::Rect rect, bool scaled, std::string_view text);

// Draws a cell: the diagonal when it has one, then its text inset by two
// layout pixels (scaled) or two device pixels, and sets its Drawn mark.
void DrawCellUnit(printing::Canvas &canvas, const printing::DrawingFrame &frame,
                  const TCell &cell, printing::Rect rect, bool scaled, std::string_view text);

// The text format bits DrawUnit uses for a unit.
unsigned UnitTextFlags(const TBasicUnit &unit);

} // namespace tally::layout
