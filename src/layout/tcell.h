#pragma once

#include "layout/layouttypes.h"
#include "layout/tbasicunit.h"

#include <cstddef>
#include <string>

namespace tally::layout {

class TBlock;

// One cell of a block: a text unit at a block slot, possibly merged over
// further columns/rows. Right-aligned by default. Owned by its block, which
// may refer to it from every slot it covers.
class TCell : public TBasicUnit
{
public:
    // A default cell of the block at slot (col, row); the block is not owned.
    TCell(const TBlock *block, int col, int row);

    printing::HorzAlign DefaultHAlign() const override { return printing::HorzAlign::Right; }

    // The owning block (not owned).
    const TBlock *Block() const { return m_block; }

    // Top-left slot inside the block.
    int Col() const { return m_col; }
    int Row() const { return m_row; }
    void SetCol(int col) { m_col = col; }
    void SetRow(int row) { m_row = row; }

    // Additional columns/rows covered; 0 means a single slot.
    int ColSpan() const { return m_colSpan; }
    int RowSpan() const { return m_rowSpan; }
    void SetColSpan(int span) { m_colSpan = span; }
    void SetRowSpan(int span) { m_rowSpan = span; }

    // True when the cell covers more than one slot.
    bool Merged() const { return m_colSpan > 0 || m_rowSpan > 0; }

    // A line from the top-left to the bottom-right corner.
    bool Diagonal() const { return m_diagonal; }
    void SetDiagonal(bool diagonal) { m_diagonal = diagonal; }

    // Transient visit mark of drawing and structural passes; never stored.
    bool Drawn() const { return m_drawn; }
    void SetDrawn(bool drawn) const { m_drawn = drawn; }

    // True when the cell is merged or its properties differ from a default
    // cell's (as the stream writer decides which cells to store).
    bool IsStored() const { return Merged() || m_diagonal || DiffersFromDefault(); }

    // Name of the top-left slot in grid coordinates, such as "A1" or "AA3".
    std::string CellName() const;

    // The covered slot range in grid coordinates (inclusive).
    TGridRect GridRect() const;

private:
    friend class TBlock;

    const TBlock *m_block = nullptr;
    int m_col = 0;
    int m_row = 0;
    int m_colSpan = 0;
    int m_rowSpan = 0;
    bool m_diagonal = false;
    mutable bool m_drawn = false;
    std::size_t m_poolIndex = 0; // position in the owning block's cell store
};

} // namespace tally::layout
