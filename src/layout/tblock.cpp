#include "layout/tblock.h"

#include "layout/einvalidreportoperation.h"
#include "layout/reportutils.h"
#include "layout/tcell.h"

#include <unordered_map>

namespace tally::layout {

TBlock::TBlock(int cols, int rows)
{
    // Not virtual dispatch on purpose: the body block sizes itself.
    TBlock::SetSize(cols, rows);
}

TBlock::~TBlock() = default;

TCell *TBlock::newCell(int col, int row)
{
    auto cell = std::make_unique<TCell>(this, col, row);
    cell->m_poolIndex = m_cells.size();
    m_cells.push_back(std::move(cell));
    return m_cells.back().get();
}

void TBlock::freeCell(TCell *cell)
{
    // Swap-remove keeps freeing O(1); the moved cell learns its new place.
    const std::size_t index = cell->m_poolIndex;
    if (index != m_cells.size() - 1) {
        std::swap(m_cells[index], m_cells.back());
        m_cells[index]->m_poolIndex = index;
    }
    m_cells.pop_back();
}

void TBlock::freeAll()
{
    m_slots.clear();
    m_cells.clear();
}

void TBlock::checkInsertIndex(int index, int count)
{
    // An empty dimension takes any index: the new column/row is the only one.
    if (count > 0 && (index < 0 || index > count))
        RaiseReportError(kGridIndexOutOfRange);
}

void TBlock::checkIndex(int index, int count)
{
    if (index < 0 || index >= count)
        RaiseReportError(kGridIndexOutOfRange);
}

TCell &TBlock::GetCell(int col, int row)
{
    checkIndex(col, m_colCount);
    checkIndex(row, m_rowCount);
    return *slotAt(col, row);
}

const TCell &TBlock::Slot(int col, int row) const
{
    checkIndex(col, m_colCount);
    checkIndex(row, m_rowCount);
    return *slotAt(col, row);
}

void TBlock::SetSize(int cols, int rows)
{
    freeAll();
    m_colCount = cols;
    m_rowCount = rows;
    if (Empty())
        return;
    m_cells.reserve(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    m_slots.assign(static_cast<std::size_t>(cols),
                   std::vector<TCell *>(static_cast<std::size_t>(rows)));
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            slotRef(c, r) = newCell(c, r);
}

void TBlock::Clear()
{
    freeAll();
    m_colCount = 0;
    m_rowCount = 0;
}

void TBlock::Merge(TGridRect rect)
{
    rect = NormalizeRect(rect);
    Split(rect);
    TCell *anchor = slotAt(rect.Left, rect.Top);
    anchor->SetCol(rect.Left);
    anchor->SetRow(rect.Top);
    anchor->SetColSpan(rect.Right - rect.Left);
    anchor->SetRowSpan(rect.Bottom - rect.Top);
    std::string text = anchor->Text();
    for (int r = rect.Top; r <= rect.Bottom; ++r) {
        for (int c = rect.Left; c <= rect.Right; ++c) {
            TCell *&slot = slotRef(c, r);
            if (slot == anchor)
                continue;
            if (text.empty())
                text = slot->Text();
            freeCell(slot);
            slot = anchor;
        }
    }
    anchor->SetText(std::move(text));
}

void TBlock::Split(TGridRect rect)
{
    rect = NormalizeRect(rect);
    if (rect.Top < 0 || rect.Bottom > m_rowCount - 1 || rect.Left < 0 ||
        rect.Right > m_colCount - 1)
        RaiseReportError(kGridIndexOutOfRange);
    for (int c = rect.Left; c <= rect.Right; ++c) {
        for (int r = rect.Top; r <= rect.Bottom; ++r) {
            TCell *cell = slotAt(c, r);
            if (!cell->Merged())
                continue;
            for (int cc = cell->Col(); cc <= cell->Col() + cell->ColSpan(); ++cc)
                for (int rr = cell->Row(); rr <= cell->Row() + cell->RowSpan(); ++rr)
                    if (cc != cell->Col() || rr != cell->Row())
                        slotRef(cc, rr) = newCell(cc, rr);
            cell->SetColSpan(0);
            cell->SetRowSpan(0);
        }
    }
}

TGridRect TBlock::ExpandRect(TGridRect rect)
{
    rect = NormalizeRect(rect);
    TGridRect r{rect.Left - m_colOrigin, rect.Top - m_rowOrigin, rect.Right - m_colOrigin,
                rect.Bottom - m_rowOrigin};
    for (;;) {
        TGridRect grown = r;
        for (int c = r.Left; c <= r.Right; ++c) {
            for (int row = r.Top; row <= r.Bottom; ++row) {
                const TCell &cell = GetCell(c, row);
                grown.Left = std::min(grown.Left, cell.Col());
                grown.Top = std::min(grown.Top, cell.Row());
                grown.Right = std::max(grown.Right, cell.Col() + cell.ColSpan());
                grown.Bottom = std::max(grown.Bottom, cell.Row() + cell.RowSpan());
            }
        }
        if (grown == r)
            break;
        r = grown;
    }
    return {r.Left + m_colOrigin, r.Top + m_rowOrigin, r.Right + m_colOrigin,
            r.Bottom + m_rowOrigin};
}

void TBlock::ResetDrawn() const
{
    for (const auto &cell : m_cells)
        cell->SetDrawn(false);
}

void TBlock::insertColumnSlots(int index, int rows)
{
    if (m_colCount == 1) {
        m_slots.assign(1, std::vector<TCell *>(static_cast<std::size_t>(rows)));
        for (int r = 0; r < rows; ++r)
            slotRef(0, r) = newCell(0, r);
        return;
    }
    m_slots.emplace_back(static_cast<std::size_t>(rows), nullptr);
    for (int r = 0; r < rows; ++r) {
        TCell *old = slotAt(index, r);
        if (old && old->Merged() && !old->Drawn()) {
            old->SetColSpan(old->ColSpan() + 1);
            old->SetDrawn(true);
        }
        for (int c = m_colCount - 1; c > index; --c) {
            TCell *shifted = slotAt(c - 1, r);
            slotRef(c, r) = shifted;
            if (shifted && !shifted->Drawn()) {
                shifted->SetCol(shifted->Col() + 1);
                shifted->SetDrawn(true);
            }
        }
        slotRef(index, r) = (old && old->Merged()) ? old : newCell(index, r);
    }
}

void TBlock::deleteColumnSlots(int index, int rows)
{
    for (int r = 0; r < rows; ++r) {
        TCell *cell = slotAt(index, r);
        if (!cell || cell->Drawn())
            continue;
        if (!cell->Merged()) {
            slotRef(index, r) = nullptr;
            freeCell(cell);
            continue;
        }
        cell->SetColSpan(cell->ColSpan() - 1);
        cell->SetDrawn(true);
        if (cell->ColSpan() < 0) {
            // It covered only this column, over several rows.
            for (int rr = 0; rr < rows; ++rr)
                if (slotAt(index, rr) == cell)
                    slotRef(index, rr) = nullptr;
            freeCell(cell);
        }
    }
    m_slots.erase(m_slots.begin() + index);
    for (std::size_t c = static_cast<std::size_t>(index); c < m_slots.size(); ++c) {
        for (TCell *cell : m_slots[c]) {
            if (cell && !cell->Drawn()) {
                cell->SetCol(cell->Col() - 1);
                cell->SetDrawn(true);
            }
        }
    }
}

void TBlock::InsertCol(int index)
{
    checkInsertIndex(index, m_colCount);
    ResetDrawn();
    ++m_colCount;
    if (Empty())
        return;
    insertColumnSlots(index, m_rowCount);
}

void TBlock::DeleteCol(int index)
{
    checkIndex(index, m_colCount);
    ResetDrawn();
    if (!Empty())
        deleteColumnSlots(index, m_rowCount);
    --m_colCount;
    if (Empty())
        freeAll();
}

void TBlock::InsertRow(int index)
{
    checkInsertIndex(index, m_rowCount);
    ResetDrawn();
    ++m_rowCount;
    if (Empty())
        return;
    if (m_rowCount == 1) {
        m_slots.assign(static_cast<std::size_t>(m_colCount), std::vector<TCell *>(1));
        for (int c = 0; c < m_colCount; ++c)
            slotRef(c, 0) = newCell(c, 0);
        return;
    }
    for (int c = 0; c < m_colCount; ++c) {
        auto &column = m_slots[static_cast<std::size_t>(c)];
        column.push_back(nullptr);
        TCell *old = column[static_cast<std::size_t>(index)];
        if (old && old->Merged() && !old->Drawn()) {
            old->SetRowSpan(old->RowSpan() + 1);
            old->SetDrawn(true);
        }
        for (int r = m_rowCount - 1; r > index; --r) {
            TCell *shifted = column[static_cast<std::size_t>(r - 1)];
            column[static_cast<std::size_t>(r)] = shifted;
            if (shifted && !shifted->Drawn()) {
                shifted->SetRow(shifted->Row() + 1);
                shifted->SetDrawn(true);
            }
        }
        column[static_cast<std::size_t>(index)] = (old && old->Merged()) ? old : newCell(c, index);
    }
}

void TBlock::DeleteRow(int index)
{
    checkIndex(index, m_rowCount);
    ResetDrawn();
    if (!Empty()) {
        for (int c = 0; c < m_colCount; ++c) {
            TCell *cell = slotAt(c, index);
            if (!cell || cell->Drawn())
                continue;
            if (!cell->Merged()) {
                slotRef(c, index) = nullptr;
                freeCell(cell);
                continue;
            }
            cell->SetRowSpan(cell->RowSpan() - 1);
            cell->SetDrawn(true);
            if (cell->RowSpan() < 0) {
                // It covered only this row, over several columns.
                for (int cc = 0; cc < m_colCount; ++cc)
                    if (slotAt(cc, index) == cell)
                        slotRef(cc, index) = nullptr;
                freeCell(cell);
            }
        }
        for (auto &column : m_slots) {
            column.erase(column.begin() + index);
            for (std::size_t r = static_cast<std::size_t>(index); r < column.size(); ++r) {
                TCell *cell = column[r];
                if (cell && !cell->Drawn()) {
                    cell->SetRow(cell->Row() - 1);
                    cell->SetDrawn(true);
                }
            }
        }
    }
    --m_rowCount;
    if (Empty())
        freeAll();
}

bool TBlock::IsPlainSlot(int col, int row) const
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return false;
    const TCell *cell = slotAt(col, row);
    return !cell->Merged() && cell->Col() == col && cell->Row() == row;
}

bool TBlock::AttachSpan(int col, int row)
{
    if (col < 0 || col >= m_colCount || row < 0 || row >= m_rowCount)
        return false;
    TCell *anchor = slotAt(col, row);
    if (anchor->Col() != col || anchor->Row() != row || anchor->ColSpan() < 0 ||
        anchor->RowSpan() < 0)
        return false;
    const long right = long{col} + anchor->ColSpan();
    const long bottom = long{row} + anchor->RowSpan();
    if (right >= m_colCount || bottom >= m_rowCount)
        return false;
    for (int c = col; c <= right; ++c)
        for (int r = row; r <= bottom; ++r)
            if ((c != col || r != row) && !IsPlainSlot(c, r))
                return false;
    for (int c = col; c <= right; ++c) {
        for (int r = row; r <= bottom; ++r) {
            if (c == col && r == row)
                continue;
            freeCell(slotAt(c, r));
            slotRef(c, r) = anchor;
        }
    }
    return true;
}

bool TBlock::checkSlots(int rows) const
{
    if (Empty() && rows != 1)
        return m_slots.empty() && m_cells.empty();
    if (m_slots.size() != static_cast<std::size_t>(m_colCount))
        return false;
    std::unordered_map<const TCell *, int> references;
    for (int c = 0; c < m_colCount; ++c) {
        if (m_slots[static_cast<std::size_t>(c)].size() != static_cast<std::size_t>(rows))
            return false;
        for (int r = 0; r < rows; ++r) {
            const TCell *cell = slotAt(c, r);
            if (!cell || cell->Block() != this || cell->m_poolIndex >= m_cells.size() ||
                m_cells[cell->m_poolIndex].get() != cell)
                return false;
            const int rowSpan = rows == 1 ? 0 : cell->RowSpan();
            const TGridRect span{cell->Col(), rows == 1 ? 0 : cell->Row(),
                                 cell->Col() + cell->ColSpan(),
                                 (rows == 1 ? 0 : cell->Row()) + rowSpan};
            if (!PtInRange(c, r, span))
                return false;
            ++references[cell];
        }
    }
    if (references.size() != m_cells.size())
        return false;
    for (const auto &[cell, count] : references)
        if (count != (cell->ColSpan() + 1) * ((rows == 1 ? 0 : cell->RowSpan()) + 1))
            return false;
    return true;
}

bool TBlock::IsConsistent() const
{
    return checkSlots(m_rowCount);
}

} // namespace tally::layout
