#include "datapacket/packeterror.h"

namespace tally::datapacket {

PacketError::PacketError(PacketParseResult result)
    : std::runtime_error("data packet does not load: " + result.description()),
      m_result(std::move(result))
{
}

} // namespace tally::datapacket
