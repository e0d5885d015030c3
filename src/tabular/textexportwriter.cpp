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
static_assert(RememberedValues::kCapacity >= kBlankRun);

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

char *TextExportWriter::roomFor(char *p, const Column &column, std::size_t bytes)
{
    if (bytes <= column.width) [[likely]]
        return p;
    m_cursor = p;
    return Room(bytes + column.room);
}

char *TextExportWriter::writeOther(char *p, const Column &column, std::size_t row)
{
    const datapacket::FieldCell cell = column.cells->cell(row);
    if (cell.isNull())
        return padTo(p, 0, column.width);
    const std::uint64_t key = cell.valueKey();
    if (const std::optional<std::string_view> bytes = column.remembered->find(key)) {
        p = roomFor(p, column, bytes->size());
        // The room past a cell's width holds a blank run, so a short value
        // goes in one store of that size.
        if (bytes->size() <= kBlankRun)
            std::memcpy(p, bytes->data(), kBlankRun);
        else
            std::memcpy(p, bytes->data(), bytes->size());
        return padTo(p + bytes->size(), bytes->size(), column.width);
    }
    m_value.clear();
    cell.appendString(m_value);
    // No character takes more bytes in the code page than in UTF-8, so the
    // room for both is known before converting in place.
    p = roomFor(p, column, m_value.size());
    char *end = text::encodeCodePage(m_value, p);
    const auto length = static_cast<std::size_t>(end - p);
    column.remembered->remember(key, std::string_view(p, length));
    return padTo(end, length, column.width);
}

char *TextExportWriter::writeCell(char *p, const Column &column, std::size_t row)
{
    if (column.form == Form::Blank)
        return padTo(p, 0, column.width);
    const datapacket::ColumnReader &cells = *column.cells;
    if (column.form == Form::Other)
        return writeOther(p, column, row);
    if (column.form == Form::Text) {
        const std::string_view utf8 = cells.text(row);
        // As in writeOther, the UTF-8 length bounds the code page bytes.
        p = roomFor(p, column, utf8.size());
        char *end = text::encodeCodePage(utf8, p);
        return padTo(end, static_cast<std::size_t>(end - p), column.width);
    }
    // Numbers are ASCII, the same bytes in the code page, so they are
    // formatted in place.
    char *end = p;
    if (!cells.isNull(row)) {
        if (column.form == Form::Integer)
            end = std::to_chars(p, p + kMaxGeneralChars, cells.integer(row)).ptr;
        else
            end = writeGeneral(p, cells.number(row), m_table.formatSettings());
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
    std::size_t others = 0;
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        Column column{std::nullopt, m_widths[c], Form::Blank, 0, nullptr};
        if (m_columns[c].field >= 0) {
            const datapacket::PacketField &field = m_table.field(m_columns[c].field);
            column.cells.emplace(field);
            const datapacket::FieldKind kind = field.kind();
            if (datapacket::isTextKind(kind))
                column.form = Form::Text;
            else if (datapacket::isIntegerKind(kind))
                column.form = Form::Integer;
            else if ((kind == datapacket::FieldKind::Float || kind == datapacket::FieldKind::Bcd) &&
                     asciiFloats)
                column.form = Form::Float;
            else
                column.form = Form::Other;
        }
        others += column.form == Form::Other ? 1 : 0;
        columns.push_back(column);
    }
    m_remembered.clear();
    m_remembered.resize(others);
    std::size_t other = 0;
    for (Column &column : columns)
        if (column.form == Form::Other)
            column.remembered = &m_remembered[other++];
    // A row whose texts fit their widths needs rowRoom bytes; a longer text
    // makes room for itself.
    std::size_t rowRoom = 2; // CR LF
    for (std::size_t c = columns.size(); c-- > 0;) {
        Column &column = columns[c];
        column.room = kBlankRun + rowRoom;
        const bool formatted = column.form == Form::Integer || column.form == Form::Float;
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
