// The list window over a large packet (100,000 rows of twelve fields, about
// 20 MB): the time from ShowGridora to the grid's first painted screen next
// to loading the packet alone, the heap the window needs beyond its table,
// and the time to paint a screen after jumping to the end.
#include "../support/largepacket.h"
#include "datapacket/datapackettable.h"
#include "tabular/qt/listwindows.h"
#include "tabular/qt/tblshowgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <string>

namespace {

// Heap in use (Qt allocates with malloc directly, so operator new alone
// would miss most of the window).
double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// Counts the paint events a widget has finished.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int painted = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++painted; // counted as it starts; the paint ends before the next event
        return false;
    }
};

// The heap a loaded table keeps, measured once.
double tableBytes()
{
    static const double bytes = [] {
        std::string text = tally::bench::largeListPacket();
        const double before = heapBytes();
        auto table = std::make_unique<tally::datapacket::DataPacketTable>();
        table->load(std::move(text));
        return heapBytes() - before;
    }();
    return bytes;
}

void BM_PacketLoadAlone(benchmark::State &state)
{
    const std::string &text = tally::bench::largeListPacket();
    for (auto _ : state) {
        std::string copy = text;
        QElapsedTimer timer;
        timer.start();
        tally::datapacket::DataPacketTable table;
        table.load(std::move(copy));
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    }
    state.counters["text_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["table_MB"] = tableBytes() / 1e6;
}
BENCHMARK(BM_PacketLoadAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// From ShowGridora (which loads the packet) until the grid's first screen
// has been painted.
void BM_ShowGridoraFirstScreen(benchmark::State &state)
{
    double beyondTable = 0;
    for (auto _ : state) {
        // The request's copy of the packet is the caller's; it moves in.
        std::string text = tally::bench::largeListPacket();
        const double before = heapBytes();
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<tally::tabular::TGridora> window =
            tally::tabular::ShowGridora(nullptr, "商品清单", "0", std::move(text));
        PaintCounter counter(window->grid().viewport());
        window->show();
        while (counter.painted == 0)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents(); // the paint event itself ends here
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
        beyondTable = heapBytes() - before - tableBytes();
        if (window->grid().model()->rowCount() != 100000)
            state.SkipWithError("packet did not load completely");
    }
    state.counters["heap_beyond_table_MB"] = beyondTable / 1e6;
}
BENCHMARK(BM_ShowGridoraFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Painting one screen of the striped grid: the first, and after jumping to
// the end (a full repaint, as a scroll of a striped grid does).
void BM_PaintScreen(benchmark::State &state)
{
    std::unique_ptr<tally::tabular::TGridora> window =
        tally::tabular::ShowGridora(nullptr, "商品清单", "0", tally::bench::largeListPacket());
    window->show();
    QCoreApplication::processEvents();
    tally::tabular::TTblShowGrid &grid = window->grid();
    if (state.range(0) == 1) {
        grid.scrollToBottom();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        grid.viewport()->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    }
    state.SetLabel(state.range(0) == 1 ? "last screen" : "first screen");
}
BENCHMARK(BM_PaintScreen)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Jumping from the top to the end and painting that screen.
void BM_JumpToEndAndPaint(benchmark::State &state)
{
    std::unique_ptr<tally::tabular::TGridora> window =
        tally::tabular::ShowGridora(nullptr, "商品清单", "0", tally::bench::largeListPacket());
    window->show();
    QCoreApplication::processEvents();
    tally::tabular::TTblShowGrid &grid = window->grid();
    for (auto _ : state) {
        grid.scrollToTop();
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        grid.scrollToBottom();
        grid.viewport()->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    }
}
BENCHMARK(BM_JumpToEndAndPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
