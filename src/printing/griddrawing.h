#pragma once

#include "printing/canvastypes.h"

namespace tally::printing {

class Canvas;
class DrawingFrame;

// Fill colour of units with fixed text while a bill is in its design state.
inline constexpr Color kDesignFixedTextColor = Color::fromBgr(0x0093B748);

// Which grid lines of one grid slot are visible.
struct SlotLines
{
    bool top = false;
    bool left = false;
    bool bottom = false; // the top line of the slot below
    bool right = false;  // the left line of the slot to the right
};

// Draws the visible lines of one grid slot whose device rectangle is rect,
// with the canvas's pen: top, left, bottom, right, in this order.
void DrawSlotLines(Canvas &canvas, const Rect &rect, const SlotLines &lines);

// Fills a whole cell's device rectangle except its top and left pixel line
// (white, or the design colour), so lines drawn inside a merged cell are
// erased and its outline stays. Leaves the brush solid.
void FillCellArea(Canvas &canvas, const Rect &rect, bool designHighlight);

// Fills a free item's device rectangle (white, or the design colour).
// Leaves the brush solid.
void FillFooterArea(Canvas &canvas, const Rect &rect, bool designHighlight);

// Draws the thick outer frame around the grid: layoutRect in layout pixels
// (left 0, top the end of the top area row, right the page width, bottom
// the start of the bottom area row), a pen two screen pixels wide whatever
// the zoom. Afterwards the pen is 1 wide and the brush solid.
void DrawOuterFrame(Canvas &canvas, const DrawingFrame &frame, const Rect &layoutRect);

} // namespace tally::printing
