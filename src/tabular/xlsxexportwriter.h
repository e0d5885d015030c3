#pragma once

#include "tabular/exportcolumn.h"
#include "tabular/tableexport.h"

#include <span>

namespace tally::tabular {

class ExportTarget;

// The spreadsheet export as an Office Open XML workbook of one sheet, written
// row by row in constant memory: a bold, frozen header row of captions;
// numbers as numbers (money fields with two decimals and thousands
// separators), dates and times as dates, booleans as booleans, text as UTF-8;
// column widths from the display widths.
class XlsxExportWriter
{
public:
    // Rows and columns one sheet holds (the header row included).
    static constexpr std::size_t kMaxRows = 1048576;
    static constexpr std::size_t kMaxColumns = 16384;
    // Characters one cell holds.
    static constexpr std::size_t kMaxTextChars = 32767;

    // Reads `table` through `columns`; both must outlive the writer. Throws
    // ExportError when the table needs more rows or columns than a sheet has.
    XlsxExportWriter(const datapacket::DataPacketTable &table,
                     std::span<const ExportColumn> columns);

    // Writes the workbook to the target's file. Throws FieldError for a value
    // that cannot be read, ExportError for a text longer than a cell holds or
    // a workbook that cannot be written.
    ExportOutcome write(const ExportTarget &target, const ExportProgress &progress);

private:
    const datapacket::DataPacketTable &m_table;
    std::span<const ExportColumn> m_columns;
};

} // namespace tally::tabular
