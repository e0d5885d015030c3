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

namespace {

// Sixteen blanks stored at once: a cell's room always reaches this far past
// its padding, so short pads cost one store instead of a call.
constexpr std::size_t kBlankRun = 16;

// Blanks after the `written` bytes that end at `end`, up to `width` in all;
// returns the new end. May store up to kBlankRun bytes past it.
char *padTo(char *end, std::size_t written, std::size_t width)
{
    static constexpr char blanks[kBlankRun + 1] = "                ";
    if (written >= width)
        return end;
    std::size_t left = width - written;
    char *const stop = end + left;
    for (;;) {
        std::memcpy(end, blanks, kBlankRun);
        if (left <= kBlankRun)
            return stop;
        end += kBlankRun;
        left -= kBlankRun;
    }
}

} // namespace

void TextExportWriter::writePadded(std::string_view utf8, std::size_t width)
{
    // No character takes more bytes in the code page than in UTF-8, so the
    // room for both is known before converting in place.
    char *p = Room(std::max(utf8.size(), width) + kBlankRun);
    char *end = text::encodeCodePage(utf8, p);
    m_cursor = padTo(end, static_cast<std::size_t>(end - p), width);
}

char *TextExportWriter::writeCell(char *p, const Column &column, std::size_t row)
{
    if (column.form == Form::Blank)
        return padTo(p, 0, column.width);
    const datapacket::FieldCell cell = column.field->at(row);
    if (column.form == Form::Text || column.form == Form::Other) {
        std::string_view utf8;
        if (column.form == Form::Text) {
            utf8 = cell.textView();
        } else {
            m_value.clear();
            cell.appendString(m_value);
            utf8 = m_value;
        }
        // No character takes more bytes in the code page than in UTF-8, so
        // the room for both is known before converting in place.
        if (utf8.size() > column.width) [[unlikely]] {
            m_cursor = p;
            p = Room(utf8.size() + column.room);
        }
        char *end = text::encodeCodePage(utf8, p);
        return padTo(end, static_cast<std::size_t>(end - p), column.width);
    }
    // Numbers and flags are ASCII, the same bytes in the code page, so they
    // are formatted in place.
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
    return padTo(end, static_cast<std::size_t>(end - p), column.width);
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
        Column column{nullptr, m_widths[c], Form::Blank, 0};
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
    // A row whose texts fit their widths needs rowRoom bytes; a longer text
    // makes room for itself.
    std::size_t rowRoom = 2; // CR LF
    for (std::size_t c = columns.size(); c-- > 0;) {
        Column &column = columns[c];
        column.room = kBlankRun + rowRoom;
        const bool formatted = column.form == Form::Integer || column.form == Form::Float ||
                               column.form == Form::Boolean;
        rowRoom += (formatted ? std::max(column.width, kMaxGeneralChars) : column.width) +
                   kBlankRun + (c > 0 ? 1 : 0);
    }

    const std::size_t rows = m_table.recordCount();
    for (std::size_t row = 0; row < rows; ++row) {
        char *p = Room(rowRoom);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0)
                *p++ = ',';
            p = writeCell(p, columns[c], row);
        }
        std::memcpy(p, "\r\n", 2);
        m_cursor = p + 2;
        if (m_cursor - m_block.get() >= static_cast<std::ptrdiff_t>(kBlockSize))
            FlushBlock();
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    FlushBlock();
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
