#include "tabular/xlsxexportwriter.h"

#include "base/textcodec.h"
#include "datapacket/datapackettable.h"
#include "tabular/exporterror.h"
#include "tabular/exporttarget.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

namespace tally::tabular {

namespace {

using datapacket::FieldKind;

// Built-in number formats: Excel shows them in the reader's own regional
// conventions, so a date reads as a local date everywhere.
constexpr std::uint8_t kMoneyFormat = 4;     // #,##0.00
constexpr std::uint8_t kDateFormat = 14;     // short date
constexpr std::uint8_t kTimeFormat = 21;     // h:mm:ss
constexpr std::uint8_t kDateTimeFormat = 22; // short date h:mm

// Integers beyond 2^53 lose digits as doubles: those go out as text.
constexpr std::int64_t kExactDoubleLimit = std::int64_t{1} << 53;

// The first day serial that means the same date in every reader (readers
// count a day 29 February 1900 that never was).
constexpr double kFirstSafeDaySerial = 61.0;

std::string cellName(lxw_row_t row, lxw_col_t col)
{
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1);
}

void check(lxw_error error, lxw_row_t row, lxw_col_t col)
{
    if (error == LXW_NO_ERROR)
        return;
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        throw ExportError(cellName(row, col) + ": a text longer than " +
                          std::to_string(XlsxExportWriter::kMaxTextChars) +
                          " characters does not fit an .xlsx cell; export to a text file instead");
    throw ExportError(cellName(row, col) + ": " + lxw_strerror(error));
}

// Closes the workbook exactly once, also when the export fails half-way.
struct WorkbookCloser
{
    void operator()(lxw_workbook *wb) const { workbook_close(wb); }
};

} // namespace

XlsxExportWriter::XlsxExportWriter(const datapacket::DataPacketTable &table,
                                   std::span<const ExportColumn> columns)
    : m_table(table), m_columns(columns)
{
    const std::size_t rows = table.recordCount() + 1;
    if (rows > kMaxRows)
        throw ExportError("an .xlsx sheet holds at most " + std::to_string(kMaxRows) +
                          " rows with the title row, this table needs " + std::to_string(rows));
    if (columns.size() > kMaxColumns)
        throw ExportError("an .xlsx sheet holds at most " + std::to_string(kMaxColumns) +
                          " columns, this table has " + std::to_string(columns.size()));
}

ExportOutcome XlsxExportWriter::write(const ExportTarget &target, const ExportProgress &progress)
{
    // The library's row files go beside the export, where there is room for
    // the export itself, rather than into a possibly small /tmp.
    std::string folder = std::filesystem::path(target.writePath()).parent_path().string();
    if (folder.empty())
        folder = ".";
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    options.use_zip64 = LXW_TRUE;
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(
        workbook_new_opt(target.writePath().c_str(), &options));
    if (!book)
        throw ExportError("cannot create the workbook \"" + target.path() + "\"");
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), nullptr);
    if (!sheet)
        throw ExportError("cannot create a worksheet for \"" + target.path() +
                          "\" (no room for its temporary files?)");

    lxw_format *bold = workbook_add_format(book.get());
    format_set_bold(bold);
    lxw_format *money = workbook_add_format(book.get());
    format_set_num_format_index(money, kMoneyFormat);
    lxw_format *date = workbook_add_format(book.get());
    format_set_num_format_index(date, kDateFormat);
    lxw_format *time = workbook_add_format(book.get());
    format_set_num_format_index(time, kTimeFormat);
    lxw_format *dateTime = workbook_add_format(book.get());
    format_set_num_format_index(dateTime, kDateTimeFormat);

    std::vector<lxw_format *> numberFormats(m_columns.size(), nullptr);
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const ExportColumn &column = m_columns[c];
        const auto col = static_cast<lxw_col_t>(c);
        // Widths count code page bytes, which is how wide the text shows:
        // a Chinese character takes two digit widths.
        const std::size_t width =
            std::max(static_cast<std::size_t>(std::max(column.displayWidth, 0)),
                     text::codePageLength(column.caption));
        check(worksheet_set_column(sheet, col, col,
                                   static_cast<double>(std::min<std::size_t>(width + 1, 255)),
                                   nullptr),
              0, col);
        if (column.field >= 0) {
            const datapacket::PacketField &f = m_table.field(column.field);
            if (f.kind() == FieldKind::Date)
                numberFormats[c] = date;
            else if (f.kind() == FieldKind::Time)
                numberFormats[c] = time;
            else if (f.kind() == FieldKind::DateTime)
                numberFormats[c] = dateTime;
            else if (f.isCurrency())
                numberFormats[c] = money;
        }
        check(worksheet_write_string(sheet, 0, col, column.caption.c_str(), bold), 0, col);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    std::string textValue;
    const std::size_t rows = m_table.recordCount();
    for (std::size_t r = 0; r < rows; ++r) {
        const auto row = static_cast<lxw_row_t>(r + 1);
        for (std::size_t c = 0; c < m_columns.size(); ++c) {
            const int field = m_columns[c].field;
            const auto col = static_cast<lxw_col_t>(c);
            if (field < 0)
                continue;
            const datapacket::FieldCell cell = m_table.cell(r, field);
            if (cell.isNull())
                continue;
            const FieldKind kind = cell.field().kind();
            lxw_error error = LXW_NO_ERROR;
            switch (kind) {
            case FieldKind::Text:
            case FieldKind::WideText:
            case FieldKind::Memo:
                textValue = cell.textView();
                error = worksheet_write_string(sheet, row, col, textValue.c_str(), nullptr);
                break;
            case FieldKind::Boolean:
                error = worksheet_write_boolean(sheet, row, col, cell.asInteger() != 0, nullptr);
                break;
            case FieldKind::Float:
            case FieldKind::Bcd:
                error = worksheet_write_number(sheet, row, col, cell.asFloat(), numberFormats[c]);
                break;
            case FieldKind::Date:
            case FieldKind::Time:
            case FieldKind::DateTime: {
                const double serial = cell.asFloat();
                if (kind == FieldKind::Time || serial >= kFirstSafeDaySerial) {
                    error = worksheet_write_number(sheet, row, col, serial, numberFormats[c]);
                } else {
                    textValue = cell.editText();
                    error = worksheet_write_string(sheet, row, col, textValue.c_str(), nullptr);
                }
                break;
            }
            default:
                if (datapacket::isIntegerKind(kind)) {
                    const std::int64_t v = cell.asInteger();
                    if (v > -kExactDoubleLimit && v < kExactDoubleLimit) {
                        error = worksheet_write_number(sheet, row, col, static_cast<double>(v),
                                                       numberFormats[c]);
                        break;
                    }
                }
                textValue = cell.editText();
                error = worksheet_write_string(sheet, row, col, textValue.c_str(), nullptr);
                break;
            }
            check(error, row, col);
        }
        if (progress && !progress(r + 1))
            return ExportOutcome::Stopped;
    }

    const lxw_error closed = workbook_close(book.release());
    if (closed != LXW_NO_ERROR)
        throw ExportError("cannot write \"" + target.path() + "\": " + lxw_strerror(closed));
    return ExportOutcome::Completed;
}

} // namespace tally::tabular
