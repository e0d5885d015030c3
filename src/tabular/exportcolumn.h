#pragma once

#include <string>
#include <vector>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::tabular {

// One column of an export, as the grid shows it.
struct ExportColumn
{
    int field = -1;       // position of the table field it reads; -1: none (blank cells)
    std::string caption;  // title caption, UTF-8
    int displayWidth = 0; // the field's display width, in code-page bytes
};

// The default export: every visible field of the table in order, captioned
// with its display label.
std::vector<ExportColumn> defaultExportColumns(const datapacket::DataPacketTable &table);

} // namespace tally::tabular
