#include "layout/builtin/layoutbuilder.h"

#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <algorithm>

namespace tally::builtin {

using layout::TBasicUnit;
using layout::TBillLayout;
using layout::TBlock;
using layout::TCell;
using layout::TFontStyle;
using layout::TFooter;

namespace {

void applyUnit(TBasicUnit &unit, const LayoutSource::Unit &from)
{
    unit.SetText(from.text);
    unit.SetFontName(from.fontName);
    unit.SetFontSize(from.fontSize);
    unit.SetFontStyle(0);
    if (from.bold)
        unit.AddStyle(TFontStyle::Bold);
    if (from.italic)
        unit.AddStyle(TFontStyle::Italic);
    if (from.underline)
        unit.AddStyle(TFontStyle::Underline);
    unit.SetHAlign(from.hAlign);
    unit.SetVAlign(from.vAlign);
    unit.SetFixedText(from.fixedText);
    unit.SetSumKind(from.sumKind);
    unit.SetSumField(from.sumField);
}

std::vector<TFooter> freeItems(const std::vector<LayoutSource::FreeItem> &items)
{
    std::vector<TFooter> footers;
    footers.reserve(items.size());
    for (const LayoutSource::FreeItem &item : items) {
        TFooter &footer = footers.emplace_back();
        applyUnit(footer, item.unit);
        footer.SetRect({item.left, item.top, item.right, item.bottom});
    }
    return footers;
}

void fillBlock(TBlock &block, int cols, int rows, const std::vector<LayoutSource::Cell> &cells)
{
    block.SetSize(cols, rows);
    for (const LayoutSource::Cell &cell : cells) {
        if (cell.colSpan > 0 || cell.rowSpan > 0)
            block.Merge({cell.col, cell.row, cell.col + cell.colSpan, cell.row + cell.rowSpan});
        applyUnit(block.GetCell(cell.col, cell.row), cell.unit);
    }
}

std::string describeUnit(const TBasicUnit &u)
{
    return "\"" + u.Text() + "\" font " + u.FontName() + " " + std::to_string(u.FontSize()) +
           " style " + std::to_string(u.FontStyle()) + " align " +
           std::to_string(printing::codeNumber(u.HAlign())) + "/" +
           std::to_string(printing::codeNumber(u.VAlign())) + (u.FixedText() ? "" : " var") +
           " sum " + std::to_string(printing::codeNumber(u.SumKind())) + ":" +
           std::to_string(u.SumField());
}

bool sameUnit(const TBasicUnit &a, const TBasicUnit &b)
{
    return a.Text() == b.Text() && a.FontName() == b.FontName() && a.FontSize() == b.FontSize() &&
           a.FontStyle() == b.FontStyle() && a.HAlign() == b.HAlign() && a.VAlign() == b.VAlign() &&
           a.FixedText() == b.FixedText() && a.SumKind() == b.SumKind() &&
           a.SumField() == b.SumField();
}

std::string compareFreeItems(const std::vector<TFooter> &actual,
                             const std::vector<LayoutSource::FreeItem> &expected,
                             const std::string &what)
{
    const std::vector<TFooter> wanted = freeItems(expected);
    if (actual.size() != wanted.size())
        return what + ": " + std::to_string(actual.size()) + " items, not " +
               std::to_string(wanted.size());
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (!sameUnit(actual[i], wanted[i]) || !(actual[i].Rect() == wanted[i].Rect()))
            return what + " item " + std::to_string(i + 1) + ": " + describeUnit(actual[i]) +
                   ", not " + describeUnit(wanted[i]);
    return {};
}

std::string compareBlock(const TBlock &block, int cols, int rows,
                         const std::vector<LayoutSource::Cell> &cells, const std::string &what)
{
    if (block.ColCount() != cols || block.RowCount() != rows)
        return what + " block is " + std::to_string(block.ColCount()) + " × " +
               std::to_string(block.RowCount());
    for (int c = 0; c < cols; ++c) {
        for (int r = 0; r < rows; ++r) {
            const TCell &cell = block.Slot(c, r);
            const auto listed = std::find_if(cells.begin(), cells.end(), [&](const auto &x) {
                return c >= x.col && c <= x.col + x.colSpan && r >= x.row && r <= x.row + x.rowSpan;
            });
            const std::string slot = what + " slot " + std::to_string(c) + ", " + std::to_string(r);
            if (listed == cells.end()) {
                if (cell.IsStored() || cell.Col() != c || cell.Row() != r)
                    return slot + " should be a default cell";
                continue;
            }
            TCell wanted(&block, listed->col, listed->row);
            applyUnit(wanted, listed->unit);
            if (cell.Col() != listed->col || cell.Row() != listed->row ||
                cell.ColSpan() != listed->colSpan || cell.RowSpan() != listed->rowSpan ||
                cell.Diagonal() || !sameUnit(cell, wanted))
                return slot + ": " + describeUnit(cell) + ", not " + describeUnit(wanted);
        }
    }
    return {};
}

} // namespace

std::unique_ptr<TBillLayout> buildLayout(const LayoutSource &source)
{
    auto layout = std::make_unique<TBillLayout>();
    const int cols = static_cast<int>(source.columns.size());

    layout->Cols().Clear();
    for (int width : source.columns)
        layout->Cols().Add(width);
    layout->Rows().Clear();
    for (int height : source.gridRows())
        layout->Rows().Add(height);

    layout->PageSettings() = {source.page.zoomRatio,  source.page.offsetX,
                              source.page.offsetY,    source.page.printOrient,
                              source.page.paperSize,  source.page.paperLength,
                              source.page.paperWidth, source.page.autoFit};
    layout->TopFooters() = freeItems(source.topItems);
    layout->BottomFooters() = freeItems(source.bottomItems);

    const int bodyRows = static_cast<int>(source.bodyRows.size());
    fillBlock(layout->HeadBlock(), cols, static_cast<int>(source.headRows.size()),
              source.headCells);
    // No left columns: the block still counts the body rows, which the body shares.
    layout->LeftBlock().SetSize(0, bodyRows);
    layout::TBodyBlock &body = layout->BodyBlock();
    body.SetSize(cols, bodyRows);
    for (const LayoutSource::BodyColumn &column : source.bodyColumns) {
        if (column.last > column.first)
            body.Merge({column.first, 0, column.last, 0});
        body.Template(column.first).SetHAlign(column.hAlign);
    }
    fillBlock(layout->TailBlock(), cols, static_cast<int>(source.tailRows.size()),
              source.tailCells);
    layout->UpdateOrigins();

    layout->ResetEdges();
    for (const LayoutSource::HiddenLine &line : source.hiddenLines) {
        if (line.top)
            layout->SetTopLine(line.col, line.row, false);
        if (line.left)
            layout->SetLeftLine(line.col, line.row, false);
    }
    return layout;
}

std::string compareWithSource(const TBillLayout &layout, const LayoutSource &source)
{
    const std::vector<int> rows = source.gridRows();
    const int cols = static_cast<int>(source.columns.size());
    if (layout.ColCount() != cols || layout.RowCount() != static_cast<int>(rows.size()))
        return "grid is " + std::to_string(layout.ColCount()) + " × " +
               std::to_string(layout.RowCount());
    for (int c = 0; c < cols; ++c)
        if (layout.Cols().Size(c) != source.columns[static_cast<std::size_t>(c)])
            return "column " + std::to_string(c) + " is " + std::to_string(layout.Cols().Size(c));
    for (int r = 0; r < layout.RowCount(); ++r)
        if (layout.Rows().Size(r) != rows[static_cast<std::size_t>(r)])
            return "row " + std::to_string(r) + " is " + std::to_string(layout.Rows().Size(r));
    if (layout.GetPageWidth() != source.extentWidth ||
        layout.GetPageHeight() != source.extentHeight)
        return "extent is " + std::to_string(layout.GetPageWidth()) + " × " +
               std::to_string(layout.GetPageHeight());
    const layout::TPageSettings page{source.page.zoomRatio,  source.page.offsetX,
                                     source.page.offsetY,    source.page.printOrient,
                                     source.page.paperSize,  source.page.paperLength,
                                     source.page.paperWidth, source.page.autoFit};
    if (!(layout.PageSettings() == page))
        return "page settings differ";
    if (!layout.IsConsistent())
        return "layout is inconsistent";

    std::string difference = compareFreeItems(layout.TopFooters(), source.topItems, "top");
    if (difference.empty())
        difference = compareFreeItems(layout.BottomFooters(), source.bottomItems, "bottom");
    const int bodyRows = static_cast<int>(source.bodyRows.size());
    if (difference.empty())
        difference =
            compareBlock(layout.HeadBlock(), cols, static_cast<int>(source.headRows.size()),
                         source.headCells, "head");
    if (difference.empty() &&
        (layout.LeftBlock().ColCount() != 0 || layout.LeftBlock().RowCount() != bodyRows))
        difference = "left block is not 0 × " + std::to_string(bodyRows);
    if (difference.empty())
        difference =
            compareBlock(layout.TailBlock(), cols, static_cast<int>(source.tailRows.size()),
                         source.tailCells, "tail");
    if (!difference.empty())
        return difference;

    const layout::TBodyBlock &body = layout.BodyBlock();
    if (body.ColCount() != cols || body.RowCount() != bodyRows)
        return "body block is " + std::to_string(body.ColCount()) + " × " +
               std::to_string(body.RowCount());
    if (bodyRows > 0) {
        if (body.FieldMap() != source.fieldMap())
            return "FieldMap differs";
        for (const LayoutSource::BodyColumn &column : source.bodyColumns) {
            const TCell &t = body.Template(column.first);
            TCell wanted(&body, column.first, 0);
            wanted.SetHAlign(column.hAlign);
            if (t.Col() != column.first || t.ColSpan() != column.last - column.first ||
                t.RowSpan() != 0 || t.HAlign() != wanted.HAlign() || t.Text() != "" ||
                t.FontName() != wanted.FontName() || t.FontSize() != wanted.FontSize() ||
                t.FontStyle() != 0)
                return "body column " + std::to_string(column.first) + ": " + describeUnit(t);
        }
    }

    for (int c = 0; c <= cols; ++c) {
        for (int r = 0; r <= layout.RowCount(); ++r) {
            const auto hidden =
                std::find_if(source.hiddenLines.begin(), source.hiddenLines.end(),
                             [&](const auto &h) { return h.col == c && h.row == r; });
            const bool top = hidden == source.hiddenLines.end() || !hidden->top;
            const bool left = hidden == source.hiddenLines.end() || !hidden->left;
            const layout::TEdge &edge = layout.Edge(c, r);
            if (edge.TopLine != top || edge.LeftLine != left)
                return "grid lines of " + std::to_string(c) + ", " + std::to_string(r) + " differ";
        }
    }
    return {};
}

} // namespace tally::builtin
