#pragma once

// Small list packets for the grid and window tests.
#include "support/packettext.h"

#include <string>

namespace tally::tabular::test {

using tally::test::packetText;

// `rows` rows of a code, a name and an amount: "C1", "商品1", 1.5 ...
inline std::string goodsPacket(int rows)
{
    std::string body;
    for (int i = 1; i <= rows; ++i)
        body += "<ROW SPCODE=\"C" + std::to_string(i) + "\" SPNAME=\"商品" + std::to_string(i) +
                "\" JE=\"" + std::to_string(i) + ".5\"/>";
    return packetText("<FIELD attrname=\"SPCODE\" fieldtype=\"string\" WIDTH=\"10\"/>"
                      "<FIELD attrname=\"SPNAME\" fieldtype=\"string\" WIDTH=\"20\"/>"
                      "<FIELD attrname=\"JE\" fieldtype=\"r8\"/>",
                      body);
}

} // namespace tally::tabular::test
