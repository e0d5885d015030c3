#pragma once

#include "layout/tblock.h"

#include <vector>

namespace tally::layout {

// The repeating part of the grid. It keeps one template cell per column
// (slot [column][0]); RowCount is just the number of body rows on a page.
// The templates live on while RowCount is 0, so formats, spans and FieldMap
// return when rows are added again. FieldMap gives, per column, the index of
// the table field the column shows; consecutive templates take consecutive
// fields, and the columns of one merged template share one.
class TBodyBlock : public TBlock
{
public:
    TBodyBlock(int cols, int rows);

    // The template of column col, after setting its Row to row and making it
    // variable; throws when col or row is outside the block.
    TCell &GetCell(int col, int row) override;
    // The template of column col (row is only range-checked).
    const TCell &Slot(int col, int row) const override;

    // The template of column col; throws when col is outside 0..ColCount-1.
    const TCell &Template(int col) const;
    TCell &Template(int col);

    // One default template per column; rebuilds FieldMap.
    void SetSize(int cols, int rows) override;
    void Clear() override;

    // Joins the template columns Left..Right into the template of column
    // Left and clears its text. Only the column range is checked.
    void Merge(TGridRect rect) override;
    // Narrows every merged template in columns Left..Right to one column.
    void Split(TGridRect rect) override;

    void InsertCol(int index) override;
    void DeleteCol(int index) override;
    // Only change RowCount; the templates stay.
    void InsertRow(int index) override;
    void DeleteRow(int index) override;

    // Makes the template of column col, whose ColSpan is already set, take
    // over the following ColSpan columns (their templates are freed) and
    // rebuilds FieldMap. Returns false and changes nothing when that would
    // reach outside the block or over another merged template.
    bool AttachSpan(int col, int row) override;
    bool IsPlainSlot(int col, int row) const override;

    const std::vector<int> &FieldMap() const { return m_fieldMap; }

    // Recomputes FieldMap from the templates.
    void RebuildFieldMap();

    bool IsConsistent() const override;

private:
    void checkColumns(const TGridRect &rect) const;

    std::vector<int> m_fieldMap;
};

} // namespace tally::layout
