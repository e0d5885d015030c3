#include "commands.h"

#include <cstdio>

namespace tally::tool {

int runPacket(std::span<const std::string_view>)
{
    std::fputs("packet: not available yet\n", stderr);
    return 2;
}

} // namespace tally::tool
