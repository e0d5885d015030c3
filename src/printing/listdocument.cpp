#include "printing/listdocument.h"

#include "datapacket/datapackettable.h"
#include "printing/printmath.h"
#include "printing/tsimplebill.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tally::printing {

namespace {

constexpr int kDesignedColumns = 5;
constexpr int kDesignedColumnWidth = 40;

int digitsOf(int n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

std::vector<ListColumn> DefaultListColumns(const datapacket::DataPacketTable &table)
{
    std::vector<ListColumn> columns;
    for (int i = 0; i < table.fieldCount(); ++i)
        if (table.field(i).isVisible())
            columns.push_back({i, table.field(i).displayLabel(), ListColumn::kListColumnWidth});
    return columns;
}

void ApplyListReportDesign(TSimpleBill &bill)
{
    bill.SetZoomRatio(100);
    bill.SetPrintOrient(PrinterOrientation::poPortrait);
    bill.SetTopSpace(60);
    bill.SetColCount(kDesignedColumns);
    for (int i = 0; i < bill.ColCount(); ++i)
        bill.Columns()[i].SetWidth(kDesignedColumnWidth);
    TSimpleFont titleFont{"黑体", 12, Canvas::Regular};
    titleFont.SetHeight(-19, kDefaultScreenPpi);
    bill.Title().SetFont(titleFont);
    bill.Title().SetTop(0);
    bill.Footers().Clear();
    TSimpleBillFooter &pageNum = bill.Footers().Add();
    pageNum.SetCaption("@PageNum");
    pageNum.SetAlignment(TAlignment::taRightJustify);
    pageNum.SetTop(40);
    TSimpleBillFooter &subTitle = bill.Footers().Add();
    subTitle.SetCaption("@SubTitle");
    subTitle.SetTop(40);
}

void ConfigureListReport(TSimpleBill &bill, const datapacket::DataPacketTable &table,
                         const std::vector<ListColumn> &columns, const TSimpleFont *font,
                         ListClock clock)
{
    for (const ListColumn &column : columns)
        if (column.field < 0 || column.field >= table.fieldCount())
            throw std::out_of_range("list column names no field of the table");

    const auto records = table.recordCount();
    bill.SetRowCount(static_cast<int>(std::min<std::size_t>(records, 0x7FFFFFFF)));
    bill.SetColCount(static_cast<int>(columns.size()) + 1);
    if (font && font->Name != "System")
        bill.SetFont(*font);
    std::vector<int> printFields(columns.size() + 1, -1);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        TSimpleColumn &column = bill.Columns()[static_cast<int>(i) + 1];
        column.SetCaption(columns[i].caption);
        column.SetAlignment(TAlignment::taCenter);
        column.SetWidth(columns[i].width + 2);
        printFields[i + 1] = columns[i].field;
    }
    // Column 0 numbers the rows, which a clerk reads and refers to; it keeps
    // its designed width until the numbers need more (half the font's pixel
    // height per digit, plus the cell's insets).
    const int digitWidth = MulDiv(bill.Font().Size, kDefaultScreenPpi, 72) / 2 + 1;
    bill.Columns()[0].SetWidth(
        std::max(kDesignedColumnWidth, digitsOf(bill.RowCount()) * digitWidth + 6));

    const datapacket::DataPacketTable *source = &table;
    bill.SetOnGetCellText(
        [source, printFields](TSimpleBill &, int col, int row, std::string &text) {
            if (col == 0) {
                text = std::to_string(row);
                return;
            }
            text = source
                       ->cell(static_cast<std::size_t>(row) - 1,
                              printFields.at(static_cast<std::size_t>(col)))
                       .editText();
        });
    bill.SetOnGetFooterText(
        [source, clock = std::move(clock)](TSimpleBill &sender, int pageIndex, std::string &text) {
            if (text == "@PageNum") {
                const std::string now = formatDateTime(
                    "ddddd tt", clock ? clock() : LocalDateTime::now(), source->formatSettings());
                char head[64];
                std::snprintf(head, sizeof head, "页号: %d/%d ", pageIndex, sender.GetPageCount());
                text = head + now;
            } else if (text == "@SubTitle") {
                text.clear();
            }
        });
}

} // namespace tally::printing
