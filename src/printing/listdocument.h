#pragma once

#include "base/datetimeformat.h"
#include "printing/simplebilltypes.h"

#include <functional>
#include <string>
#include <vector>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::printing {

class TSimpleBill;

// The generic list as a printed document: how a list report is set up from a
// loaded table, shared by the list window and the command-line tool so that
// both print the same pages.

// One printed table column: the field (0-based index into the table's
// visible fields), its header caption and its width in layout pixels as the
// grid shows it.
struct ListColumn
{
    int field = 0;
    std::string caption;
    int width = kListColumnWidth;

    // Width of a grid column right after the window opens.
    static constexpr int kListColumnWidth = 64;
};

// Every visible field of the table in order, captioned with its display
// label, at the opening width: what the window's grid shows first.
std::vector<ListColumn> DefaultListColumns(const datapacket::DataPacketTable &table);

// The report's design as the list window holds it: TopSpace 60, five
// columns of width 40, title font "黑体" of height −19 at the top, and the
// two footers "@PageNum" (right aligned) and "@SubTitle", both 40 under the
// top, replacing any footers the report had.
void ApplyListReportDesign(TSimpleBill &bill);

// Where the page-number footer gets its date and time.
using ListClock = std::function<LocalDateTime()>;

// Sets the report up to print the table as it is printed from the list
// window: RowCount := the table's records, ColCount := columns + 1 with
// report column i + 1 showing columns[i] (caption, centred, width + 2), the
// report font := font when given and not named "System", and the two
// callbacks. Report column 0 numbers the rows (1, 2, …) and is widened
// when the numbers need it. Cell texts are the fields' edit texts, read by
// (row, column); "@PageNum" becomes "页号: %d/%d %s" (page, page count, now
// in the short date and long time format of the table's settings) and
// "@SubTitle" the empty text. The table is not owned and must outlive the
// report's use of the callbacks; a field read that fails throws out of the
// drawing. Throws std::out_of_range for a column naming no field.
void ConfigureListReport(TSimpleBill &bill, const datapacket::DataPacketTable &table,
                         const std::vector<ListColumn> &columns, const TSimpleFont *font = nullptr,
                         ListClock clock = LocalDateTime::now);

} // namespace tally::printing
