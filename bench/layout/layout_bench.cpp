// Reading and writing a large layout stream, against the floor of copying its
// bytes and building its cells.
#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"
#include "layout/tcell.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

using namespace tally::layout;

namespace {

// Shaped like a wide order form with a labelled left column: 14 columns,
// 4 head rows, 40 body rows, 4 tail rows, 30 free items; most head, left and
// tail cells carry text, several are merged, variable or summing.
void buildLargeLayout(TBillLayout &layout)
{
    layout.SetColCount(14);
    layout.SetColCountLeft(2);
    const int widths[] = {70, 184, 58, 30, 47, 53, 31, 38, 59, 29, 78, 54, 66, 48};
    for (int c = 0; c < 14; ++c)
        layout.Cols().SetSize(c, widths[c]);
    layout.SetRowCountHead(4);
    layout.SetRowCountBody(40);
    layout.SetRowCountTail(4);
    layout.Rows().SetSize(0, 89);
    layout.Rows().SetSize(layout.RowCount() - 1, 45);
    layout.PageSettings().PrintOrient = 1;
    layout.PageSettings().PaperSize = 9;
    for (int i = 0; i < 30; ++i) {
        TFooter item;
        item.SetText(i % 2 ? ":pJLBH" : "订单编号：");
        item.SetFixedText(i % 3 != 0);
        item.SetVAlign(tally::printing::VertAlign::Top);
        item.SetRect({7 + 20 * i, 50, 67 + 20 * i, 62});
        (i < 20 ? layout.TopFooters() : layout.BottomFooters()).push_back(item);
    }
    for (TBlock *block : {&layout.HeadBlock(), &layout.LeftBlock(), &layout.TailBlock()}) {
        for (int c = 0; c < block->ColCount(); ++c) {
            for (int r = 0; r < block->RowCount(); ++r) {
                TCell &cell = block->GetCell(c, r);
                cell.SetText((c + r) % 2 ? "商品名称" : "SPCODE");
                cell.SetHAlign(static_cast<tally::printing::HorzAlign>((c + r) % 3));
            }
        }
    }
    layout.HeadBlock().Merge({0, 0, 3, 1});
    layout.HeadBlock().Merge({10, 2, 12, 3});
    layout.TailBlock().Merge({0, 0, 5, 0});
    layout.TailBlock().GetCell(8, 1).SetSumKind(tally::printing::SumScope::Total);
    layout.BodyBlock().Merge({1, 0, 2, 0});
    layout.BodyBlock().Template(4).SetFontSize(10);
    layout.SetTopLine(0, layout.RowCount() - 2, false);
    layout.SetLeftLine(14, 3, false);
}

std::vector<std::uint8_t> largeStream()
{
    TBillLayout layout;
    buildLargeLayout(layout);
    return LayoutWriter::Write(layout);
}

void BM_ReadLayout(benchmark::State &state)
{
    const std::vector<std::uint8_t> bytes = largeStream();
    TBillLayout layout;
    for (auto _ : state) {
        const LayoutReadResult result = LayoutReader::Read(bytes, layout);
        benchmark::DoNotOptimize(result.consumed);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadLayout)->Unit(benchmark::kMicrosecond);

void BM_WriteLayout(benchmark::State &state)
{
    TBillLayout layout;
    buildLargeLayout(layout);
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = LayoutWriter::Write(layout);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_WriteLayout)->Unit(benchmark::kMicrosecond);

// The floor a reader cannot beat: copy the stream's bytes and build a layout
// of the same shape with default cells.
void BM_CopyBytesAndBuildCells(benchmark::State &state)
{
    const std::vector<std::uint8_t> bytes = largeStream();
    TBillLayout shape;
    buildLargeLayout(shape);
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        TBillLayout layout;
        layout.HeadBlock().SetSize(shape.HeadBlock().ColCount(), shape.HeadBlock().RowCount());
        layout.LeftBlock().SetSize(shape.LeftBlock().ColCount(), shape.LeftBlock().RowCount());
        layout.BodyBlock().SetSize(shape.BodyBlock().ColCount(), shape.BodyBlock().RowCount());
        layout.TailBlock().SetSize(shape.TailBlock().ColCount(), shape.TailBlock().RowCount());
        layout.TopFooters().resize(shape.TopFooters().size());
        layout.BottomFooters().resize(shape.BottomFooters().size());
        benchmark::DoNotOptimize(&layout);
    }
}
BENCHMARK(BM_CopyBytesAndBuildCells)->Unit(benchmark::kMicrosecond);

} // namespace
