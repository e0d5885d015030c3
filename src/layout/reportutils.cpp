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

std::optional<std::int32_t> MulDiv(std::int32_t value, std::int32_t numerator,
                                   std::int32_t denominator)
{
    if (denominator == 0)
        return std::nullopt;
    const std::int64_t product = std::int64_t{value} * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    // |product| < 2^62 and |denominator| <= 2^31, so this cannot overflow.
    const std::uint64_t magnitude =
        product < 0 ? 0 - static_cast<std::uint64_t>(product) : static_cast<std::uint64_t>(product);
    const std::uint64_t divisor = denominator < 0
                                      ? 0 - static_cast<std::uint64_t>(std::int64_t{denominator})
                                      : static_cast<std::uint64_t>(denominator);
    const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
    const std::int64_t result =
        negative ? -static_cast<std::int64_t>(quotient) : static_cast<std::int64_t>(quotient);
    if (result < std::numeric_limits<std::int32_t>::min() ||
        result > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(result);
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
