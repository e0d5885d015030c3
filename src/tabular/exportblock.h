#pragma once

#include "tabular/exportstream.h"

#include <cstddef>
#include <memory>

namespace tally::tabular {

// The bytes an export writer formats in place before they go to its stream:
// in writes of ExportStream::kBlockSize that start at multiples of that size
// in the file, as the page cache takes them at the least cost (a write that
// ends inside one of its blocks costs the next one more). Past a full block
// there is room for the unit (a line, a record) that fills it.
class ExportBlock
{
public:
    // `slack`: how far past a full block a unit that starts before it may
    // write without asking for room.
    ExportBlock(ExportStream &out, std::size_t slack);

    char *cursor() const { return m_cursor; }
    void setCursor(char *p) { m_cursor = p; }
    // The bytes that can be written at the cursor without handing anything on.
    std::size_t left() const { return static_cast<std::size_t>(m_end - m_cursor); }

    // Where `bytes` bytes can be written, at the cursor: when they do not
    // fit, what the block holds is handed on first, and a block too small
    // for them is replaced by one of their size.
    char *room(std::size_t bytes)
    {
        if (static_cast<std::size_t>(m_end - m_cursor) >= bytes) [[likely]]
            return m_cursor;
        return makeRoom(bytes);
    }

    // Hands on the next block's worth once the block holds it; call after
    // every whole unit.
    void unitDone()
    {
        if (static_cast<std::size_t>(m_cursor - m_start) >= ExportStream::kBlockSize)
            handOnBlock();
    }

    // Hands on all the block holds.
    void flush();

private:
    char *makeRoom(std::size_t bytes);
    void handOnBlock();

    ExportStream &m_out;
    std::unique_ptr<char[]> m_storage;
    char *m_start = nullptr;
    char *m_cursor = nullptr;
    char *m_end = nullptr;
    std::size_t m_handedOn = 0; // bytes handed to the stream so far
};

} // namespace tally::tabular
