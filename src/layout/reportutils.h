#pragma once

#include "layout/layouttypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tally::layout {

// Swaps Left/Right and Top/Bottom where they are reversed.
TGridRect NormalizeRect(TGridRect rect);

// True when Left <= col <= Right and Top <= row <= Bottom.
bool PtInRange(int col, int row, const TGridRect &rect);

// Throws EInvalidReportOperation carrying the message.
[[noreturn]] void RaiseReportError(const std::string &message);

// Spreadsheet column letters of a 0-based column: 0 A, 25 Z, 26 AA, 52 BA.
// Negative columns give an empty string.
std::string ColumnLetters(int column);

} // namespace tally::layout
