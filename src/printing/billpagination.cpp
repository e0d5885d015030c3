#include "printing/billpagination.h"

#include "printing/printer.h"
#include "printing/printmath.h"

#include <algorithm>
#include <cstdint>

namespace tally::printing {

int PageHeightInScreenPixels(const PrinterMetrics &metrics, int screenPpi)
{
    return MulDiv(screenPpi, metrics.pageHeight, metrics.dpiY);
}

int AutoFitBodyRows(int pageHeight, int offsetY, int fixedHeight, int bodyRowHeight, int zoomRatio)
{
    const std::int64_t divisor = (static_cast<std::int64_t>(bodyRowHeight) + 1) * zoomRatio;
    if (divisor <= 0)
        return -1;
    const std::int64_t numerator = (static_cast<std::int64_t>(pageHeight) - offsetY) * 100 -
                                   static_cast<std::int64_t>(fixedHeight) * zoomRatio;
    return static_cast<int>(std::clamp<std::int64_t>(numerator / divisor, INT32_MIN, INT32_MAX));
}

int BodyPageCount(int recordCount, int rowsPerPage)
{
    if (recordCount <= 0)
        return 0;
    if (rowsPerPage <= 0)
        return 1;
    return static_cast<int>((static_cast<std::int64_t>(recordCount) + rowsPerPage - 1) /
                            rowsPerPage);
}

RecordRange SumRecordRange(SumScope scope, int pageIndex, int rowsPerPage, int recordCount)
{
    const std::int64_t r = std::max(rowsPerPage, 0);
    const std::int64_t p = std::max(pageIndex, 1);
    std::int64_t first = 0;
    std::int64_t end = 0;
    switch (scope) {
    case SumScope::Page:
        first = (p - 1) * r;
        end = first + r;
        break;
    case SumScope::Running:
        end = p * r;
        break;
    case SumScope::Total:
        end = recordCount;
        break;
    default:
        return {};
    }
    first = std::min<std::int64_t>(first, recordCount);
    end = std::clamp<std::int64_t>(end, first, recordCount);
    return {static_cast<int>(first), static_cast<int>(end)};
}

} // namespace tally::printing
