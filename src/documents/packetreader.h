#pragma once

#include "documents/fielddef.h"
#include "documents/packetdata.h"
#include "documents/packetparseresult.h"

#include <span>
#include <string>

namespace tally {

// Reads the data packet subset into PacketData with pugixml. The reader never
// throws for bad input: it reports status, offset and message instead.
class PacketReader
{
public:
    // Parses text (UTF-8) into out. With declared fields, only those become
    // visible, bound by name regardless of letter case and checked for kind;
    // without, every packet field is visible. On failure out is left empty.
    static PacketParseResult read(std::string text, std::span<const FieldDef> declared,
                                  PacketData &out);

    // The field kind of a type code, SUBTYPE considered; false for an unknown code.
    static bool kindOfTypeCode(std::string_view typeCode, std::string_view subtype,
                               FieldKind &kind);
};

} // namespace tally
