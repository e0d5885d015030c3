#include "printing/griddrawing.h"

#include "printing/canvas.h"
#include "printing/drawingframe.h"
#include "printing/printmath.h"

namespace tally::printing {

void DrawSlotLines(Canvas &canvas, const Rect &r, const SlotLines &lines)
{
    if (lines.top) {
        canvas.moveTo(r.left, r.top);
        canvas.lineTo(r.right, r.top);
    }
    if (lines.left) {
        canvas.moveTo(r.left, r.top);
        canvas.lineTo(r.left, r.bottom);
    }
    if (lines.bottom) {
        canvas.moveTo(r.left, r.bottom);
        canvas.lineTo(r.right, r.bottom);
    }
    if (lines.right) {
        canvas.moveTo(r.right, r.top);
        canvas.lineTo(r.right, r.bottom);
    }
}

void FillCellArea(Canvas &canvas, const Rect &r, bool designHighlight)
{
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(designHighlight ? kDesignFixedTextColor : kWhite);
    canvas.fillRect({r.left + 1, r.top + 1, r.right, r.bottom});
}

void FillFooterArea(Canvas &canvas, const Rect &r, bool designHighlight)
{
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(designHighlight ? kDesignFixedTextColor : kWhite);
    canvas.fillRect(r);
}

void DrawOuterFrame(Canvas &canvas, const DrawingFrame &frame, const Rect &layoutRect)
{
    canvas.setPenWidth(MulDiv(2, frame.DeviceDpiX(), frame.ScreenPPI()));
    const Rect r = frame.ScaleRect(layoutRect);
    canvas.moveTo(r.left, r.top);
    canvas.lineTo(r.right, r.top);
    canvas.lineTo(r.right, r.bottom);
    canvas.lineTo(r.left, r.bottom);
    // One pixel further, so the excluded end point still closes the corner.
    canvas.lineTo(r.left, r.top - 1);
    canvas.setPenWidth(1);
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
}

} // namespace tally::printing
