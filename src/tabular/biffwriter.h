#pragma once

#include "datapacket/columnreader.h"
#include "tabular/exportblock.h"
#include "tabular/exportcolumn.h"
#include "tabular/rememberedvalues.h"
#include "tabular/tableexport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tally::tabular {

// The spreadsheet export as a plain BIFF record stream (no compound document
// around it): BOF, CODEPAGE 936, a header row of LABELs, one row per record,
// EOF. Integer fields become RK cells (NUMBER when the value needs more than
// 30 bits), float, currency and BCD fields NUMBER cells, every other kind a
// LABEL of its edit text in code page 936, and nulls (or columns without a
// field) BLANK cells with format 0x0017.
class BiffWriter
{
public:
    // Row numbers are 16 bits wide. Columns are too, but the sheets of this
    // format have 256: readers crash on more or drop them without a word.
    static constexpr std::size_t kMaxRows = 65536;
    static constexpr std::size_t kMaxColumns = 256;
    // A LABEL's payload is its text plus 8 bytes, and the record length is 16 bits.
    static constexpr std::size_t kMaxLabelBytes = 0xFFFF - 8;

    // Reads `table` through `columns`; both must outlive the writer. Throws
    // ExportError when the header and rows need more rows or columns than
    // the stream can number.
    BiffWriter(const datapacket::DataPacketTable &table, std::span<const ExportColumn> columns);

    // Writes the whole stream to out. Throws FieldError for a value that
    // cannot be read in the form its kind asks for, ExportError for a text
    // longer than a LABEL can hold (no cell is cut short) or a failed write.
    ExportOutcome write(ExportStream &out, const ExportProgress &progress);

private:
    // Record writers: one record at the current row and column.
    // The small records are inlined into writeCell, and writeCell into the
    // row loop: calls would cost as much as writing them.
    [[gnu::always_inline]] inline void WriteBlankCell();
    // Writes a LABEL of `utf8` in code page bytes; returns those bytes, valid
    // until the next record.
    std::string_view WriteLabelCell(std::string_view utf8);
    // WriteLabelCell for more UTF-8 than a LABEL holds, converted apart first.
    std::string_view WriteLongLabelCell(std::string_view utf8);
    // Writes a LABEL of text already in code page bytes.
    void WriteCodePageLabel(std::string_view bytes);
    // Fills in the header of the LABEL at p whose text ends at end.
    void FinishLabel(char *p, char *end);
    [[gnu::always_inline]] inline void WriteIntegerCell(std::int64_t value);
    [[gnu::always_inline]] inline void WriteNumberCell(double value);
    void WriteRecord(std::uint16_t type, std::span<const std::uint16_t> words);
    // The record a column's cells take, chosen once for all of them.
    enum class Form : unsigned char
    {
        Rk,     // integers of up to 32 bits
        Number, // floats and BCD
        Label,  // text whose edit text is the text itself
        Other   // LABELs of the edit text
    };
    static Form FormOf(const datapacket::ColumnReader &cells);
    struct Column
    {
        std::optional<datapacket::ColumnReader> cells; // none: blank cells
        Form form = Form::Other;
        // The null flags of the 64 rows the writer is in (see
        // ColumnReader::nullFlags); all set for a column of no field.
        std::uint64_t nulls = ~std::uint64_t{0};
        // The LABELs of recent values, for a field whose cells are LABELs of
        // an edit text that depends on the value alone; null otherwise.
        std::unique_ptr<RememberedValues> remembered;
    };
    // The cell of `row` in a column.
    [[gnu::always_inline]] inline void writeCell(std::size_t row, const Column &column);
    // Throws ExportError for a LABEL text longer than kMaxLabelBytes.
    void CheckLabelLength(std::size_t length) const;
    [[noreturn, gnu::noinline]] void FailLabelLength(std::size_t length) const;
    // A cell record's type, length, row and column at p; returns what follows.
    char *CellHeader(char *p, std::uint16_t type, std::uint16_t length);

    const datapacket::DataPacketTable &m_table;
    std::span<const ExportColumn> m_columns;
    std::uint16_t m_row = 0;
    std::uint16_t m_column = 0;
    std::optional<ExportBlock> m_block; // records written in place, then handed on
    std::string m_text;                 // UTF-8 edit text of the current LABEL
};

} // namespace tally::tabular
