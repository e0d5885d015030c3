#include "tabular/textexportwriter.h"

#include "base/textcodec.h"
#include "datapacket/datapackettable.h"
#include "tabular/exportstream.h"

#include <algorithm>

namespace tally::tabular {

TextExportWriter::TextExportWriter(const datapacket::DataPacketTable &table,
                                   std::span<const ExportColumn> columns)
    : m_table(table), m_columns(columns)
{
    m_widths.reserve(columns.size());
    for (const ExportColumn &c : columns)
        m_widths.push_back(std::max(static_cast<std::size_t>(std::max(c.displayWidth, 0)),
                                    text::codePageLength(c.caption)));
}

void TextExportWriter::PadRight(std::string &line, std::string_view text, std::size_t width)
{
    const std::size_t written = text::appendCodePage(line, text);
    if (written < width)
        line.append(width - written, ' ');
}

ExportOutcome TextExportWriter::write(ExportStream &out, const ExportProgress &progress)
{
    std::string line;
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (c > 0)
            line += ',';
        PadRight(line, m_columns[c].caption, m_widths[c]);
    }
    line += "\r\n";
    out.write(line);

    const std::size_t rows = m_table.recordCount();
    std::string value;
    for (std::size_t row = 0; row < rows; ++row) {
        line.clear();
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            if (c > 0)
                line += ',';
            const int field = m_columns[c].field;
            if (field < 0) {
                PadRight(line, {}, m_widths[c]);
                continue;
            }
            const datapacket::FieldCell cell = m_table.cell(row, field);
            // Text values are read in place; other kinds are formatted.
            if (datapacket::isTextKind(cell.field().kind())) {
                PadRight(line, cell.textView(), m_widths[c]);
            } else {
                value = cell.asString();
                PadRight(line, value, m_widths[c]);
            }
        }
        line += "\r\n";
        out.write(line);
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
