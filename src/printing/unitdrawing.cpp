#include "printing/unitdrawing.h"

#include "printing/canvas.h"
#include "printing/drawingframe.h"

namespace tally::printing {

void DrawUnitText(Canvas &canvas, const Rect &rect, const DrawingFrame *frame,
                  const UnitStyle &style, std::string_view text)
{
    if (text.empty())
        return;
    canvas.setFontName(style.fontName);
    canvas.setFontSize(style.fontSize);
    if (frame)
        canvas.setFontHeight(frame->ScaleFontHeight(canvas.fontHeight()));
    canvas.setFontStyle(style.fontStyle);
    canvas.setBrushStyle(Canvas::BrushStyle::Clear);

    unsigned flags = Canvas::ExpandTabs | Canvas::NoPrefix;
    if (style.hAlign == HorzAlign::Right)
        flags |= Canvas::AlignRight;
    else if (style.hAlign == HorzAlign::Centre)
        flags |= Canvas::AlignCenter;
    flags |= style.wrapsText ? Canvas::WordBreak : Canvas::NoClip;

    const Rect measured = canvas.measureText(text, rect, flags);
    int dy = 0;
    if (style.vAlign == VertAlign::Bottom)
        dy = rect.bottom - measured.bottom;
    else if (style.vAlign != VertAlign::Top)
        dy = (rect.bottom + rect.top - measured.top - measured.bottom) / 2;
    canvas.drawText(text, rect.translated(0, dy), flags);
}

void DrawCellUnit(Canvas &canvas, const Rect &rect, const DrawingFrame *frame,
                  const UnitStyle &style, std::string_view text)
{
    if (style.diagonal) {
        canvas.moveTo(rect.left, rect.top);
        canvas.lineTo(rect.right, rect.bottom);
    }
    const int insetX = frame ? frame->ScaleX(2) : 2;
    const int insetY = frame ? frame->ScaleY(2) : 2;
    const Rect inner{rect.left + insetX, rect.top + insetY, rect.right - insetX,
                     rect.bottom - insetY};
    DrawUnitText(canvas, inner, frame, style, text);
}

} // namespace tally::printing
