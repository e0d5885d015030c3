#include "layout/tbilllayout.h"

#include "layout/einvalidreportoperation.h"
#include "layout/reportutils.h"
#include "layout/tcell.h"

#include <array>
#include <string>
#include <utility>

namespace tally::layout {

namespace {

constexpr int kNewColWidth = 64;
constexpr int kNewRowHeight = 22;

} // namespace

TBillLayout::TBillLayout()
    : m_head(std::make_unique<TBlock>(6, 2)), m_left(std::make_unique<TBlock>(1, 5)),
      m_body(std::make_unique<TBodyBlock>(5, 5)), m_tail(std::make_unique<TBlock>(6, 1))
{
    m_cols.SetCount(6, kNewColWidth);
    m_rows.SetCount(10, kNewRowHeight);
    m_rows.SetSize(0, 50);
    m_rows.SetSize(9, 50);
    UpdateOrigins();
    ResetEdges();
}

TBillLayout::~TBillLayout() = default;

void TBillLayout::Swap(TBillLayout &other) noexcept
{
    std::swap(m_cols, other.m_cols);
    std::swap(m_rows, other.m_rows);
    m_topFooters.swap(other.m_topFooters);
    m_bottomFooters.swap(other.m_bottomFooters);
    m_head.swap(other.m_head);
    m_left.swap(other.m_left);
    m_body.swap(other.m_body);
    m_tail.swap(other.m_tail);
    m_edges.swap(other.m_edges);
    std::swap(m_page, other.m_page);
}

const TEdge &TBillLayout::Edge(int col, int row) const
{
    if (col < 0 || col > ColCount() || row < 0 || row > RowCount())
        RaiseReportError(kGridIndexOutOfRange);
    return m_edges[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
}

void TBillLayout::checkEdgeIndex(int col, int row) const
{
    if (col < 0 || col > ColCount() || row < 1 || row > RowCount() - 1)
        RaiseReportError(kGridIndexOutOfRange);
}

void TBillLayout::SetTopLine(int col, int row, bool visible)
{
    checkEdgeIndex(col, row);
    m_edges[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)].TopLine = visible;
}

void TBillLayout::SetLeftLine(int col, int row, bool visible)
{
    checkEdgeIndex(col, row);
    m_edges[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)].LeftLine = visible;
}

void TBillLayout::ResetEdges()
{
    m_edges.assign(static_cast<std::size_t>(ColCount() + 1),
                   std::vector<TEdge>(static_cast<std::size_t>(RowCount() + 1)));
}

void TBillLayout::UpdateOrigins()
{
    m_head->SetColOrigin(0);
    m_head->SetRowOrigin(1);
    m_left->SetColOrigin(0);
    m_left->SetRowOrigin(m_head->RowOrigin() + m_head->RowCount());
    m_body->SetColOrigin(m_left->ColCount());
    m_body->SetRowOrigin(m_left->RowOrigin());
    m_tail->SetColOrigin(0);
    m_tail->SetRowOrigin(m_left->RowOrigin() + m_left->RowCount());
}

const TBlock &TBillLayout::BlockAt(int col, int row) const
{
    const std::array<const TBlock *, 4> blocks{m_head.get(), m_left.get(), m_body.get(),
                                               m_tail.get()};
    for (const TBlock *block : blocks) {
        const TGridRect range{block->ColOrigin(), block->RowOrigin(),
                              block->ColOrigin() + block->ColCount() - 1,
                              block->RowOrigin() + block->RowCount() - 1};
        if (PtInRange(col, row, range))
            return *block;
    }
    RaiseReportError("行 " + std::to_string(row) + " 列 " + std::to_string(col) + " 越界!");
}

TBlock &TBillLayout::BlockAt(int col, int row)
{
    return const_cast<TBlock &>(std::as_const(*this).BlockAt(col, row));
}

TCell &TBillLayout::CellAt(int col, int row)
{
    TBlock &block = BlockAt(col, row);
    return block.GetCell(col - block.ColOrigin(), row - block.RowOrigin());
}

printing::Rect TBillLayout::CellRect(const TGridRect &range) const
{
    return {m_cols.Position(range.Left), m_rows.Position(range.Top),
            m_cols.EndPosition(range.Right), m_rows.EndPosition(range.Bottom)};
}

void TBillLayout::InsertGridCol(int index)
{
    if (index < 0 || index > ColCount())
        RaiseReportError(kGridIndexOutOfRange);
    m_cols.Insert(index, kNewColWidth);
    m_head->InsertCol(index);
    m_tail->InsertCol(index);
    if (index < m_left->ColCount())
        m_left->InsertCol(index);
    else
        m_body->InsertCol(index - m_left->ColCount());
    // The new column starts with a copy of the flags that were at its place.
    const std::size_t at = static_cast<std::size_t>(index);
    m_edges.insert(m_edges.begin() + index, m_edges[at]);
    UpdateOrigins();
}

void TBillLayout::DeleteGridCol(int index)
{
    if (ColCount() <= 1)
        return;
    if (index < 0 || index >= ColCount())
        RaiseReportError(kGridIndexOutOfRange);
    m_cols.Delete(index);
    m_head->DeleteCol(index);
    m_tail->DeleteCol(index);
    if (index < m_left->ColCount())
        m_left->DeleteCol(index);
    else
        m_body->DeleteCol(index - m_body->ColOrigin());
    m_edges.erase(m_edges.begin() + index);
    UpdateOrigins();
}

void TBillLayout::AddBlockRow(TBlock &block)
{
    if (&block != m_head.get() && &block != m_left.get() && &block != m_body.get() &&
        &block != m_tail.get())
        RaiseReportError(kGridIndexOutOfRange);
    // The left and body blocks share their rows; either one grows both.
    TBlock &target = (&block == m_body.get()) ? *m_left : block;
    const int index = target.RowOrigin() + target.RowCount();
    m_rows.Insert(index, kNewRowHeight);
    target.InsertRow(target.RowCount() - 1);
    if (&target == m_left.get())
        m_body->InsertRow(m_body->RowCount() - 1);
    for (auto &column : m_edges) {
        const TEdge copy = column[static_cast<std::size_t>(index)];
        column.insert(column.begin() + index, copy);
    }
    UpdateOrigins();
}

void TBillLayout::DeleteGridRow(int index)
{
    // Keep the top and bottom areas and at least one row between them.
    if (RowCount() <= 3)
        return;
    if (index < 1 || index > RowCount() - 2)
        RaiseReportError(kGridIndexOutOfRange);
    m_rows.Delete(index);
    if (index >= m_tail->RowOrigin()) {
        m_tail->DeleteRow(index - m_tail->RowOrigin());
    } else if (index >= m_left->RowOrigin()) {
        m_left->DeleteRow(index - m_left->RowOrigin());
        m_body->DeleteRow(index - m_body->RowOrigin());
    } else {
        m_head->DeleteRow(index - m_head->RowOrigin());
    }
    for (auto &column : m_edges)
        column.erase(column.begin() + index);
    UpdateOrigins();
}

void TBillLayout::setRowCount(TBlock &block, int value)
{
    if (value < 0 || RowCount() + value - block.RowCount() < 3)
        return;
    while (block.RowCount() > value) {
        const int before = RowCount();
        DeleteGridRow(block.RowOrigin() + block.RowCount() - 1);
        if (RowCount() == before)
            break; // the grid refused to shrink further
    }
    while (block.RowCount() < value)
        AddBlockRow(block);
    UpdateOrigins();
}

void TBillLayout::SetRowCountHead(int value)
{
    setRowCount(*m_head, value);
}

void TBillLayout::SetRowCountBody(int value)
{
    setRowCount(*m_left, value);
}

void TBillLayout::SetRowCountTail(int value)
{
    setRowCount(*m_tail, value);
}

void TBillLayout::SetColCount(int value)
{
    if (value <= 0)
        return;
    while (ColCount() > value)
        DeleteGridCol(ColCount() - 1);
    while (ColCount() < value)
        InsertGridCol(ColCount());
}

void TBillLayout::SetColCountLeft(int value)
{
    if (value < 0 || value > ColCount() - 1)
        return;
    while (m_left->ColCount() < value) {
        m_left->InsertCol(m_left->ColCount() - 1);
        m_body->DeleteCol(m_body->ColCount() - 1);
    }
    while (m_left->ColCount() > value) {
        m_left->DeleteCol(m_left->ColCount() - 1);
        m_body->InsertCol(m_body->ColCount() - 1);
    }
    m_body->SetColOrigin(m_left->ColCount());
}

int TBillLayout::GetPageWidth() const
{
    return m_cols.Count() > 0 ? m_cols.EndPosition(m_cols.Count() - 1) : 0;
}

int TBillLayout::GetPageHeight() const
{
    return m_rows.Count() > 0 ? m_rows.EndPosition(m_rows.Count() - 1) : 0;
}

bool TBillLayout::IsConsistent() const
{
    const int cols = ColCount();
    const int rows = RowCount();
    if (cols < 1 || rows < 2)
        return false;
    if (m_head->ColCount() != cols || m_tail->ColCount() != cols ||
        m_left->ColCount() + m_body->ColCount() != cols || m_left->ColCount() < 0 ||
        m_left->RowCount() != m_body->RowCount() || m_head->RowCount() < 0 ||
        m_left->RowCount() < 0 || m_tail->RowCount() < 0 ||
        2 + m_head->RowCount() + m_left->RowCount() + m_tail->RowCount() != rows)
        return false;
    if (m_edges.size() != static_cast<std::size_t>(cols + 1))
        return false;
    for (const auto &column : m_edges)
        if (column.size() != static_cast<std::size_t>(rows + 1))
            return false;
    return m_head->IsConsistent() && m_left->IsConsistent() && m_body->IsConsistent() &&
           m_tail->IsConsistent();
}

} // namespace tally::layout
