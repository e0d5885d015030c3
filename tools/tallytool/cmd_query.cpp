#include "commands.h"
#include "guiapplication.h"

#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "printing/listdocument.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"
#include "printing/tsimplebill.h"
#include "tabular/exportcolumn.h"
#include "tabular/exporterror.h"
#include "tabular/qt/tblshowqry.h"
#include "tabular/queryerror.h"
#include "tabular/querysql.h"
#include "tabular/tableexport.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

namespace tally::tool {

namespace {

constexpr const char *kUsage =
    "usage: tallytool query DATABASE TABLE [--sort F1;F2] [--desc] [--aggregate F1;F2 --kinds "
    "SUM,MAX,MIN,AVG] [--pdf OUT.pdf | --xls OUT | --text OUT]\n";

int usageError()
{
    std::fputs(kUsage, stderr);
    return 1;
}

// "SUM,MAX,...": the kinds by their function names, letter case ignored.
std::optional<tabular::AggregateKinds> parseKinds(std::string_view text)
{
    using tabular::AggregateKind;
    tabular::AggregateKinds kinds;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string name(text.substr(0, comma));
        for (char &c : name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        bool known = false;
        for (AggregateKind k :
             {AggregateKind::Sum, AggregateKind::Max, AggregateKind::Min, AggregateKind::Avg})
            if (tabular::aggregateFunction(k) == name) {
                kinds |= k;
                known = true;
            }
        if (!known)
            return std::nullopt;
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return kinds;
}

// The rows as the grid shows them: the indicator column ("记录号", record
// numbers, aggregate labels), then each field's display text, tab-separated.
void printRows(const tabular::TTblShowQry &query)
{
    const datapacket::DataPacketTable &table = query.table();
    std::string line = "记录号";
    for (int c = 0; c < table.fieldCount(); ++c)
        line += "\t" + table.field(c).displayLabel();
    std::puts(line.c_str());
    const std::size_t rows = table.recordCount();
    for (std::size_t r = 0; r < rows; ++r) {
        line = tabular::AggregateRowLabel(query, static_cast<long long>(r + 1));
        for (int c = 0; c < table.fieldCount(); ++c)
            line += "\t" + table.cell(r, c).displayText();
        std::puts(line.c_str());
    }
}

int printReport(const tabular::TTblShowQry &query, const std::string &pdfPath)
{
    printing::TSimpleBill bill;
    bill.SetName("SimpleBill");
    bill.SetHostName("Gridora");
    printing::ApplyListReportDesign(bill);
    bill.Title().SetCaption(query.Title());
    printing::ConfigureListReport(bill, query.table(), printing::DefaultListColumns(query.table()));
    printing::QtPrinter printer(printing::OutputTarget::pdfFile(QString::fromStdString(pdfPath)));
    printing::PrintContext context;
    context.printer = &printer;
    bill.SetPrintContext(context);
    bill.Print(false);
    std::printf("%s: list report, %zu row(s), %d column(s), %d page(s), %d rows per page\n",
                pdfPath.c_str(), query.table().recordCount(), bill.ColCount(), bill.GetPageCount(),
                bill.PageRows());
    return 0;
}

} // namespace

// query DATABASE TABLE [...]: reads a table through the query dataset (an
// SQLite file or a connection string such as postgresql://user@host:port/db),
// sorted and with aggregate rows as asked, and prints its rows with the
// indicator labels the grid shows, or prints the list report the list window
// prints into a PDF, or writes the list window's default export. Status 2
// for a database error (the driver's message) or a failing output.
int runQuery(std::span<const std::string_view> args)
{
    if (args.size() < 2)
        return usageError();
    const std::string database(args[0]);
    const std::string tableName(args[1]);
    std::string sort, aggregate;
    bool descending = false;
    std::optional<tabular::AggregateKinds> kinds;
    std::string output, outputFlag;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--desc")
            descending = true;
        else if (a == "--sort" && hasValue)
            sort = args[++i];
        else if (a == "--aggregate" && hasValue)
            aggregate = args[++i];
        else if (a == "--kinds" && hasValue) {
            kinds = parseKinds(args[++i]);
            if (!kinds)
                return usageError();
        } else if ((a == "--pdf" || a == "--xls" || a == "--text") && hasValue &&
                   outputFlag.empty()) {
            outputFlag = a;
            output = args[++i];
        } else
            return usageError();
    }
    if (aggregate.empty() != !kinds.has_value())
        return usageError();

    const auto app = makeGuiApplication();
    tabular::TTblShowQry query(database, FormatSettings::fromSystemLocale());
    try {
        if (kinds) {
            query.SetAggregateFieldList(aggregate);
            query.SetAggregateKinds(*kinds);
        }
        query.SetTableName(tableName);
        query.SetTitle(tableName);
        query.SetSortFieldList(sort);
        query.SetSortDescending(descending);
        query.Open();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool query: %s: %s\n", database.c_str(), e.what());
        return 2;
    }

    if (outputFlag.empty()) {
        printRows(query);
        return 0;
    }
    if (outputFlag == "--pdf") {
        try {
            return printReport(query, output);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "tallytool query: %s: %s\n", output.c_str(), e.what());
            std::remove(output.c_str());
            return 2;
        }
    }
    const std::vector<tabular::ExportColumn> columns = tabular::defaultExportColumns(query.table());
    try {
        tabular::exportTable(query.table(), columns,
                             outputFlag == "--xls" ? tabular::ExportFormat::Biff
                                                   : tabular::ExportFormat::Text,
                             output);
    } catch (const tabular::ExportError &e) {
        std::fprintf(stderr, "tallytool query: %s: %s\n", output.c_str(), e.what());
        return 2;
    }
    std::printf("exported %zu rows of %zu columns to %s\n", query.table().recordCount(),
                columns.size(), output.c_str());
    return 0;
}

} // namespace tally::tool
