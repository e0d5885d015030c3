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

namespace {

// Blanks after the `written` bytes that end at `end`, up to `width` in all;
// returns the new end.
char *padTo(char *end, std::size_t written, std::size_t width)
{
    if (written < width) {
        std::memset(end, ' ', width - written);
        end += width - written;
    }
    return end;
}

} // namespace

void TextExportWriter::writeCell(const Column &column, std::size_t row)
{
    if (column.form == Form::Blank) {
        m_cursor = padTo(Room(column.width), 0, column.width);
        return;
    }
    const datapacket::FieldCell cell = column.field->at(row);
    if (column.form == Form::Text) {
        writePadded(cell.textView(), column.width);
        return;
    }
    if (column.form == Form::Other) {
        m_value.clear();
        cell.appendString(m_value);
        writePadded(m_value, column.width);
        return;
    }
    // Numbers and flags are ASCII, the same bytes in the code page, so they
    // are formatted in place.
    char *p = Room(std::max(kMaxGeneralChars, column.width));
    char *end = p;
    if (!cell.isNull()) {
        if (column.form == Form::Integer) {
            end = std::to_chars(p, p + kMaxGeneralChars, cell.asInteger()).ptr;
        } else if (column.form == Form::Float) {
            end = writeGeneral(p, cell.asFloat(), m_table.formatSettings());
        } else {
            const std::string_view flag = cell.asInteger() != 0 ? "True" : "False";
            end = std::copy(flag.begin(), flag.end(), p);
        }
    }
    m_cursor = padTo(end, static_cast<std::size_t>(end - p), column.width);
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

    // The fields and how to write them are looked up once, not per cell.
    const bool asciiFloats =
        static_cast<unsigned char>(m_table.formatSettings().decimalSeparator) < 0x80;
    std::vector<Column> columns;
    columns.reserve(m_columns.size());
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        Column column{nullptr, m_widths[c], Form::Blank};
        if (m_columns[c].field >= 0) {
            column.field = &m_table.field(m_columns[c].field);
            const datapacket::FieldKind kind = column.field->kind();
            if (datapacket::isTextKind(kind))
                column.form = Form::Text;
            else if (datapacket::isIntegerKind(kind))
                column.form = Form::Integer;
            else if ((kind == datapacket::FieldKind::Float || kind == datapacket::FieldKind::Bcd) &&
                     asciiFloats)
                column.form = Form::Float;
            else if (kind == datapacket::FieldKind::Boolean)
                column.form = Form::Boolean;
            else
                column.form = Form::Other;
        }
        columns.push_back(column);
    }

    const std::size_t rows = m_table.recordCount();
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0)
                comma();
            writeCell(columns[c], row);
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
