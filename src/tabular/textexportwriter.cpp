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

void TextExportWriter::appendValue(std::string &line, const datapacket::FieldCell &cell,
                                   std::size_t width)
{
    // Text values are read in place; other kinds are formatted straight into
    // the line and re-encoded only when they are not plain ASCII (a month
    // name, say), so a number costs no text of its own.
    if (datapacket::isTextKind(cell.field().kind())) {
        PadRight(line, cell.textView(), width);
        return;
    }
    const std::size_t start = line.size();
    cell.appendString(line);
    const auto nonAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    if (std::any_of(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), nonAscii)) {
        m_value.assign(line, start);
        line.resize(start);
        text::appendCodePage(line, m_value);
    }
    const std::size_t written = line.size() - start;
    if (written < width)
        line.append(width - written, ' ');
}

ExportOutcome TextExportWriter::write(ExportStream &out, const ExportProgress &progress)
{
    std::string &line = out.buffer();
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (c > 0)
            line += ',';
        PadRight(line, m_columns[c].caption, m_widths[c]);
    }
    line += "\r\n";
    out.flushIfFull();

    // The fields are looked up once, not per cell.
    std::vector<const datapacket::PacketField *> fields;
    fields.reserve(m_columns.size());
    for (const ExportColumn &c : m_columns)
        fields.push_back(c.field < 0 ? nullptr : &m_table.field(c.field));

    const std::size_t rows = m_table.recordCount();
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            if (c > 0)
                line += ',';
            if (fields[c])
                appendValue(line, fields[c]->at(row), m_widths[c]);
            else
                line.append(m_widths[c], ' ');
        }
        line += "\r\n";
        out.flushIfFull();
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
