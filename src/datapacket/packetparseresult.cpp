#include "datapacket/packetparseresult.h"

namespace tally::datapacket {

const char *packetStatusName(PacketStatus status)
{
    switch (status) {
    case PacketStatus::Ok:
        return "ok";
    case PacketStatus::XmlSyntax:
        return "xml-syntax";
    case PacketStatus::NotAPacket:
        return "not-a-packet";
    case PacketStatus::BadFieldDef:
        return "bad-field";
    case PacketStatus::BadValue:
        return "bad-value";
    case PacketStatus::BadText:
        return "bad-text";
    case PacketStatus::DeclaredMissing:
        return "declared-missing";
    case PacketStatus::DeclaredMismatch:
        return "declared-mismatch";
    case PacketStatus::TooLarge:
        return "too-large";
    }
    return "unknown";
}

std::string PacketParseResult::description() const
{
    if (status == PacketStatus::Ok)
        return "no error";
    std::string s;
    if (offset >= 0)
        s = "offset " + std::to_string(offset);
    if (!field.empty())
        s += (s.empty() ? "" : ", ") + std::string("field \"") + field + '"';
    if (row > 0)
        s += (s.empty() ? "" : ", ") + std::string("row ") + std::to_string(row);
    return s.empty() ? message : s + ": " + message;
}

} // namespace tally::datapacket
