#include "tabular/exportcolumn.h"

#include "datapacket/datapackettable.h"

namespace tally::tabular {

std::vector<ExportColumn> defaultExportColumns(const datapacket::DataPacketTable &table)
{
    std::vector<ExportColumn> columns;
    columns.reserve(static_cast<std::size_t>(table.fieldCount()));
    for (int i = 0; i < table.fieldCount(); ++i) {
        const datapacket::PacketField &f = table.field(i);
        if (f.isVisible())
            columns.push_back({i, f.displayLabel(), f.displayWidth()});
    }
    return columns;
}

} // namespace tally::tabular
