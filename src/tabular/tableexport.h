#pragma once

#include "tabular/exportcolumn.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::tabular {

enum class ExportFormat
{
    Text, // fixed-width comma-separated lines, code page 936
    Biff, // the plain BIFF record stream (".xls")
    Xlsx, // an Office Open XML workbook (".xlsx")
};

enum class ExportOutcome
{
    Completed, // every row written, the file is in place
    Stopped,   // the progress callback asked to stop; nothing was put in place
};

// Called after each row with the number of rows written so far (1 .. record
// count); returning false stops the export.
using ExportProgress = std::function<bool(std::size_t rowsWritten)>;

// The spreadsheet format a file name asks for: Xlsx when it ends in ".xlsx"
// (letter case ignored), Biff otherwise.
ExportFormat spreadsheetFormatFor(std::string_view fileName);

// The name a text export writes for fileName: its last extension replaced by
// ".txt", or ".txt" appended when it has none.
std::string textExportFileName(std::string_view fileName);

// Writes the table's rows, in table order, as the columns give them, to the
// file `path` in the given format. The table is only read (its current row
// does not move). The file appears under `path` only when complete: a failure
// or a stop leaves nothing there (a previous file of that name stays as it
// was), except that an existing device or pipe is written directly and left
// in place. Throws ExportError naming the cause.
ExportOutcome exportTable(const datapacket::DataPacketTable &table,
                          std::span<const ExportColumn> columns, ExportFormat format,
                          const std::string &path, const ExportProgress &progress = {});

} // namespace tally::tabular
