// The list report of a generated packet of 12 fields: every page drawn on a
// recording canvas (the report's own work), and the whole print job into a
// PDF file through the Qt printer. Pages per second are the items rate;
// 10 times the rows must take at most 11 times the time (linear growth).
#include "datapacket/datapackettable.h"
#include "printing/listdocument.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"
#include "printing/recordingcanvas.h"
#include "printing/tsimplebill.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using tally::datapacket::DataPacketTable;
using tally::printing::TSimpleBill;

// rows rows of 12 fields: codes, names, units, dates, amounts (about 200
// bytes a row, 20 MB for 100,000 rows).
std::string listPacket(int rows)
{
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>"
                    "<FIELD attrname=\"DJBH\" fieldtype=\"string\" WIDTH=\"12\"/>"
                    "<FIELD attrname=\"RQ\" fieldtype=\"date\"/>"
                    "<FIELD attrname=\"MDMC\" fieldtype=\"string\" WIDTH=\"20\"/>"
                    "<FIELD attrname=\"SPCODE\" fieldtype=\"string\" WIDTH=\"10\"/>"
                    "<FIELD attrname=\"NAME\" fieldtype=\"string\" WIDTH=\"40\"/>"
                    "<FIELD attrname=\"SPGG\" fieldtype=\"string\" WIDTH=\"20\"/>"
                    "<FIELD attrname=\"DW\" fieldtype=\"string\" WIDTH=\"4\"/>"
                    "<FIELD attrname=\"XSSL\" fieldtype=\"i4\"/>"
                    "<FIELD attrname=\"XSJ\" fieldtype=\"r8\"/>"
                    "<FIELD attrname=\"XSJE\" fieldtype=\"r8\" SUBTYPE=\"Money\"/>"
                    "<FIELD attrname=\"ZK\" fieldtype=\"r8\"/>"
                    "<FIELD attrname=\"BZ\" fieldtype=\"string\" WIDTH=\"30\"/>"
                    "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        s += "<ROW DJBH=\"XS" + n + "\" RQ=\"202411" + std::to_string(10 + i % 18) +
             "\" MDMC=\"中山北路店\" SPCODE=\"1002" + std::to_string(i % 100) +
             "\" NAME=\"康师傅红烧牛肉面" + n + "\" SPGG=\"105g*24\" DW=\"箱\" XSSL=\"" +
             std::to_string(i % 60) + "\" XSJ=\"3.5\" XSJE=\"" + std::to_string(i % 60) +
             ".25\" ZK=\"0.95\" BZ=\"促销\"/>";
    }
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

struct ListReport
{
    explicit ListReport(int rows)
    {
        table.load(listPacket(rows));
        tally::printing::ApplyListReportDesign(bill);
        bill.Title().SetCaption("商品销售明细");
        tally::printing::ConfigureListReport(bill, table,
                                             tally::printing::DefaultListColumns(table));
    }
    DataPacketTable table;
    TSimpleBill bill;
};

void ensureGuiApplication()
{
    static int argc = 1;
    static char name[] = "bench_list_report";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Lives until the process ends (Qt holds it as the instance):
        // destroying it among the static destructors crashes inside Qt.
        new QGuiApplication(argc, argv);
    }
}

// Every page of the report on a 600 dpi recording canvas.
void BM_ListReportRecording(benchmark::State &state)
{
    ensureGuiApplication();
    ListReport report(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    tally::printing::QtPrinter printer(
        tally::printing::OutputTarget::pdfFile(dir.filePath(QStringLiteral("list.pdf"))));
    tally::printing::PrintContext context;
    context.printer = &printer;
    report.bill.SetPrintContext(context);
    report.bill.CalcPages();
    const int pages = report.bill.GetPageCount();
    tally::printing::RecordingCanvas canvas(600, 600);
    for (auto _ : state) {
        for (int p = 1; p <= pages; ++p) {
            report.bill.DrawPage(canvas, p, 1.0);
            canvas.clear();
        }
    }
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages"] = pages;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ListReportRecording)
    ->Arg(10000)
    ->Arg(100000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

// The whole print job into a PDF file.
void BM_ListReportPdf(benchmark::State &state)
{
    ensureGuiApplication();
    ListReport report(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    tally::printing::QtPrinter printer(
        tally::printing::OutputTarget::pdfFile(dir.filePath(QStringLiteral("list.pdf"))));
    tally::printing::PrintContext context;
    context.printer = &printer;
    report.bill.SetPrintContext(context);
    for (auto _ : state)
        report.bill.Print(false);
    const int pages = report.bill.GetPageCount();
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages"] = pages;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ListReportPdf)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
