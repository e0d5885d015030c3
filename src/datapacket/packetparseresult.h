#pragma once

#include <cstddef>
#include <string>

namespace tally::datapacket {

// Why a packet did not load.
enum class PacketStatus
{
    Ok,
    XmlSyntax,        // not well-formed XML (pugixml's own reason in the message)
    NotAPacket,       // well-formed, but not the DATAPACKET/METADATA/ROWDATA shape
    BadFieldDef,      // FIELD without name or with an unknown type code or bad WIDTH
    BadValue,         // a ROW value that is not valid for its field's type
    BadText,          // text that is not UTF-8
    DeclaredMissing,  // a declared field is absent from the packet
    DeclaredMismatch, // a declared field's packet type is not compatible
    TooLarge,         // the text exceeds what a table can address (4 GiB)
};

// Outcome of reading a packet, in the manner of pugi::xml_parse_result:
// status, byte offset into the text (-1 when no place applies) and a message.
// field and row (1-based, 0 when none) name the value that failed.
struct PacketParseResult
{
    PacketStatus status = PacketStatus::Ok;
    std::ptrdiff_t offset = -1;
    std::string field;
    std::size_t row = 0;
    std::string message;

    explicit operator bool() const { return status == PacketStatus::Ok; }
    // One line: "offset 120, field "SL", row 3: <message>".
    std::string description() const;
};

// Short name of a status ("xml-syntax", "bad-value", ...).
const char *packetStatusName(PacketStatus status);

} // namespace tally::datapacket
