#pragma once

#include "layout/layouttypes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tally::layout {

class TBillLayout;

// Outcome of reading a layout stream. On failure, offset is where the item
// that could not be read starts and message is "Stream read error" (the bytes
// end early), "Invalid property value" (wrong type byte, missing list
// begin/end, unknown tag, a value the layout cannot hold) or "Grid index out
// of range" (a cell or edge entry outside its block or grid).
struct LayoutReadResult
{
    bool ok = false;
    std::size_t offset = 0;
    std::string message;
    std::size_t consumed = 0; // bytes read on success; later bytes are ignored
    int version = 0;          // 96 for an unversioned stream, else the stored version
    int layoutPPI = 0;        // resolution the stream was saved at

    explicit operator bool() const { return ok; }
};

// Reads layout streams (the "CoreData" of a bill). Streams are untrusted:
// every failure is reported, never a crash, and memory stays bounded by the
// stream length and the limits below.
class LayoutReader
{
public:
    // Upper bounds of what a stream may describe.
    static constexpr int kMaxCols = 4096;
    static constexpr int kMaxRows = 65536;
    static constexpr long kMaxGridSlots = 1L << 22;  // (cols + 1) * (rows + 1)
    static constexpr long kMaxBlockSlots = 1L << 16; // cells of one block
    static constexpr int kMaxSize = 1 << 16;         // one column or row, pixels

    // Reads a stream into layout, converting lengths from the stream's
    // resolution to screenPPI. The stream is read into a fresh layout that
    // replaces the given one only when the whole read succeeds; on failure
    // the layout is left as it was. Page settings the stream does not set
    // (the paper length and width, and everything but four values in an
    // unversioned stream) keep the layout's values.
    static LayoutReadResult Read(std::span<const std::uint8_t> bytes, TBillLayout &layout,
                                 int screenPPI = kDefaultScreenPpi);
};

} // namespace tally::layout
