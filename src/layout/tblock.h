#pragma once

#include "layout/layouttypes.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace tally::layout {

class TCell;

// A rectangular block of cells inside the layout grid, addressed by block
// slot [column][row]. The block owns each of its cells exactly once (in its
// cell store); the slots refer to them, and every slot covered by a merged
// cell refers to that one cell. Index errors throw EInvalidReportOperation
// "Grid index out of range" before anything changes.
class TBlock
{
public:
    // SetSize(cols, rows), origin at grid column 0, row 1.
    TBlock(int cols, int rows);
    virtual ~TBlock();
    TBlock(const TBlock &) = delete;
    TBlock &operator=(const TBlock &) = delete;

    int ColOrigin() const { return m_colOrigin; }
    int RowOrigin() const { return m_rowOrigin; }
    void SetColOrigin(int col) { m_colOrigin = col; }
    void SetRowOrigin(int row) { m_rowOrigin = row; }

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }

    // True when ColCount or RowCount is 0 or less: the block has no cells.
    bool Empty() const { return m_colCount <= 0 || m_rowCount <= 0; }

    // The cell at block slot (col, row); throws when outside the block. The
    // reference stays valid until the next structural change.
    virtual TCell &GetCell(int col, int row);

    // Read-only slot access, with the same range check.
    virtual const TCell &Slot(int col, int row) const;

    // Sets the counts; frees the previous cells and, unless empty, fills every
    // slot with a new default cell.
    virtual void SetSize(int cols, int rows);

    // Frees every cell once and sets both counts to 0.
    virtual void Clear();

    // Joins the slots of a block rectangle into its top-left cell, which keeps
    // its text or else takes the first non-empty text row by row.
    virtual void Merge(TGridRect rect);

    // Splits every merged cell that reaches into the block rectangle.
    virtual void Split(TGridRect rect);

    // The smallest grid rectangle around the given grid rectangle that cuts no
    // merged cell of this block.
    TGridRect ExpandRect(TGridRect rect);

    // Clears the visit mark of every cell.
    void ResetDrawn() const;

    // Inserts a column of default cells before index; a merged cell occupying
    // the slot grows instead. Valid indices: 0..ColCount (any when ColCount is 0).
    virtual void InsertCol(int index);
    // Deletes a column; merged cells over it narrow, others are freed.
    virtual void DeleteCol(int index);
    // Row counterparts of InsertCol and DeleteCol.
    virtual void InsertRow(int index);
    virtual void DeleteRow(int index);

    // Makes the cell anchored at slot (col, row), whose spans are already set,
    // take over every other slot it covers, freeing the cells there. Returns
    // false and changes nothing when the anchor slot does not hold its own
    // cell, or when a covered slot is outside the block or already merged.
    virtual bool AttachSpan(int col, int row);

    // True when the slot holds a single unmerged cell anchored at it.
    virtual bool IsPlainSlot(int col, int row) const;

    // Number of cells the block owns.
    std::size_t OwnedCellCount() const { return m_cells.size(); }

    // True when every slot refers to an owned cell whose span covers exactly
    // the slots that refer to it (a self-check for tests and fuzzing).
    virtual bool IsConsistent() const;

protected:
    // Creates a default cell at (col, row) in the cell store.
    TCell *newCell(int col, int row);
    // Frees a cell of the store (the caller has emptied its slots).
    void freeCell(TCell *cell);
    void freeAll();

    static void checkInsertIndex(int index, int count);
    static void checkIndex(int index, int count);

    // Column insert/delete over `rows` slot rows (RowCount, or 1 for templates).
    void insertColumnSlots(int index, int rows);
    void deleteColumnSlots(int index, int rows);

    TCell *&slotRef(int col, int row)
    {
        return m_slots[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
    }
    TCell *slotAt(int col, int row) const
    {
        return m_slots[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
    }

    std::vector<std::vector<TCell *>> m_slots; // [column][row], non-owning
    int m_colCount = 0;
    int m_rowCount = 0;

    // Consistency of the slot array over `rows` slot rows.
    bool checkSlots(int rows) const;

private:
    std::vector<std::unique_ptr<TCell>> m_cells; // owns every cell once
    int m_colOrigin = 0;
    int m_rowOrigin = 1;
};

} // namespace tally::layout
