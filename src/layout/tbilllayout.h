#pragma once

#include "layout/layouttypes.h"
#include "layout/tblock.h"
#include "layout/tbodyblock.h"
#include "layout/tcolrow.h"
#include "layout/tfooter.h"

#include <memory>
#include <vector>

namespace tally::layout {

class TCell;

// The layout of one bill: column widths and row heights, the free text items
// above and below the grid, the four blocks that tile grid rows 1..RowCount-2
// (head, left, body, tail), the grid-line flags and the page settings stored
// with the layout. Grid row 0 is the top area and the last row the bottom
// area. All lengths are layout pixels at the screen resolution.
// Structural errors throw EInvalidReportOperation; nothing changes before the
// check. Not copyable (cells refer to their blocks); swap whole layouts with
// std::unique_ptr or Swap().
class TBillLayout
{
public:
    // The layout of a new bill: 6 columns of 64; 10 rows of 22 (the top and
    // bottom area rows 50); head 6x2, left 1x5, body 5x5, tail 6x1; all
    // grid lines visible; default page settings.
    TBillLayout();
    ~TBillLayout();
    TBillLayout(const TBillLayout &) = delete;
    TBillLayout &operator=(const TBillLayout &) = delete;

    // Exchanges the whole content with another layout.
    void Swap(TBillLayout &other) noexcept;

    TColRow &Cols() { return m_cols; }
    const TColRow &Cols() const { return m_cols; }
    TColRow &Rows() { return m_rows; }
    const TColRow &Rows() const { return m_rows; }

    // Free items drawn in the top area (layout coordinates) and below the grid
    // (relative to the top of the bottom area row), in drawing order.
    std::vector<TFooter> &TopFooters() { return m_topFooters; }
    const std::vector<TFooter> &TopFooters() const { return m_topFooters; }
    std::vector<TFooter> &BottomFooters() { return m_bottomFooters; }
    const std::vector<TFooter> &BottomFooters() const { return m_bottomFooters; }

    TBlock &HeadBlock() { return *m_head; }
    const TBlock &HeadBlock() const { return *m_head; }
    TBlock &LeftBlock() { return *m_left; }
    const TBlock &LeftBlock() const { return *m_left; }
    TBodyBlock &BodyBlock() { return *m_body; }
    const TBodyBlock &BodyBlock() const { return *m_body; }
    TBlock &TailBlock() { return *m_tail; }
    const TBlock &TailBlock() const { return *m_tail; }

    TPageSettings &PageSettings() { return m_page; }
    const TPageSettings &PageSettings() const { return m_page; }

    int ColCount() const { return m_cols.Count(); }
    int RowCount() const { return m_rows.Count(); }
    int RowCountHead() const { return m_head->RowCount(); }
    int RowCountBody() const { return m_left->RowCount(); }
    int RowCountTail() const { return m_tail->RowCount(); }
    int ColCountLeft() const { return m_left->ColCount(); }

    // Grid-line flags of grid slot (col, row); col 0..ColCount, row
    // 0..RowCount (the last index holds the right/bottom edge). Throws when
    // outside.
    const TEdge &Edge(int col, int row) const;

    // Set one grid-line flag; col must lie in 0..ColCount and row in
    // 1..RowCount-1, otherwise "Grid index out of range".
    void SetTopLine(int col, int row, bool visible);
    void SetLeftLine(int col, int row, bool visible);

    // Makes Edges [ColCount+1][RowCount+1] with every flag true.
    void ResetEdges();

    // Recomputes the block origins from the block sizes.
    void UpdateOrigins();

    // The first of head, left, body, tail whose grid range holds (col, row);
    // throws "行 <row> 列 <col> 越界!" when none does.
    TBlock &BlockAt(int col, int row);
    const TBlock &BlockAt(int col, int row) const;

    // GetCell of BlockAt(col, row) at the block slot.
    TCell &CellAt(int col, int row);

    // Layout-pixel rectangle of a grid slot range; std::out_of_range on bad
    // indices.
    printing::Rect CellRect(const TGridRect &range) const;

    // Inserts a 64-pixel column before index (ColCount appends).
    void InsertGridCol(int index);
    // Deletes a column; ignored while the layout has a single column.
    void DeleteGridCol(int index);
    // Adds a 22-pixel grid row just below the block's last row; the block's
    // new empty row goes before its former last row. The left and body blocks
    // always grow together. The block must be one of this layout's.
    void AddBlockRow(TBlock &block);
    // Deletes a block row (1..RowCount-2); ignored while that would leave
    // fewer than 3 rows.
    void DeleteGridRow(int index);

    // Row-count setters of the bill: negative values and changes that would
    // leave fewer than 3 grid rows are ignored. Rows are deleted from the end
    // of the block or added there (22 pixels each); later rows move.
    void SetRowCountHead(int value);
    void SetRowCountBody(int value);
    void SetRowCountTail(int value);
    // Column count: values <= 0 are ignored; columns go or come at the end.
    void SetColCount(int value);
    // Number of left columns: values outside 0..ColCount-1 are ignored.
    void SetColCountLeft(int value);

    // Width and height of the whole layout: EndPosition of the last column
    // and of the last row.
    int GetPageWidth() const;
    int GetPageHeight() const;

    // True when the blocks tile the grid and every block is consistent
    // (a self-check for tests and fuzzing).
    bool IsConsistent() const;

private:
    void checkEdgeIndex(int col, int row) const;
    void setRowCount(TBlock &block, int value);

    TColRow m_cols;
    TColRow m_rows;
    std::vector<TFooter> m_topFooters;
    std::vector<TFooter> m_bottomFooters;
    std::unique_ptr<TBlock> m_head;
    std::unique_ptr<TBlock> m_left;
    std::unique_ptr<TBodyBlock> m_body;
    std::unique_ptr<TBlock> m_tail;
    std::vector<std::vector<TEdge>> m_edges; // [col][row]
    TPageSettings m_page;
};

} // namespace tally::layout
