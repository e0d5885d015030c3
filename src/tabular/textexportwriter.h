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
#include <vector>

namespace tally::tabular {

// The text export: code page 936 bytes, CR LF line ends, a header line of
// captions, then one line per row of each column's value as string. Every
// item is padded with blanks to its column's width, the larger of the display
// width and the caption's byte length (a Chinese character counts two); a
// longer item is written whole. Items are separated by single commas and
// nothing is quoted, so a comma or line break inside a value goes out as it is.
class TextExportWriter
{
public:
    // Reads `table` through `columns`; both must outlive the writer.
    TextExportWriter(const datapacket::DataPacketTable &table,
                     std::span<const ExportColumn> columns);

    // Writes the header and every row to out. Throws FieldError for a value
    // that cannot be read and ExportError for a failed write.
    ExportOutcome write(ExportStream &out, const ExportProgress &progress);

    // Appends `text` (UTF-8) in code page bytes, then blanks up to `width`
    // bytes when shorter.
    static void PadRight(std::string &line, std::string_view text, std::size_t width);

    // Room past a full block (see ExportBlock): a line that starts before
    // the block is full may run this far past it before a text too long for
    // what is left makes room for itself.
    static constexpr std::size_t kSlack = 4096;

private:
    // How a column's values are written, chosen once for all its cells.
    enum class Form : unsigned char
    {
        Blank,
        Text,
        Integer,
        Float,
        Other
    };
    struct Column
    {
        // Null for a column of no field.
        std::optional<datapacket::ColumnReader> cells;
        std::size_t width;
        Form form;
        // Where the cell starts in a row whose earlier cells fit their widths.
        std::size_t offset;
        // Room a cell needs past its value for the rest of the row.
        std::size_t room;
        // The bytes after the cell: 1 for its comma, 2 for the CR LF that
        // ends the row.
        unsigned char gap;
        // The null flags of the 64 rows the writer is in (see
        // ColumnReader::nullFlags); all set for a column of no field.
        std::uint64_t nulls;
        // What Form::Other wrote for recent values; null for other forms.
        RememberedValues *remembered;
    };

    // The columns of each form that writes a value, for writeFittingRows.
    struct ColumnsByForm
    {
        std::vector<const Column *> text, integer, number, other;
    };

    // Writes the `count` rows from `first` on, all within one word of null
    // flags, at `base`: copies of the row template `stride` bytes apart,
    // whose blanks each value is written over. While every value fits its
    // width, each cell's place is fixed, so the values are written a form
    // and a column at a time rather than cell by cell across each line.
    // False when a value is longer than its width: the rows must then be
    // written anew cell by cell (writeCell), which moves what follows a
    // longer value. Writes nothing past base + count * stride + kFitSlack.
    bool writeFittingRows(const ColumnsByForm &forms, char *base, std::size_t stride,
                          std::size_t first, std::size_t count);
    // How far past its width writeFittingRows may write a value before it
    // finds the value too long: a text whose UTF-8 is longer than its width
    // may still fit it in code page bytes.
    static constexpr std::size_t kFitSlack = 256;

    // Writes the column's value in `row` at `at`, over the row template's
    // blanks (nothing for a null cell); returns the end. A text that may not
    // fit the room left moves `at` (see roomFor). Inlined into the row loop,
    // which calls it for every cell.
    [[gnu::always_inline]] inline char *writeCell(char *&at, const Column &column, std::size_t row);
    // The value of a Form::Other cell that is not null, for both ways of
    // writing rows: the value's string in code page bytes, formatted once
    // for every run of cells that share it, written where place(n) says a
    // value of up to n bytes goes. Returns the end; null, having written
    // nothing, when place gives null. Inlined where it is used; only
    // formatting a value not remembered (formatOther) is a call.
    template <typename Place>
    [[gnu::always_inline]] inline char *writeOther(const Column &column, std::size_t row,
                                                   Place place);
    template <typename Place>
    [[gnu::noinline]] char *formatOther(const Column &column, const datapacket::FieldCell &cell,
                                        Place place);
    // Where a cell of up to `bytes` bytes goes: at, unless that is more than
    // the column's width and room must be made for it; the rest of the row
    // template is then copied after the new place.
    char *roomFor(char *at, const Column &column, std::size_t bytes);
    // Writes `utf8` in code page bytes at the cursor, padded to `width`.
    void writePadded(std::string_view utf8, std::size_t width);

    const datapacket::DataPacketTable &m_table;
    std::span<const ExportColumn> m_columns;
    std::vector<std::size_t> m_widths;
    std::optional<ExportBlock> m_block; // lines written in place, then handed on
    std::string m_value;                // UTF-8 of a formatted value
    // A row of blank cells at their widths, with the commas and the CR LF:
    // each row starts as a copy, and its values are written over the blanks.
    std::string m_rowTemplate;
    std::vector<RememberedValues> m_remembered;
};

} // namespace tally::tabular
