#pragma once

#include "datapacket/fielddef.h"
#include "datapacket/packetdata.h"
#include "datapacket/packetparseresult.h"

#include <span>
#include <string>

namespace tally::datapacket {

// Reads the data packet subset into PacketData with pugixml. The reader never
// throws for bad input: it reports status, offset and message instead.
//
// How strictly: the text must be well-formed XML (attributes separated by
// white space, nothing but white space, comments and processing instructions
// around the root) with the DATAPACKET / METADATA / FIELDS / ROWDATA shape.
// White space or a byte order mark before the prolog is fine. Elements the
// subset does not name are ignored outside ROWDATA (an ERRORS list after the
// rows, say); ROWDATA holds only ROW elements. A field of type "nested" (a
// nested dataset) loads as a text column whose cells read "(N 行)", N the
// number of child rows (ROW elements inside the row's element named after
// the field); it never binds to a declared field. Names are
// case-sensitive as in XML: a lower-case `width` is not WIDTH and is ignored
// (a string field without WIDTH has width 20); WIDTH on a field that is not
// text or BCD is ignored. ROW attributes that name no field (RowState) are
// ignored. An empty attribute is the empty text for text fields and null for
// every other kind. Text longer than its WIDTH is kept whole: the width only
// sizes columns. Text must be valid UTF-8; NUL bytes are refused.
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

} // namespace tally::datapacket
