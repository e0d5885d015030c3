#include "tabular/textexportwriter.h"

#include "base/formatsettings.h"
#include "base/numberformat.h"
#include "base/textcodec.h"
#include "datapacket/datapackettable.h"
#include "tabular/exportstream.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tally::tabular {

TextExportWriter::TextExportWriter(const datapacket::DataPacketTable &table,
                                   std::span<const ExportColumn> columns)
    : m_table(table), m_columns(columns),
      m_asciiFloats(static_cast<unsigned char>(table.formatSettings().decimalSeparator) < 0x80)
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

char *TextExportWriter::Room(std::size_t bytes)
{
    if (static_cast<std::size_t>(m_end - m_cursor) < bytes) {
        FlushBlock();
        // A value longer than a block (a memo, say) gets a block of its size.
        if (static_cast<std::size_t>(m_end - m_cursor) < bytes) {
            m_block = std::make_unique<char[]>(bytes);
            m_cursor = m_block.get();
            m_end = m_cursor + bytes;
        }
    }
    return m_cursor;
}

void TextExportWriter::FlushBlock()
{
    m_out->write(
        std::string_view(m_block.get(), static_cast<std::size_t>(m_cursor - m_block.get())));
    m_cursor = m_block.get();
}

void TextExportWriter::writePadded(std::string_view utf8, std::size_t width)
{
    // No character takes more bytes in the code page than in UTF-8, so the
    // room for both is known before converting in place.
    char *p = Room(std::max(utf8.size(), width));
    char *end = text::encodeCodePage(utf8, p);
    const auto written = static_cast<std::size_t>(end - p);
    if (written < width) {
        std::memset(end, ' ', width - written);
        end += width - written;
    }
    m_cursor = end;
}

void TextExportWriter::writeValue(const datapacket::FieldCell &cell, std::size_t width)
{
    // Text values are read in place and numbers formatted in place (their
    // bytes are ASCII, the same in the code page); other kinds are formatted
    // on their own first.
    const datapacket::FieldKind kind = cell.field().kind();
    if (datapacket::isTextKind(kind)) {
        writePadded(cell.textView(), width);
        return;
    }
    const bool integer = datapacket::isIntegerKind(kind);
    if (integer || (m_asciiFloats &&
                    (kind == datapacket::FieldKind::Float || kind == datapacket::FieldKind::Bcd))) {
        if (cell.isNull()) {
            std::memset(Room(width), ' ', width);
            m_cursor += width;
            return;
        }
        char *p = Room(std::max(kMaxGeneralChars, width));
        char *end = integer ? std::to_chars(p, p + kMaxGeneralChars, cell.asInteger()).ptr
                            : writeGeneral(p, cell.asFloat(), m_table.formatSettings());
        const auto written = static_cast<std::size_t>(end - p);
        if (written < width) {
            std::memset(end, ' ', width - written);
            end += width - written;
        }
        m_cursor = end;
        return;
    }
    m_value.clear();
    cell.appendString(m_value);
    writePadded(m_value, width);
}

ExportOutcome TextExportWriter::write(ExportStream &out, const ExportProgress &progress)
{
    // Lines go into a block of the writer's own, handed to the stream whole.
    m_out = &out;
    m_block = std::make_unique<char[]>(kBlockSize + kSlack);
    m_cursor = m_block.get();
    m_end = m_cursor + kBlockSize + kSlack;
    const auto comma = [this] {
        *Room(1) = ',';
        ++m_cursor;
    };

    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (c > 0)
            comma();
        writePadded(m_columns[c].caption, m_widths[c]);
    }
    std::memcpy(Room(2), "\r\n", 2);
    m_cursor += 2;

    // The fields are looked up once, not per cell.
    std::vector<const datapacket::PacketField *> fields;
    fields.reserve(m_columns.size());
    for (const ExportColumn &c : m_columns)
        fields.push_back(c.field < 0 ? nullptr : &m_table.field(c.field));

    const std::size_t rows = m_table.recordCount();
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            if (c > 0)
                comma();
            if (fields[c]) {
                writeValue(fields[c]->at(row), m_widths[c]);
            } else {
                std::memset(Room(m_widths[c]), ' ', m_widths[c]);
                m_cursor += m_widths[c];
            }
        }
        std::memcpy(Room(2), "\r\n", 2);
        m_cursor += 2;
        if (m_cursor - m_block.get() >= static_cast<std::ptrdiff_t>(kBlockSize))
            FlushBlock();
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    FlushBlock();
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
