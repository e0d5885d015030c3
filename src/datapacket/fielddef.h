#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tally::datapacket {

class FieldCell;

// What a field holds. Text, Int32 and Float are the kinds the documents
// declare; the others come from the further type codes a packet may carry.
enum class FieldKind
{
    Text,     // "string": UTF-8 text, size in code-page-936 bytes
    WideText, // "string.uni"
    Boolean,  // "boolean"
    Int8,     // "i1"
    UInt8,    // "ui1"
    Int16,    // "i2"
    UInt16,   // "ui2"
    Int32,    // "i4"
    UInt32,   // "ui4"
    Int64,    // "i8"
    Float,    // "r8" (currency when flagged)
    Bcd,      // "fixed" / "fixedFMT": decimal with DECIMALS and WIDTH
    Date,     // "date"
    Time,     // "time"
    DateTime, // "dateTime" / "SQLdateTime"
    Memo,     // "bin.hex" with a text subtype
    Blob,     // "bin.hex" otherwise
};

// Display name of a kind ("text", "integer", "float", ...), for tools and messages.
std::string_view fieldKindName(FieldKind kind);

// True for the kinds whose values are integers (Int8 .. Int64). Inline: every
// cell read asks.
constexpr bool isIntegerKind(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Int8:
    case FieldKind::UInt8:
    case FieldKind::Int16:
    case FieldKind::UInt16:
    case FieldKind::Int32:
    case FieldKind::UInt32:
    case FieldKind::Int64:
        return true;
    default:
        return false;
    }
}

// True for Text, WideText and Memo: values are text and numeric reads parse it.
constexpr bool isTextKind(FieldKind kind)
{
    return kind == FieldKind::Text || kind == FieldKind::WideText || kind == FieldKind::Memo;
}

// Display text callback: gets the cell being shown (its field and row) and
// returns the text to show instead of the field's own display text.
using FieldTextCallback = std::function<std::string(const FieldCell &)>;

// A field fixed in advance by the owner of a table. Loading binds it to the
// packet field of the same name (letter case ignored) and fails when that
// field is missing or of another kind.
struct FieldDef
{
    std::string name;
    FieldKind kind = FieldKind::Text;
    int size = 20;             // text fields: width in code-page bytes
    bool fixedLength = false;  // read like any text field
    std::string displayLabel;  // empty: the name
    std::string displayFormat; // number pattern for numeric fields
    bool currency = false;     // float fields: show in the currency format
    FieldTextCallback textCallback;
};

} // namespace tally::datapacket
