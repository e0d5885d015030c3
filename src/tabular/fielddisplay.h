#pragma once

#include <span>
#include <string>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::tabular {

// How a query dataset shows one of its fields: the label, and for numeric
// kind 2 a fixed number of decimals.
struct FieldDisplay
{
    std::string fieldName;
    std::string label;
    int numericKind = 0;
    int decimals = 0;
};

// The display format a definition gives a numeric field: "0." and `decimals`
// zeros for numeric kind 2, else empty.
std::string displayFormatOf(const FieldDisplay &display);

// Applies the definitions in order: each named field gets the label, and a
// numeric field the display format. Throws datapacket::FieldError for a name
// the table lacks (definitions before it are applied).
void applyFieldDisplays(datapacket::DataPacketTable &table, std::span<const FieldDisplay> displays);

} // namespace tally::tabular
