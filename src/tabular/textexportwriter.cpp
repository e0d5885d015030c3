#include "tabular/textexportwriter.h"

#include "base/codepagewriter.h"
#include "base/formatsettings.h"
#include "base/integertext.h"
#include "base/numberformat.h"
#include "base/textcodec.h"
#include "datapacket/datapackettable.h"

#include <algorithm>
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

namespace {

// After rows with a value longer than its width, the rows written cell by
// cell before writeFittingRows is tried again: this many, doubled for each
// further miss in a row up to kMaxCellByCellDoublings times, so that data
// whose values often overflow loses little to the tries.
constexpr std::size_t kRowsCellByCell = 64;
constexpr unsigned kMaxCellByCellDoublings = 6;

// The header line's padding: blanks stored sixteen at a time.
constexpr std::size_t kPadRun = 16;

// Blanks after the `written` bytes that end at `end`, up to `width` in all;
// returns the new end. May store up to kPadRun bytes past it.
char *padTo(char *end, std::size_t written, std::size_t width)
{
    static constexpr char blanks[kPadRun + 1] = "                ";
    if (written >= width)
        return end;
    std::size_t left = width - written;
    char *const stop = end + left;
    for (;;) {
        std::memcpy(end, blanks, kPadRun);
        if (left <= kPadRun)
            return stop;
        end += kPadRun;
        left -= kPadRun;
    }
}

// Copies n bytes (at most RememberedValues::kCapacity) exactly, without a call
// for the short values it is used for.
[[gnu::always_inline]] inline void copyShort(char *to, const char *from, std::size_t n)
{
    if (n >= 8 && n <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        std::memcpy(to, from, n);
    }
}

} // namespace

void TextExportWriter::writePadded(std::string_view utf8, std::size_t width)
{
    // No character takes more bytes in the code page than in UTF-8, so the
    // room for both is known before converting in place.
    char *p = m_block->room(std::max(utf8.size(), width) + kPadRun);
    char *end = text::encodeCodePage(utf8, p);
    m_block->setCursor(padTo(end, static_cast<std::size_t>(end - p), width));
}

char *TextExportWriter::roomFor(char *at, const Column &column, std::size_t bytes)
{
    if (bytes <= column.width) [[likely]]
        return at;
    m_block->setCursor(at);
    char *const moved = m_block->room(bytes + column.room);
    // A new block starts with this cell: the rest of the row's blanks and
    // separators go there too.
    if (moved != at)
        std::memcpy(moved, m_rowTemplate.data() + column.offset,
                    m_rowTemplate.size() - column.offset);
    return moved;
}

template <typename Place>
char *TextExportWriter::writeOther(const Column &column, std::size_t row, Place place)
{
    const datapacket::FieldCell cell = column.cells->presentCell(row);
    if (const std::optional<std::string_view> bytes = column.remembered->find(cell.valueKey()))
        [[likely]] {
        char *const at = place(bytes->size());
        if (at == nullptr)
            return nullptr;
        copyShort(at, bytes->data(), bytes->size());
        return at + bytes->size();
    }
    return formatOther(column, cell, place);
}

template <typename Place>
char *TextExportWriter::formatOther(const Column &column, const datapacket::FieldCell &cell,
                                    Place place)
{
    m_value.clear();
    cell.appendString(m_value);
    // No character takes more bytes in the code page than in UTF-8, so the
    // room for both is known before converting in place.
    char *const at = place(m_value.size());
    if (at == nullptr)
        return nullptr;
    char *const end = text::encodeCodePage(m_value, at);
    column.remembered->remember(cell.valueKey(),
                                std::string_view(at, static_cast<std::size_t>(end - at)));
    return end;
}

char *TextExportWriter::writeCell(char *&at, const Column &column, std::size_t row)
{
    // A null cell (and every cell of a column of no field) keeps the
    // template's blanks.
    if ((column.nulls >> (row % 64) & 1) != 0)
        return at;
    // Numbers are ASCII, the same bytes in the code page, so they are
    // formatted in place.
    switch (column.form) {
    case Form::Blank:
        return at;
    case Form::Text: {
        const std::string_view utf8 = column.cells->presentText(row);
        // As in formatOther, the UTF-8 length bounds the code page bytes.
        at = roomFor(at, column, utf8.size());
        return text::writeCodePage(utf8, at);
    }
    case Form::Integer:
        return writeInteger(at, column.cells->presentInteger(row));
    case Form::Float:
        return writeGeneral(at, column.cells->presentNumber(row), m_table.formatSettings());
    case Form::Other:
        return writeOther(column, row,
                          [&](std::size_t bytes) { return at = roomFor(at, column, bytes); });
    }
    return at;
}

bool TextExportWriter::writeFittingRows(const ColumnsByForm &forms, char *base, std::size_t stride,
                                        std::size_t first, std::size_t count)
{
    // The lines' blanks, commas and line ends: the template once, then
    // copies of the lines already there, doubling.
    std::memcpy(base, m_rowTemplate.data(), stride);
    for (std::size_t done = 1; done < count;) {
        const std::size_t n = std::min(done, count - done);
        std::memcpy(base + done * stride, base, n * stride);
        done += n;
    }
    const unsigned firstBit = first % 64;
    // The texts row by row, in the order they lie in the packet.
    for (std::size_t i = 0; i < count; ++i) {
        char *const line = base + i * stride;
        for (const Column *column : forms.text) {
            if ((column->nulls >> (firstBit + i) & 1) != 0)
                continue;
            const std::string_view utf8 = column->cells->presentText(first + i);
            // The UTF-8 length bounds the code page bytes (see writeCell).
            if (utf8.size() > column->width + kFitSlack)
                return false;
            char *const cell = line + column->offset;
            if (text::writeCodePage(utf8, cell) > cell + column->width)
                return false;
        }
    }
    // Every other form column by column: each column's values one after
    // another, with its reads and its way of writing found once. `write`
    // returns the end of what it wrote, or null for a value too long to be
    // written there.
    const auto fitColumn = [&](const Column &column, auto write) {
        char *cell = base + column.offset;
        for (std::size_t i = 0; i < count; ++i, cell += stride) {
            if ((column.nulls >> (firstBit + i) & 1) != 0)
                continue;
            const char *const end = write(cell, first + i);
            if (end == nullptr || end > cell + column.width)
                return false;
        }
        return true;
    };
    for (const Column *column : forms.integer)
        if (!fitColumn(*column, [&cells = *column->cells](char *cell, std::size_t row) {
                return writeInteger(cell, cells.presentInteger(row));
            }))
            return false;
    const FormatSettings &fs = m_table.formatSettings();
    for (const Column *column : forms.number)
        if (!fitColumn(*column, [&cells = *column->cells, &fs](char *cell, std::size_t row) {
                return writeGeneral(cell, cells.presentNumber(row), fs);
            }))
            return false;
    for (const Column *column : forms.other)
        if (!fitColumn(*column, [this, column](char *cell, std::size_t row) {
                return writeOther(*column, row, [column, cell](std::size_t bytes) {
                    return bytes <= column->width + kFitSlack ? cell : nullptr;
                });
            }))
            return false;
    return true;
}

ExportOutcome TextExportWriter::write(ExportStream &out, const ExportProgress &progress)
{
    // Lines go into a block of the writer's own, handed to the stream whole.
    m_block.emplace(out, kSlack);
    const auto comma = [this] {
        char *const p = m_block->room(1);
        *p = ',';
        m_block->setCursor(p + 1);
    };

    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (c > 0)
            comma();
        writePadded(m_columns[c].caption, m_widths[c]);
    }
    char *const lineEnd = m_block->room(2);
    std::memcpy(lineEnd, "\r\n", 2);
    m_block->setCursor(lineEnd + 2);

    // The fields and how to write them are looked up once, not per cell.
    const bool asciiFloats =
        static_cast<unsigned char>(m_table.formatSettings().decimalSeparator) < 0x80;
    std::vector<Column> columns;
    columns.reserve(m_columns.size());
    std::size_t others = 0;
    m_rowTemplate.clear();
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        Column column{.cells = std::nullopt,
                      .width = m_widths[c],
                      .form = Form::Blank,
                      .offset = m_rowTemplate.size(),
                      .room = 0,
                      .gap = 1,
                      .nulls = ~std::uint64_t{0},
                      .remembered = nullptr};
        if (m_columns[c].field >= 0) {
            column.cells.emplace(m_table.field(m_columns[c].field));
            // The present reads of writeCell are for the reader's own kind.
            switch (column.cells->kind()) {
            case datapacket::ColumnReader::Kind::Text:
                column.form = Form::Text;
                break;
            case datapacket::ColumnReader::Kind::Integer:
                column.form = Form::Integer;
                break;
            case datapacket::ColumnReader::Kind::Float:
                column.form = asciiFloats ? Form::Float : Form::Other;
                break;
            case datapacket::ColumnReader::Kind::Other:
                column.form = Form::Other;
                break;
            }
        }
        if (c + 1 == m_columns.size())
            column.gap = 2;
        others += column.form == Form::Other ? 1 : 0;
        columns.push_back(column);
        m_rowTemplate.append(column.width, ' ');
        m_rowTemplate += column.gap == 1 ? "," : "\r\n";
    }
    if (columns.empty())
        m_rowTemplate = "\r\n";
    m_remembered.clear();
    m_remembered.resize(others);
    std::size_t other = 0;
    for (Column &column : columns)
        if (column.form == Form::Other)
            column.remembered = &m_remembered[other++];
    // A row whose values fit their widths needs the template's bytes, a
    // number longer than its width up to kMaxGeneralChars more; a longer text
    // makes room for itself (roomFor).
    std::size_t rowRoom = 0;
    for (std::size_t c = columns.size(); c-- > 0;) {
        Column &column = columns[c];
        column.room = rowRoom + (m_rowTemplate.size() - column.offset - column.width);
        if (column.form == Form::Integer || column.form == Form::Float)
            rowRoom += kMaxGeneralChars;
    }
    rowRoom += m_rowTemplate.size();
    ColumnsByForm forms;
    for (const Column &column : columns) {
        switch (column.form) {
        case Form::Blank:
            break;
        case Form::Text:
            forms.text.push_back(&column);
            break;
        case Form::Integer:
            forms.integer.push_back(&column);
            break;
        case Form::Float:
            forms.number.push_back(&column);
            break;
        case Form::Other:
            forms.other.push_back(&column);
            break;
        }
    }

    const std::string_view rowTemplate = m_rowTemplate;
    const std::size_t rows = m_table.recordCount();
    const std::size_t stride = rowTemplate.size();
    // Every line, the header's too, is at least the template's length.
    out.expect(std::uint64_t{rows + 1} * stride);
    std::size_t cellByCell = 0; // rows left to write cell by cell
    unsigned misses = 0;        // tries of writeFittingRows in a row that missed
    for (std::size_t row = 0; row < rows;) {
        // The null flags of the next 64 rows, once for all their cells.
        if (row % 64 == 0)
            for (Column &column : columns)
                column.nulls = column.cells ? column.cells->nullFlags(row / 64) : ~std::uint64_t{0};
        if (cellByCell == 0) {
            // The rest of this word of null flags, as far as the block has
            // room without handing anything on (near its end, none may fit).
            const std::size_t left = m_block->left();
            const std::size_t count = std::min(
                {64 - row % 64, rows - row, left > kFitSlack ? (left - kFitSlack) / stride : 0});
            if (count > 0) {
                char *const base = m_block->cursor();
                if (writeFittingRows(forms, base, stride, row, count)) [[likely]] {
                    misses = 0;
                    for (std::size_t i = 1; i <= count; ++i)
                        if (progress && !progress(row + i)) {
                            m_block->setCursor(base + i * stride);
                            return ExportOutcome::Stopped;
                        }
                    m_block->setCursor(base + count * stride);
                    m_block->unitDone();
                    row += count;
                    continue;
                }
                cellByCell = kRowsCellByCell << std::min(misses, kMaxCellByCellDoublings);
                ++misses;
            }
        }
        if (cellByCell > 0)
            --cellByCell;
        char *at = m_block->room(rowRoom);
        std::memcpy(at, rowTemplate.data(), rowTemplate.size());
        char *past = at;
        for (const Column &column : columns) {
            at = past;
            char *const end = writeCell(at, column, row);
            past = at + column.width;
            if (end > past) [[unlikely]] {
                // A value longer than its width pushes the rest of the row on.
                const std::size_t next = column.offset + column.width;
                std::memcpy(end, rowTemplate.data() + next, rowTemplate.size() - next);
                past = end;
            }
            past += column.gap;
        }
        m_block->setCursor(columns.empty() ? at + 2 : past);
        m_block->unitDone();
        ++row;
        if (progress && !progress(row))
            return ExportOutcome::Stopped;
    }
    m_block->flush();
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
