#pragma once

#include "datapacket/packetparseresult.h"

#include <stdexcept>

namespace tally::datapacket {

// Thrown when a packet does not load; carries the reader's result. The table
// that threw is closed and empty.
class PacketError : public std::runtime_error
{
public:
    explicit PacketError(PacketParseResult result);

    const PacketParseResult &result() const { return m_result; }
    PacketStatus status() const { return m_result.status; }
    std::ptrdiff_t offset() const { return m_result.offset; }

private:
    PacketParseResult m_result;
};

} // namespace tally::datapacket
