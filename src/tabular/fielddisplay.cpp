#include "tabular/fielddisplay.h"

#include "datapacket/datapackettable.h"

namespace tally::tabular {

std::string displayFormatOf(const FieldDisplay &display)
{
    if (display.numericKind != 2)
        return {};
    return "0." + std::string(static_cast<std::size_t>(std::max(display.decimals, 0)), '0');
}

void applyFieldDisplays(datapacket::DataPacketTable &table, std::span<const FieldDisplay> displays)
{
    using datapacket::FieldKind;
    for (const FieldDisplay &d : displays) {
        datapacket::PacketField &field = table.fieldByName(d.fieldName);
        field.setDisplayLabel(d.label);
        const FieldKind kind = field.kind();
        if (datapacket::isIntegerKind(kind) || kind == FieldKind::Float || kind == FieldKind::Bcd)
            field.setDisplayFormat(displayFormatOf(d));
    }
}

} // namespace tally::tabular
