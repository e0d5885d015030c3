// Page rendering of TCustomBill: grid cells row by row, free items, the frame.
#include "layout/tcustombill.h"

#include "layout/tbilllayout.h"
#include "layout/tcell.h"
#include "layout/tfooter.h"
#include "printing/canvas.h"
#include "printing/griddrawing.h"
#include "printing/unitdrawing.h"

namespace tally::layout {

using printing::Canvas;
using printing::DrawingFrame;
using printing::Rect;

namespace {

// How the printing engine draws the text of this unit.
printing::UnitStyle styleOf(const TBasicUnit &unit, bool diagonal)
{
    printing::UnitStyle style;
    style.fontName = unit.FontName();
    style.fontSize = unit.FontSize();
    // The layout's style bits (bold 1, italic 2, underline 4) are the canvas's.
    style.fontStyle = unit.FontStyle();
    style.hAlign = unit.HAlign();
    style.vAlign = unit.VAlign();
    style.wrapsText = unit.WrapsText();
    style.diagonal = diagonal;
    return style;
}

void resetDrawn(const TBillLayout &layout)
{
    layout.HeadBlock().ResetDrawn();
    layout.LeftBlock().ResetDrawn();
    layout.BodyBlock().ResetDrawn();
    layout.TailBlock().ResetDrawn();
}

} // namespace

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
        const TColRow &rows = layout.Rows();
        printing::DrawOuterFrame(
            canvas, frame,
            {0, rows.EndPosition(0), layout.GetPageWidth(), rows.Position(rows.Count() - 1)});
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
            const Rect r = frame.ScaleRect((layout.CellRect({i, j, i, j})));
            printing::DrawSlotLines(canvas, r,
                                    {layout.Edge(i, j).TopLine, layout.Edge(i, j).LeftLine,
                                     layout.Edge(i, j + 1).TopLine,
                                     layout.Edge(i + 1, j).LeftLine});
        }
    }

    // The fill keeps the outline and erases the lines inside a merged cell.
    const Rect whole = frame.ScaleRect((layout.CellRect(range)));
    printing::FillCellArea(canvas, whole, m_designState && cell.FixedText());

    const std::string text = GetCellText(cell, col, row, pageIndex);
    printing::DrawCellUnit(canvas, whole, &frame, styleOf(cell, cell.Diagonal()), text);
    cell.SetDrawn(true);
    if (m_onDrawCell)
        m_onDrawCell(*this, canvas, col, row, pageIndex, whole);
}

void TCustomBill::DrawFooter(Canvas &canvas, const DrawingFrame &frame, const TFooter &item,
                             bool bottom, int pageIndex)
{
    Rect source = item.Rect();
    if (bottom)
        source = source.translated(0, m_layout->Rows().Position(m_layout->RowCount() - 1));
    const Rect r = frame.ScaleRect(source);
    const std::string text = GetFooterText(item, pageIndex);
    printing::FillFooterArea(canvas, r, m_designState && item.FixedText());
    printing::DrawUnitText(canvas, r, &frame, styleOf(item, false), text);
}

} // namespace tally::layout
