// One order form print request from POST to PDF written, through the running
// service (HTTP listener, intake, document window, PDF spool folder), for 40
// and 400 item rows. The document window is closed as soon as it is up, as a
// clerk would; the time reported is until the window is up, by which time the
// PDF has been written. Each request is one repetition: the median of 50 is
// the figure to read.
//
// The Phase benchmarks split the same request into its steps, without the
// service: packet load, layout load, pagination, drawing every page (on the
// recording canvas, which costs the engine's work only) and the whole print
// job to a PDF file (QPainter drawing plus PDF writing).
#include "documents/billbinding.h"
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "documents/qt/tprintdocument.h"
#include "layout/tbill.h"
#include "orderpackets.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"
#include "printing/recordingcanvas.h"
#include "service/qt/tmainform.h"
#include "tallyhost/hostwindows.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>

namespace {

using namespace tally;
using Clock = std::chrono::steady_clock;

// The body a web page posts for an order form with `rows` item rows.
std::string orderRequestBody(int rows)
{
    const nlohmann::json request = {{"title", "商品订货单"},
                                    {"prev", "0"},
                                    {"djlx", "1"},
                                    {"Maindata", bench::orderHeader()},
                                    {"Itemdata", bench::orderItems(rows)}};
    return QUrl::toPercentEncoding(QString::fromStdString(request.dump())).toStdString();
}

documents::TPrintDocument *openDocumentWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<documents::TPrintDocument *>(widget);
            window && window->isVisible())
            return window;
    return nullptr;
}

// The running service, once for the whole program, printing into a scratch
// spool folder.
struct Service
{
    Service()
    {
        qputenv("TALLY_PDF_DIR", spool.path().toUtf8());
        service::TMainForm::Options options;
        options.port = 0;
        options.showMessage = [](QWidget *, const QString &) {};
        form = std::make_unique<service::TMainForm>(std::move(options));
        tally::host::registerHostWindows(*form);
    }
    void clearSpool() const
    {
        QDir dir(spool.path());
        for (const QString &name : dir.entryList({QStringLiteral("*.pdf")}))
            dir.remove(name);
    }

    QTemporaryDir spool;
    std::unique_ptr<service::TMainForm> form;
};

Service &service()
{
    static Service running;
    return running;
}

void BM_PostToPdf(benchmark::State &state)
{
    Service &s = service();
    if (s.form->listeningPort() == 0) {
        state.SkipWithError("the listener did not start");
        return;
    }
    const std::string body = orderRequestBody(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        auto reply = std::async(std::launch::async, [port = s.form->listeningPort(), &body] {
            httplib::Client client("127.0.0.1", port);
            client.set_read_timeout(std::chrono::seconds(120));
            const httplib::Result r = client.Post("/", body, "application/x-www-form-urlencoded");
            return r && r->status == 200;
        });
        documents::TPrintDocument *window = nullptr;
        while (!(window = openDocumentWindow()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const Clock::time_point printed = Clock::now();
        const bool pdf = window->outcome() == documents::DocumentForm::Outcome::Printed;
        window->close();
        while (reply.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (!reply.get() || !pdf) {
            state.SkipWithError("the request did not print");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(printed - start).count());
        s.clearSpool();
    }
}
BENCHMARK(BM_PostToPdf)
    ->Arg(40)
    ->Arg(400)
    ->Iterations(1)
    ->Repetitions(50)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The steps of the same request, on the bill the service would build.
struct OrderDocument
{
    explicit OrderDocument(int rows)
        : form(*documents::findDocument("1"),
               {"商品订货单", "0", bench::orderHeader(), bench::orderItems(rows)}),
          bill(layout::TBill::FromBuiltin("TPrintDHD")), binding(form, *bill)
    {
        form.load();
        binding.setRowCountBody(form.bodyRowCount());
        binding.setDataSet(&form.items());
    }
    documents::DocumentForm form;
    std::unique_ptr<layout::TBill> bill;
    documents::BillBinding binding;
};

void BM_PhasePacketLoad(benchmark::State &state)
{
    const std::string header = bench::orderHeader();
    const std::string items = bench::orderItems(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        documents::DocumentForm form(*documents::findDocument("1"),
                                     {"商品订货单", "0", header, items});
        benchmark::DoNotOptimize(form.load());
    }
}

void BM_PhaseLayoutLoad(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(layout::TBill::FromBuiltin("TPrintDHD"));
}

void BM_PhasePagination(benchmark::State &state)
{
    OrderDocument document(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        document.bill->BeginPrint();
        benchmark::DoNotOptimize(document.bill->GetPageCount());
        document.bill->EndPrint();
    }
}

void BM_PhaseDrawing(benchmark::State &state)
{
    OrderDocument document(static_cast<int>(state.range(0)));
    printing::RecordingCanvas canvas(600, 600);
    for (auto _ : state) {
        document.bill->BeginPrint();
        for (int page = 1; page <= document.bill->GetPageCount(); ++page) {
            document.bill->DrawPage(canvas, page, 1.0);
            canvas.clear();
        }
        document.bill->EndPrint();
    }
}

void BM_PhasePdfJob(benchmark::State &state)
{
    OrderDocument document(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    printing::QtPrinter printer(
        printing::OutputTarget::pdfFile(dir.filePath(QStringLiteral("order.pdf"))));
    printing::PrintContext context;
    context.printer = &printer;
    document.bill->SetPrintContext(context);
    for (auto _ : state)
        document.bill->Print(false);
    state.counters["pages"] = benchmark::Counter(document.bill->GetPageCount(),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_PhasePacketLoad)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhaseLayoutLoad)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhasePagination)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PhaseDrawing)->Arg(40)->Arg(400)->Unit(benchmark::kMillisecond);
// 1, 10 and 100 pages: "pages" is pages per second, flat when time is linear.
BENCHMARK(BM_PhasePdfJob)->Arg(40)->Arg(400)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Page settings stay out of the user's own store.
    QStandardPaths::setTestModeEnabled(true);
    // Lives until the process ends: Qt objects of the static service need it.
    new QApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::fflush(stdout);
    // The service's connection threads and windows are not taken down in
    // static destruction order; leave at once.
    std::_Exit(0);
}
