#include "tabular/biffwriter.h"

#include "base/codepagewriter.h"
#include "base/textcodec.h"
#include "tabular/exporterror.h"
#include "tabular/exportstream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <vector>

namespace tally::tabular {

namespace {

// Record types.
constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kCodePage = 0x0042;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kEof = 0x000A;

constexpr std::uint16_t kWorksheet = 0x0010;
constexpr std::uint16_t kGbk = 936;
constexpr std::uint16_t kBlankFormat = 0x0017;
// A BLANK record's bytes, the fewest any cell's record takes.
constexpr std::size_t kBlankBytes = 10;

// An RK value holds a 30-bit signed integer (bit 1 set: integer; bit 0
// clear: not divided by 100).
constexpr std::int64_t kRkMin = -(std::int64_t{1} << 29);
constexpr std::int64_t kRkMax = (std::int64_t{1} << 29) - 1;

std::uint16_t lo(std::uint32_t v)
{
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
std::uint16_t hi(std::uint32_t v)
{
    return static_cast<std::uint16_t>(v >> 16);
}

// A LABEL's record header: type, length, row, column, format, text length.
constexpr std::size_t kLabelHeader = 12;

} // namespace

BiffWriter::BiffWriter(const datapacket::DataPacketTable &table,
                       std::span<const ExportColumn> columns)
    : m_table(table), m_columns(columns)
{
    const std::size_t rows = table.recordCount() + 1;
    if (rows > kMaxRows)
        throw ExportError("an .xls file holds at most " + std::to_string(kMaxRows) +
                          " rows with the title row, this table needs " + std::to_string(rows) +
                          ": export to an .xlsx file instead");
    if (columns.size() > kMaxColumns)
        throw ExportError("an .xls file holds at most " + std::to_string(kMaxColumns) +
                          " columns, this table has " + std::to_string(columns.size()) +
                          ": export to an .xlsx file instead");
}

namespace {

// Little-endian stores straight into the output: the records are written in
// place, never staged in a buffer of their own and copied, since a copy
// reading back bytes just stored in pieces stalls on every record.
void put16(char *p, std::uint16_t v)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 2);
    } else {
        p[0] = static_cast<char>(v & 0xFF);
        p[1] = static_cast<char>(v >> 8);
    }
}

void put32(char *p, std::uint32_t v)
{
    put16(p, lo(v));
    put16(p + 2, hi(v));
}

void put64(char *p, std::uint64_t v)
{
    put32(p, static_cast<std::uint32_t>(v));
    put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

} // namespace

// The record a column's cells take, from how its reader stores them: the
// present read of each form is for that storage. Large integers go out as
// LABELs of their text, like the kinds without a numeric cell of their own,
// and so does text with an edit text other than itself (memos, a callback).
BiffWriter::Form BiffWriter::FormOf(const datapacket::ColumnReader &cells)
{
    using Kind = datapacket::ColumnReader::Kind;
    const datapacket::PacketField &f = cells.field();
    switch (cells.kind()) {
    case Kind::Integer:
        return f.kind() != datapacket::FieldKind::Int64 ? Form::Rk : Form::Other;
    case Kind::Float:
        return Form::Number;
    case Kind::Text:
        return f.kind() != datapacket::FieldKind::Memo && !f.hasTextCallback() ? Form::Label
                                                                               : Form::Other;
    case Kind::Other:
        break;
    }
    return Form::Other;
}

char *BiffWriter::CellHeader(char *p, std::uint16_t type, std::uint16_t length)
{
    put16(p, type);
    put16(p + 2, length);
    put16(p + 4, m_row);
    put16(p + 6, m_column);
    return p + 8;
}

void BiffWriter::WriteBlankCell()
{
    char *p = CellHeader(m_block->room(kBlankBytes), kBlank, 6);
    put16(p, kBlankFormat);
    m_block->setCursor(p + 2);
}

std::string_view BiffWriter::WriteLabelCell(std::string_view utf8)
{
    // A text longer than a record can hold in UTF-8 may still fit once
    // converted.
    if (utf8.size() > kMaxLabelBytes) [[unlikely]]
        return WriteLongLabelCell(utf8);
    // The text is converted into place behind its header, whose lengths are
    // filled in once the code page bytes are counted: no copy of the text.
    char *p = m_block->room(kLabelHeader + utf8.size());
    char *text = p + kLabelHeader;
    char *end = text::writeCodePage(utf8, text);
    FinishLabel(p, end);
    return std::string_view(text, static_cast<std::size_t>(end - text));
}

std::string_view BiffWriter::WriteLongLabelCell(std::string_view utf8)
{
    std::string converted;
    text::appendCodePage(converted, utf8);
    CheckLabelLength(converted.size());
    char *p = m_block->room(kLabelHeader + converted.size());
    char *text = p + kLabelHeader;
    FinishLabel(p, std::copy(converted.begin(), converted.end(), text));
    return std::string_view(text, converted.size());
}

void BiffWriter::WriteCodePageLabel(std::string_view bytes)
{
    CheckLabelLength(bytes.size());
    char *p = m_block->room(kLabelHeader + bytes.size());
    FinishLabel(p, std::copy(bytes.begin(), bytes.end(), p + kLabelHeader));
}

void BiffWriter::FinishLabel(char *p, char *end)
{
    const auto length = static_cast<std::size_t>(end - (p + kLabelHeader));
    CheckLabelLength(length);
    CellHeader(p, kLabel, static_cast<std::uint16_t>(8 + length));
    put16(p + 8, 0);
    put16(p + 10, static_cast<std::uint16_t>(length));
    m_block->setCursor(end);
}

void BiffWriter::CheckLabelLength(std::size_t length) const
{
    if (length > kMaxLabelBytes) [[unlikely]]
        FailLabelLength(length);
}

void BiffWriter::FailLabelLength(std::size_t length) const
{
    throw ExportError(
        "row " + std::to_string(m_row + 1) + ", column " + std::to_string(m_column + 1) +
        ": a text of " + std::to_string(length) + " bytes does not fit an .xls cell (at most " +
        std::to_string(kMaxLabelBytes) + "); export to an .xlsx or text file instead");
}

void BiffWriter::WriteIntegerCell(std::int64_t value)
{
    if (value < kRkMin || value > kRkMax) {
        // Keeping only the low 30 bits would write another number; a double
        // holds every integer of these kinds exactly.
        WriteNumberCell(static_cast<double>(value));
        return;
    }
    const std::uint32_t rk = (static_cast<std::uint32_t>(value) << 2) | 2u;
    char *p = CellHeader(m_block->room(14), kRk, 10);
    put16(p, 0);
    put32(p + 2, rk);
    m_block->setCursor(p + 6);
}

void BiffWriter::WriteNumberCell(double value)
{
    char *p = CellHeader(m_block->room(18), kNumber, 14);
    put16(p, 0);
    put64(p + 2, std::bit_cast<std::uint64_t>(value));
    m_block->setCursor(p + 10);
}

void BiffWriter::WriteRecord(std::uint16_t type, std::span<const std::uint16_t> words)
{
    char *p = m_block->room(4 + 2 * words.size());
    put16(p, type);
    put16(p + 2, static_cast<std::uint16_t>(2 * words.size()));
    p += 4;
    for (const std::uint16_t w : words) {
        put16(p, w);
        p += 2;
    }
    m_block->setCursor(p);
}

void BiffWriter::writeCell(std::size_t row, const Column &column)
{
    // A null cell, and every cell of a column of no field.
    if ((column.nulls >> (row % 64) & 1) != 0) {
        WriteBlankCell();
        return;
    }
    const datapacket::ColumnReader &cells = *column.cells;
    switch (column.form) {
    case Form::Rk:
        WriteIntegerCell(cells.presentInteger(row));
        return;
    case Form::Number:
        WriteNumberCell(cells.presentNumber(row));
        return;
    case Form::Label:
        WriteLabelCell(cells.presentText(row)); // the edit text, without a copy
        return;
    case Form::Other:
        break;
    }
    const datapacket::FieldCell cell = cells.presentCell(row);
    if (column.remembered) {
        if (const std::optional<std::string_view> bytes =
                column.remembered->find(cell.valueKey())) {
            WriteCodePageLabel(*bytes);
            return;
        }
    }
    m_text.clear();
    cell.appendEditText(m_text);
    const std::string_view written = WriteLabelCell(m_text);
    if (column.remembered)
        column.remembered->remember(cell.valueKey(), written);
}

ExportOutcome BiffWriter::write(ExportStream &out, const ExportProgress &progress)
{
    // Records go into a block of the writer's own, handed to the stream in
    // whole blocks; past a full one it holds the largest record.
    m_block.emplace(out, 12 + kMaxLabelBytes);
    m_row = 0;
    const std::uint16_t bof[] = {0x0000, kWorksheet, 0, 0};
    WriteRecord(kBof, bof);
    // Names the code page of the LABELs, so readers on any machine decode
    // them right instead of guessing from their own locale.
    const std::uint16_t codePage[] = {kGbk};
    WriteRecord(kCodePage, codePage);
    m_column = 0;
    for (const ExportColumn &c : m_columns) {
        WriteLabelCell(c.caption);
        ++m_column;
    }

    // The fields' cells, and which record each column's cells take, are
    // found once, not per cell.
    std::vector<Column> columns(m_columns.size());
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].field < 0)
            continue;
        const datapacket::PacketField &f = m_table.field(m_columns[c].field);
        Column &column = columns[c];
        column.cells.emplace(f);
        column.form = FormOf(*column.cells);
        if (column.form == Form::Other && !f.hasTextCallback())
            column.remembered = std::make_unique<RememberedValues>();
    }

    const std::size_t rows = m_table.recordCount();
    out.expect(std::uint64_t{rows} * m_columns.size() * kBlankBytes);
    for (std::size_t row = 0; row < rows; ++row) {
        // The null flags of the next 64 rows, once for all their cells.
        if (row % 64 == 0)
            for (Column &column : columns)
                if (column.cells)
                    column.nulls = column.cells->nullFlags(row / 64);
        m_row = static_cast<std::uint16_t>(row + 1);
        m_column = 0;
        for (const Column &column : columns) {
            writeCell(row, column);
            ++m_column;
        }
        m_block->unitDone();
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    WriteRecord(kEof, {});
    m_block->flush();
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
