#include "layout/tbodyblock.h"

#include "layout/einvalidreportoperation.h"
#include "layout/reportutils.h"
#include "layout/tcell.h"

namespace tally::layout {

TBodyBlock::TBodyBlock(int cols, int rows) : TBlock(0, 0)
{
    TBodyBlock::SetSize(cols, rows);
}

TCell &TBodyBlock::GetCell(int col, int row)
{
    checkIndex(col, m_colCount);
    checkIndex(row, m_rowCount);
    TCell *cell = slotAt(col, 0);
    cell->SetRow(row);
    cell->SetFixedText(false);
    return *cell;
}

const TCell &TBodyBlock::Slot(int col, int row) const
{
    checkIndex(col, m_colCount);
    checkIndex(row, m_rowCount);
    return *slotAt(col, 0);
}

const TCell &TBodyBlock::Template(int col) const
{
    checkIndex(col, m_colCount);
    return *slotAt(col, 0);
}

TCell &TBodyBlock::Template(int col)
{
    checkIndex(col, m_colCount);
    return *slotAt(col, 0);
}

void TBodyBlock::SetSize(int cols, int rows)
{
    freeAll();
    m_colCount = cols;
    m_rowCount = rows;
    if (cols > 0) {
        m_slots.assign(static_cast<std::size_t>(cols), std::vector<TCell *>(1));
        for (int c = 0; c < cols; ++c)
            slotRef(c, 0) = newCell(c, 0);
    }
    RebuildFieldMap();
}

void TBodyBlock::Clear()
{
    TBlock::Clear();
    m_fieldMap.clear();
}

void TBodyBlock::checkColumns(const TGridRect &rect) const
{
    if (rect.Left < 0 || rect.Right > m_colCount - 1)
        RaiseReportError(kGridIndexOutOfRange);
}

void TBodyBlock::Merge(TGridRect rect)
{
    rect = NormalizeRect(rect);
    Split(rect);
    TCell *anchor = slotAt(rect.Left, 0);
    anchor->SetCol(rect.Left);
    anchor->SetColSpan(rect.Right - rect.Left);
    anchor->SetText({});
    for (int c = rect.Left + 1; c <= rect.Right; ++c) {
        freeCell(slotAt(c, 0));
        slotRef(c, 0) = anchor;
    }
    RebuildFieldMap();
}

void TBodyBlock::Split(TGridRect rect)
{
    rect = NormalizeRect(rect);
    checkColumns(rect);
    for (int c = rect.Left; c <= rect.Right; ++c) {
        TCell *cell = slotAt(c, 0);
        if (cell->ColSpan() <= 0)
            continue;
        for (int cc = cell->Col(); cc <= cell->Col() + cell->ColSpan(); ++cc)
            if (cc != cell->Col())
                slotRef(cc, 0) = newCell(cc, 0);
        cell->SetColSpan(0);
    }
    RebuildFieldMap();
}

void TBodyBlock::InsertCol(int index)
{
    checkInsertIndex(index, m_colCount);
    ResetDrawn();
    ++m_colCount;
    insertColumnSlots(index, 1);
    RebuildFieldMap();
}

void TBodyBlock::DeleteCol(int index)
{
    checkIndex(index, m_colCount);
    ResetDrawn();
    deleteColumnSlots(index, 1);
    --m_colCount;
    if (m_colCount <= 0)
        freeAll();
    RebuildFieldMap();
}

void TBodyBlock::InsertRow(int index)
{
    checkInsertIndex(index, m_rowCount);
    ++m_rowCount;
}

void TBodyBlock::DeleteRow(int index)
{
    checkIndex(index, m_rowCount);
    --m_rowCount;
}

bool TBodyBlock::IsPlainSlot(int col, int /*row*/) const
{
    if (col < 0 || col >= m_colCount)
        return false;
    const TCell *cell = slotAt(col, 0);
    return !cell->Merged() && cell->Col() == col;
}

bool TBodyBlock::AttachSpan(int col, int /*row*/)
{
    if (col < 0 || col >= m_colCount)
        return false;
    TCell *anchor = slotAt(col, 0);
    if (anchor->Col() != col || anchor->ColSpan() < 0 || anchor->RowSpan() != 0)
        return false;
    const long right = long{col} + anchor->ColSpan();
    if (right >= m_colCount)
        return false;
    for (int c = col + 1; c <= right; ++c)
        if (!IsPlainSlot(c, 0))
            return false;
    for (int c = col + 1; c <= right; ++c) {
        freeCell(slotAt(c, 0));
        slotRef(c, 0) = anchor;
    }
    RebuildFieldMap();
    return true;
}

void TBodyBlock::RebuildFieldMap()
{
    m_fieldMap.assign(static_cast<std::size_t>(std::max(m_colCount, 0)), 0);
    int field = 0;
    for (int c = 0; c < m_colCount; ++c) {
        m_fieldMap[static_cast<std::size_t>(c)] = field;
        const TCell *cell = slotAt(c, 0);
        if (c == cell->Col() + cell->ColSpan())
            ++field;
    }
}

bool TBodyBlock::IsConsistent() const
{
    return checkSlots(1) && m_fieldMap.size() == static_cast<std::size_t>(std::max(m_colCount, 0));
}

} // namespace tally::layout
