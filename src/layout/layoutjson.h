#pragma once

#include <string>

namespace tally::layout {

class TBillLayout;

// A stable JSON description of a layout for checks and reviews: columns,
// rows, the blocks' row counts, extent, page settings, free items, stored
// cells with their names, body templates and FieldMap, hidden grid lines.
// Keys come in a fixed order; the text ends with a newline.
std::string LayoutToJson(const TBillLayout &layout);

} // namespace tally::layout
