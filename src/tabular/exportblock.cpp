#include "tabular/exportblock.h"

#include <cstring>
#include <string_view>

namespace tally::tabular {

ExportBlock::ExportBlock(ExportStream &out, std::size_t slack)
    : m_out(out),
      m_storage(std::make_unique_for_overwrite<char[]>(ExportStream::kBlockSize + slack)),
      m_start(m_storage.get()), m_cursor(m_start), m_end(m_start + ExportStream::kBlockSize + slack)
{
}

void ExportBlock::flush()
{
    const auto held = static_cast<std::size_t>(m_cursor - m_start);
    m_out.write(std::string_view(m_start, held));
    m_handedOn += held;
    m_cursor = m_start;
}

void ExportBlock::handOnBlock()
{
    // Up to the next multiple of the block size in the file: after a flush
    // that was not one (making room mid-unit), writes line up again here.
    const std::size_t size = ExportStream::kBlockSize - m_handedOn % ExportStream::kBlockSize;
    m_out.write(std::string_view(m_start, size));
    m_handedOn += size;
    const auto rest = static_cast<std::size_t>(m_cursor - m_start) - size;
    std::memmove(m_start, m_start + size, rest);
    m_cursor = m_start + rest;
}

char *ExportBlock::makeRoom(std::size_t bytes)
{
    flush();
    // A value longer than a block (a memo, say) gets a block of its size.
    if (static_cast<std::size_t>(m_end - m_cursor) < bytes) {
        m_storage = std::make_unique_for_overwrite<char[]>(bytes);
        m_start = m_storage.get();
        m_cursor = m_start;
        m_end = m_start + bytes;
    }
    return m_cursor;
}

} // namespace tally::tabular
