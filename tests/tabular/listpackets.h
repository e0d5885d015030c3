#pragma once

// Small list packets for the grid and window tests.
#include <string>
#include <string_view>

namespace tally::tabular::test {

// A packet with the given FIELD elements and ROW elements.
inline std::string listPacket(std::string_view fields, std::string_view rows)
{
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>";
    s += fields;
    s += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    s += rows;
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

// `rows` rows of a code, a name and an amount: "C1", "商品1", 1.5 ...
inline std::string goodsPacket(int rows)
{
    std::string body;
    for (int i = 1; i <= rows; ++i)
        body += "<ROW SPCODE=\"C" + std::to_string(i) + "\" SPNAME=\"商品" + std::to_string(i) +
                "\" JE=\"" + std::to_string(i) + ".5\"/>";
    return listPacket("<FIELD attrname=\"SPCODE\" fieldtype=\"string\" WIDTH=\"10\"/>"
                      "<FIELD attrname=\"SPNAME\" fieldtype=\"string\" WIDTH=\"20\"/>"
                      "<FIELD attrname=\"JE\" fieldtype=\"r8\"/>",
                      body);
}

} // namespace tally::tabular::test
