#pragma once

#include <string>
#include <string_view>

namespace tally::test {

// A packet with the given FIELD elements and ROW elements, in the shape the
// web pages send.
inline std::string packetText(std::string_view fields, std::string_view rows)
{
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>";
    s += fields;
    s += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    s += rows;
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

} // namespace tally::test
