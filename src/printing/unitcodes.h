#pragma once

#include <cstdint>

namespace tally::printing {

// How a text unit sits in its rectangle and what a sum cell adds up. The
// numbers are the ones layouts store (one byte each); a stored number outside
// the named ones is kept as it is, so a layout reads and writes back unchanged.

enum class HorzAlign : std::uint8_t
{
    Left = 0,
    Right = 1,
    Centre = 2
};

// Anything other than Top and Bottom centres the text.
enum class VertAlign : std::uint8_t
{
    Top = 0,
    Middle = 1,
    Bottom = 2
};

// The records a sum cell adds up: none, the current page's, all from the first
// to the end of the current page, or all of the table's. Any other value sums
// nothing.
enum class SumScope : std::uint8_t
{
    None = 0,
    Page = 1,
    Running = 2,
    Total = 3
};

// The stored number of a code, for writers and diagnostics.
template <typename Code> constexpr int codeNumber(Code code)
{
    return static_cast<int>(static_cast<std::uint8_t>(code));
}

} // namespace tally::printing
