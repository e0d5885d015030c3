#include "tabular/zebrastripes.h"

namespace tally::tabular {

bool ZebraStripes::SetZebra(bool zebra)
{
    if (zebra == m_zebra)
        return false;
    m_zebra = zebra;
    return true;
}

bool ZebraStripes::SetZebraRows(int rows)
{
    if (rows <= 1 || rows == m_rows)
        return false;
    m_rows = rows;
    return true;
}

bool ZebraStripes::IsStriped(int visibleRow) const
{
    return m_zebra && visibleRow >= 0 && (visibleRow + 1) % m_rows == 0;
}

} // namespace tally::tabular
