#pragma once

#include "layout/builtin/layoutsource.h"

#include <optional>
#include <string>
#include <string_view>

namespace tally::builtin {

// Outcome of parsing one layout source: the source, or the 1-based line where
// parsing stopped (0 for checks of the whole file) and what was wrong there.
struct LayoutSourceParseResult
{
    std::optional<LayoutSource> source;
    int line = 0;
    std::string message;

    explicit operator bool() const { return source.has_value(); }
};

// Parses the UTF-8 text of a layout source file (format: README.md beside it)
// and checks it: every required line present, cells and spans inside their
// block without overlaps, body templates covering every column in order with
// the fields the model will map them to, sum fields known, hidden lines inside
// the grid, and the extent equal to the grid's size. Never throws for bad input.
LayoutSourceParseResult parseLayoutSource(std::string_view text);

} // namespace tally::builtin
