// Page rendering of TCustomBill: grid cells row by row, free items, the frame.
#include "layout/tcustombill.h"

#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/tfooter.h"
#include "layout/unitdrawing.h"
#include "printing/canvas.h"
#include "printing/printmath.h"

namespace tally::layout {

using printing::Canvas;
using printing::DrawingFrame;
using printing::Rect;

namespace {

Rect toRect(const TRect &r)
{
    return {r.Left, r.Top, r.Right, r.Bottom};
}

void resetDrawn(const TBillLayout &layout)
{
    layout.HeadBlock().ResetDrawn();
    layout.LeftBlock().ResetDrawn();
    layout.BodyBlock().ResetDrawn();
    layout.TailBlock().ResetDrawn();
}

} // namespace

printing::Color TCustomBill::fillColor(const TBasicUnit &unit) const
{
    return m_designState && unit.FixedText() ? kDesignFixedColor : printing::kWhite;
}

void TCustomBill::RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex)
{
    TBillLayout &layout = *m_layout;
    resetDrawn(layout);
    // Marks are reset per row: the body templates are shared by every body
    // row, and within a row they keep a merged cell from being drawn twice.
    for (int r = 1; r <= layout.RowCount() - 2; ++r) {
        resetDrawn(layout);
        for (int c = 0; c < layout.ColCount(); ++c)
            DrawCell(canvas, frame, c, r, pageIndex);
    }
    for (const TFooter &item : layout.TopFooters())
        DrawFooter(canvas, frame, item, false, pageIndex);
    for (const TFooter &item : layout.BottomFooters())
        DrawFooter(canvas, frame, item, true, pageIndex);

    if (m_drawEdge) {
        // Two screen pixels wide whatever the zoom.
        canvas.setPenWidth(printing::MulDiv(2, frame.DeviceDpiX(), frame.ScreenPPI()));
        const TColRow &rows = layout.Rows();
        const Rect r = frame.ScaleRect(
            {0, rows.EndPosition(0), layout.GetPageWidth(), rows.Position(rows.Count() - 1)});
        canvas.moveTo(r.left, r.top);
        canvas.lineTo(r.right, r.top);
        canvas.lineTo(r.right, r.bottom);
        canvas.lineTo(r.left, r.bottom);
        canvas.lineTo(r.left, r.top - 1);
        canvas.setPenWidth(1);
        canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    }
}

void TCustomBill::DrawCell(Canvas &canvas, const DrawingFrame &frame, int col, int row,
                           int pageIndex)
{
    TBillLayout &layout = *m_layout;
    const TCell &cell = layout.CellAt(col, row);
    if (cell.Drawn())
        return;
    canvas.setPenWidth(frame.ScaleX(1));

    const TGridRect range = cell.GridRect();
    for (int i = range.Left; i <= range.Right; ++i) {
        for (int j = range.Top; j <= range.Bottom; ++j) {
            const Rect r = frame.ScaleRect(toRect(layout.CellRect({i, j, i, j})));
            if (layout.Edge(i, j).TopLine) {
                canvas.moveTo(r.left, r.top);
                canvas.lineTo(r.right, r.top);
            }
            if (layout.Edge(i, j).LeftLine) {
                canvas.moveTo(r.left, r.top);
                canvas.lineTo(r.left, r.bottom);
            }
            if (layout.Edge(i, j + 1).TopLine) {
                canvas.moveTo(r.left, r.bottom);
                canvas.lineTo(r.right, r.bottom);
            }
            if (layout.Edge(i + 1, j).LeftLine) {
                canvas.moveTo(r.right, r.top);
                canvas.lineTo(r.right, r.bottom);
            }
        }
    }

    // The fill keeps the outline and erases the lines inside a merged cell.
    const Rect whole = frame.ScaleRect(toRect(layout.CellRect(range)));
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(fillColor(cell));
    canvas.fillRect({whole.left + 1, whole.top + 1, whole.right, whole.bottom});

    const std::string text = GetCellText(cell, col, row, pageIndex);
    DrawCellUnit(canvas, frame, cell, whole, true, text);
    if (m_onDrawCell)
        m_onDrawCell(*this, canvas, col, row, pageIndex, whole);
}

void TCustomBill::DrawFooter(Canvas &canvas, const DrawingFrame &frame, const TFooter &item,
                             bool bottom, int pageIndex)
{
    TRect source = item.Rect();
    if (bottom) {
        const int dy = m_layout->Rows().Position(m_layout->RowCount() - 1);
        source.Top += dy;
        source.Bottom += dy;
    }
    const Rect r = frame.ScaleRect(toRect(source));
    const std::string text = GetFooterText(item, pageIndex);
    canvas.setBrushStyle(Canvas::BrushStyle::Solid);
    canvas.setBrushColor(fillColor(item));
    canvas.fillRect(r);
    DrawUnit(canvas, frame, item, r, true, text);
}

} // namespace tally::layout
