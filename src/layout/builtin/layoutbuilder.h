#pragma once

#include "layout/builtin/layoutsource.h"

#include <memory>
#include <string>

namespace tally::layout {
class TBillLayout;
}

namespace tally::builtin {

// Builds the layout model a source describes through the model's own
// operations (sizes, block sizes, Merge, cell properties, edge setters). The
// caller owns the result. Throws layout::EInvalidReportOperation when the
// source does not fit the model (a checked source always fits).
std::unique_ptr<layout::TBillLayout> buildLayout(const LayoutSource &source);

// Compares a layout with its source: grid sizes, extent, page settings, free
// items, every cell of the head, left, body and tail blocks (unlisted cells
// must be default), FieldMap and every grid-line flag. Returns an empty
// string when they agree, else a description of the first difference.
std::string compareWithSource(const layout::TBillLayout &layout, const LayoutSource &source);

} // namespace tally::builtin
