#include "layout/reportutils.h"

#include "layout/einvalidreportoperation.h"

#include <algorithm>
#include <limits>

namespace tally::layout {

TGridRect NormalizeRect(TGridRect rect)
{
    if (rect.Left > rect.Right)
        std::swap(rect.Left, rect.Right);
    if (rect.Top > rect.Bottom)
        std::swap(rect.Top, rect.Bottom);
    return rect;
}

bool PtInRange(int col, int row, const TGridRect &rect)
{
    return rect.Left <= col && col <= rect.Right && rect.Top <= row && row <= rect.Bottom;
}

void RaiseReportError(const std::string &message)
{
    throw EInvalidReportOperation(message);
}

std::string ColumnLetters(int column)
{
    std::string letters;
    // Bijective base 26: A..Z, AA..AZ, BA...
    for (long n = long{column} + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

} // namespace tally::layout
