#include "datapacket/fielddef.h"

namespace tally::datapacket {

std::string_view fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        return "text";
    case FieldKind::WideText:
        return "wide text";
    case FieldKind::Boolean:
        return "boolean";
    case FieldKind::Int8:
        return "8-bit integer";
    case FieldKind::UInt8:
        return "byte";
    case FieldKind::Int16:
        return "small integer";
    case FieldKind::UInt16:
        return "word";
    case FieldKind::Int32:
        return "integer";
    case FieldKind::UInt32:
        return "long word";
    case FieldKind::Int64:
        return "large integer";
    case FieldKind::Float:
        return "float";
    case FieldKind::Bcd:
        return "BCD";
    case FieldKind::Date:
        return "date";
    case FieldKind::Time:
        return "time";
    case FieldKind::DateTime:
        return "date-time";
    case FieldKind::Memo:
        return "memo";
    case FieldKind::Blob:
        return "blob";
    }
    return "unknown";
}

} // namespace tally::datapacket
