// Rendering the order form (40 body rows) bound to an item packet: every page
// to the recording canvas, and the whole job to a PDF file. Pages per second
// are the items rate. 400 records make 10 pages, 4000 make 100; per page the
// time must not grow with the record position (linear in records).
#include "datapacket/datapackettable.h"
#include "layout/tbill.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"
#include "printing/recordingcanvas.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using tally::datapacket::DataPacketTable;
using tally::layout::TBill;

std::string orderItems(int records)
{
    static const char *const kText[] = {"SPCODE", "NAME", "SPGG", "UNIT"};
    static const char *const kNumbers[] = {"SPXS",    "BZHL",   "SPJS",   "JXSL",
                                           "JHDJ_HS", "SPWKSL", "JHJE_HS"};
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>";
    for (const char *f : kText)
        s += std::string("<FIELD attrname=\"") + f + "\" fieldtype=\"string\" WIDTH=\"40\"/>";
    for (const char *f : kNumbers)
        s += std::string("<FIELD attrname=\"") + f + "\" fieldtype=\"r8\"/>";
    s += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < records; ++i) {
        const std::string n = std::to_string(i);
        s += "<ROW SPCODE=\"6901234" + n + "\" NAME=\"康师傅红烧牛肉面" + n +
             "\" SPGG=\"120g\" UNIT=\"袋\"";
        for (const char *f : kNumbers)
            s += std::string(" ") + f + "=\"" + std::to_string(i % 97) + ".25\"";
        s += "/>";
    }
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

struct OrderForm
{
    explicit OrderForm(int records) : bill(TBill::FromBuiltin("TPrintDHD"))
    {
        items.load(orderItems(records));
        bill->SetDataSet(&items);
        bill->SetRowCountBody(40);
        bill->SetOnGetFooterText(
            [](tally::layout::TCustomBill &sender, int page, std::string &text) {
                if (text == ":PAGE")
                    text = "共" + std::to_string(sender.GetPageCount()) + "页第" +
                           std::to_string(page) + "页";
            });
    }
    DataPacketTable items;
    std::unique_ptr<TBill> bill;
};

// Every page of one output run (BeginPrint .. EndPrint, as the print routines
// and the preview bracket it) on a 600 dpi recording canvas.
void BM_RenderRecording(benchmark::State &state)
{
    OrderForm form(static_cast<int>(state.range(0)));
    tally::printing::RecordingCanvas canvas(600, 600);
    const int pages = form.bill->GetPageCount();
    for (auto _ : state) {
        form.bill->BeginPrint();
        for (int p = 1; p <= pages; ++p) {
            form.bill->DrawPage(canvas, p, 1.0);
            canvas.clear();
        }
        form.bill->EndPrint();
    }
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages"] = pages;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RenderRecording)->Arg(400)->Arg(4000)->Complexity()->Unit(benchmark::kMillisecond);

// Only the last page, drawn alone: the cost of reaching late records.
void BM_RenderLastPage(benchmark::State &state)
{
    OrderForm form(static_cast<int>(state.range(0)));
    tally::printing::RecordingCanvas canvas(600, 600);
    const int last = form.bill->GetPageCount();
    for (auto _ : state) {
        form.bill->BeginPrint();
        form.bill->DrawPage(canvas, last, 1.0);
        canvas.clear();
        form.bill->EndPrint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RenderLastPage)->Arg(400)->Arg(4000)->Unit(benchmark::kMicrosecond);

// The whole print job to a PDF file through the Qt printer.
void BM_PrintPdf(benchmark::State &state)
{
    static int argc = 1;
    static char name[] = "bench_layout_bill";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Lives until the process ends (Qt holds it as the instance):
        // destroying it among the static destructors crashes inside Qt.
        new QGuiApplication(argc, argv);
    }
    OrderForm form(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    tally::printing::QtPrinter printer(
        tally::printing::OutputTarget::pdfFile(dir.filePath(QStringLiteral("order.pdf"))));
    tally::printing::PrintContext context;
    context.printer = &printer;
    form.bill->SetPrintContext(context);
    const int pages = form.bill->GetPageCount();
    for (auto _ : state)
        form.bill->Print(false);
    state.SetItemsProcessed(state.iterations() * pages);
    state.counters["pages"] = pages;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PrintPdf)->Arg(400)->Arg(4000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace
