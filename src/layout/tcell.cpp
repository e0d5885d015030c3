#include "layout/tcell.h"

#include "layout/reportutils.h"
#include "layout/tblock.h"

namespace tally::layout {

TCell::TCell(const TBlock *block, int col, int row)
    : TBasicUnit(printing::HorzAlign::Right), m_block(block), m_col(col), m_row(row)
{
}

std::string TCell::CellName() const
{
    const int colOrigin = m_block ? m_block->ColOrigin() : 0;
    const int rowOrigin = m_block ? m_block->RowOrigin() : 0;
    return ColumnLetters(colOrigin + m_col) + std::to_string(rowOrigin + m_row);
}

TGridRect TCell::GridRect() const
{
    const int colOrigin = m_block ? m_block->ColOrigin() : 0;
    const int rowOrigin = m_block ? m_block->RowOrigin() : 0;
    return {colOrigin + m_col, rowOrigin + m_row, colOrigin + m_col + m_colSpan,
            rowOrigin + m_row + m_rowSpan};
}

} // namespace tally::layout
