#pragma once

#include "printing/canvastypes.h"
#include "printing/qt/preview/previewgeometry.h"

namespace tally::printing {
class Canvas;
class IPrintable;
} // namespace tally::printing

namespace tally::printing::preview {

// Everything the drawing surface shows besides the page itself.
struct SheetPaintState
{
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    double scale = 1.0;
    SheetGeometry sheet;
    int marginX = 0; // layout pixels from the printable area
    int marginY = 0;
    int page = 0; // page to draw, from 1
    Color marginColor{0, 128, 128};
    // The dotted guide of a margin drag in progress.
    MarginLine guide = MarginLine::None;
    int guideX = 0;
    int guideY = 0;
};

// Paints the preview's drawing surface: the white sheet with its frame, the
// page drawn through the bill at the printable area's corner, the parts of
// the page outside the printable area wiped, grey corner marks around the
// printable area, the two margin lines and the drag guide. A page outside
// 1..page count is not drawn. Exceptions of the bill's drawing propagate
// after the canvas origin has been restored.
void PaintPreviewSheet(Canvas &canvas, IPrintable &printable, const SheetPaintState &state);

} // namespace tally::printing::preview
