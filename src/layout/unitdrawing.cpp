#include "layout/unitdrawing.h"

#include "layout/tcell.h"
#include "printing/canvas.h"
#include "printing/drawingframe.h"

namespace tally::layout {

using printing::Canvas;
using printing::Rect;

unsigned UnitTextFlags(const TBasicUnit &unit)
{
    unsigned flags = Canvas::ExpandTabs | Canvas::NoPrefix;
    switch (unit.HAlign()) {
    case 1: flags |= Canvas::AlignRight; break;
    case 2: flags |= Canvas::AlignCenter; break;
    default: flags |= Canvas::AlignLeft; break;
    }
    flags |= unit.WrapsText() ? Canvas::WordBreak : Canvas::NoClip;
    return flags;
}

void DrawUnit(Canvas &canvas, const printing::DrawingFrame &frame, const TBasicUnit &unit,
              Rect rect, bool scaled, std::string_view text)
{
    if (text.empty())
        return;
    canvas.setFontName(unit.FontName());
    canvas.setFontSize(unit.FontSize());
    if (scaled)
        canvas.setFontHeight(frame.ScaleFontHeight(canvas.fontHeight()));
    // The layout's style bits (bold 1, italic 2, underline 4) are the canvas's.
    canvas.setFontStyle(unit.FontStyle());
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);

    const unsigned flags = UnitTextFlags(unit);
    const Rect measured = canvas.measureText(text, rect, flags);
    int dy = 0;
    if (unit.VAlign() == 2)
        dy = rect.bottom - measured.bottom;
    else if (unit.VAlign() != 0)
        dy = (rect.bottom + rect.top - measured.top - measured.bottom) / 2;
    canvas.drawText(text, rect.translated(0, dy), flags);
}

void DrawCellUnit(Canvas &canvas, const printing::DrawingFrame &frame, const TCell &cell,
                  Rect rect, bool scaled, std::string_view text)
{
    if (cell.Diagonal()) {
        canvas.moveTo(rect.left, rect.top);
        canvas.lineTo(rect.right, rect.bottom);
    }
    const int dx = scaled ? frame.ScaleX(2) : 2;
    const int dy = scaled ? frame.ScaleY(2) : 2;
    const Rect inner{rect.left + dx, rect.top + dy, rect.right - dx, rect.bottom - dy};
    DrawUnit(canvas, frame, cell, inner, scaled, text);
    cell.SetDrawn(true);
}

} // namespace tally::layout
