#pragma once

#include "printing/unitcodes.h"

namespace tally::printing {

struct PrinterMetrics;

// Arithmetic of paginating a bill's body rows over its bound records, kept
// apart from the layout so it is tested on its own.

// The printer's printable page height in screen pixels:
// MulDiv(screenPpi, page height in device pixels, vertical device dpi).
int PageHeightInScreenPixels(const PrinterMetrics &metrics, int screenPpi);

// Body rows that fill the printed page (AutoFit):
// ((pageHeight − offsetY) × 100 − fixedHeight × zoomRatio) div
// ((bodyRowHeight + 1) × zoomRatio), truncated toward zero. pageHeight is in
// screen pixels, fixedHeight the rows above and below the body counted with
// their one-pixel lines. Returns −1 (a value row-count setters ignore) when
// the divisor is not positive.
int AutoFitBodyRows(int pageHeight, int offsetY, int fixedHeight, int bodyRowHeight, int zoomRatio);

// Pages for recordCount records at rowsPerPage body rows each: 0 for no
// records; with no body rows (rowsPerPage ≤ 0) the records cannot show, and
// the bill still prints its head and tail once: 1 page.
int BodyPageCount(int recordCount, int rowsPerPage);

// The records a sum adds on a page, as [first, end): the page's own records,
// every record up to the page's end, or all records; clipped to recordCount.
// A scope outside the named ones gives an empty range.
struct RecordRange
{
    int first = 0;
    int end = 0;
};
RecordRange SumRecordRange(SumScope scope, int pageIndex, int rowsPerPage, int recordCount);

} // namespace tally::printing
