#include "tabular/biffwriter.h"

#include "base/textcodec.h"
#include "datapacket/datapackettable.h"
#include "tabular/exporterror.h"
#include "tabular/exportstream.h"

#include <bit>
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

bool isRkKind(datapacket::FieldKind kind)
{
    // Large integers go out as LABELs of their text, like the other kinds
    // without a numeric cell of their own.
    return datapacket::isIntegerKind(kind) && kind != datapacket::FieldKind::Int64;
}

bool isNumberKind(datapacket::FieldKind kind)
{
    return kind == datapacket::FieldKind::Float || kind == datapacket::FieldKind::Bcd;
}

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

template <std::size_t N> void BiffWriter::WriteWords(const std::uint16_t (&words)[N])
{
    // A size known at compile time lets the copy into the buffer be a few
    // stores instead of a memmove call per record.
    char buf[2 * N];
    for (std::size_t i = 0; i < N; ++i) {
        buf[2 * i] = static_cast<char>(words[i] & 0xFF);
        buf[2 * i + 1] = static_cast<char>(words[i] >> 8);
    }
    m_bytes->append(buf, sizeof buf);
}

void BiffWriter::WriteBlankCell()
{
    WriteWords({kBlank, 6, m_row, m_column, kBlankFormat});
}

void BiffWriter::WriteLabelCell(std::string_view utf8)
{
    // The text goes into place behind its header, whose lengths are filled
    // in once the code page bytes are counted: no copy of the text.
    const std::size_t header = m_bytes->size();
    WriteWords({kLabel, 0, m_row, m_column, 0, 0});
    const std::size_t length = text::appendCodePage(*m_bytes, utf8);
    if (length > kMaxLabelBytes)
        throw ExportError(
            "row " + std::to_string(m_row + 1) + ", column " + std::to_string(m_column + 1) +
            ": a text of " + std::to_string(length) + " bytes does not fit an .xls cell (at most " +
            std::to_string(kMaxLabelBytes) + "); export to an .xlsx or text file instead");
    const auto putWord = [&](std::size_t at, std::size_t w) {
        (*m_bytes)[header + at] = static_cast<char>(w & 0xFF);
        (*m_bytes)[header + at + 1] = static_cast<char>((w >> 8) & 0xFF);
    };
    putWord(2, 8 + length);
    putWord(10, length);
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
    WriteWords({kRk, 10, m_row, m_column, 0, lo(rk), hi(rk)});
}

void BiffWriter::WriteNumberCell(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    WriteWords({kNumber, 14, m_row, m_column, 0, static_cast<std::uint16_t>(bits),
                static_cast<std::uint16_t>(bits >> 16), static_cast<std::uint16_t>(bits >> 32),
                static_cast<std::uint16_t>(bits >> 48)});
}

void BiffWriter::writeCell(std::size_t row, const datapacket::PacketField *f)
{
    if (!f) {
        WriteBlankCell();
        return;
    }
    // One look-up gives the null flag and the value.
    const datapacket::FieldCell cell = f->at(row);
    if (cell.isNull()) {
        WriteBlankCell();
        return;
    }
    if (isRkKind(f->kind())) {
        WriteIntegerCell(cell.asInteger());
    } else if (isNumberKind(f->kind())) {
        WriteNumberCell(cell.asFloat());
    } else if ((f->kind() == datapacket::FieldKind::Text ||
                f->kind() == datapacket::FieldKind::WideText) &&
               !f->hasTextCallback()) {
        WriteLabelCell(cell.textView()); // the edit text, without a copy
    } else {
        m_text.clear();
        cell.appendEditText(m_text);
        WriteLabelCell(m_text);
    }
}

ExportOutcome BiffWriter::write(ExportStream &out, const ExportProgress &progress)
{
    m_bytes = &out.buffer();
    m_row = 0;
    WriteWords({kBof, 8, 0x0000, kWorksheet, 0, 0});
    // Names the code page of the LABELs, so readers on any machine decode
    // them right instead of guessing from their own locale.
    WriteWords({kCodePage, 2, kGbk});
    m_column = 0;
    for (const ExportColumn &c : m_columns) {
        WriteLabelCell(c.caption);
        ++m_column;
    }
    out.flushIfFull();

    // The fields are looked up once, not per cell.
    std::vector<const datapacket::PacketField *> fields;
    fields.reserve(m_columns.size());
    for (const ExportColumn &c : m_columns)
        fields.push_back(c.field < 0 ? nullptr : &m_table.field(c.field));

    const std::size_t rows = m_table.recordCount();
    for (std::size_t row = 0; row < rows; ++row) {
        m_row = static_cast<std::uint16_t>(row + 1);
        m_column = 0;
        for (const datapacket::PacketField *f : fields) {
            writeCell(row, f);
            ++m_column;
        }
        out.flushIfFull();
        if (progress && !progress(row + 1))
            return ExportOutcome::Stopped;
    }
    WriteWords({kEof, 0});
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
