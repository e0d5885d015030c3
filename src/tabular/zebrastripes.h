#pragma once

namespace tally::tabular {

// Which rows of a grid are striped. Stripes belong to screen rows, not to
// records: every ZebraRows-th visible row, counted from the top of the
// visible area, whatever record stands there.
class ZebraStripes
{
public:
    bool Zebra() const { return m_zebra; }
    // True when the value changed (the grid then repaints).
    bool SetZebra(bool zebra);

    int ZebraRows() const { return m_rows; }
    // Periods of 1 or less are ignored. True when the value changed.
    bool SetZebraRows(int rows);

    // Whether the visible data row `visibleRow` (0 for the top one) is striped.
    bool IsStriped(int visibleRow) const;

private:
    bool m_zebra = false;
    int m_rows = 2;
};

} // namespace tally::tabular
