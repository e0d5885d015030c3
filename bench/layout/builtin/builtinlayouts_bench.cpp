// Reading and writing the built-in layouts, against two baselines: copying the
// stream bytes and building a layout with the same grid and blocks.
#include "layout/builtin/builtinlayouts.h"
#include "layout/layoutreader.h"
#include "layout/layoutwriter.h"
#include "layout/tbilllayout.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using tally::layout::TBillLayout;

void readLayout(benchmark::State &state, std::string_view name)
{
    const auto stream = tally::builtin::builtinLayoutStream(name);
    for (auto _ : state) {
        TBillLayout layout;
        const auto result = tally::layout::LayoutReader::Read(stream, layout);
        benchmark::DoNotOptimize(result.consumed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}

void writeLayout(benchmark::State &state, std::string_view name)
{
    const auto layout = tally::builtin::loadBuiltinLayout(name);
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = tally::layout::LayoutWriter::Write(*layout);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void copyBytes(benchmark::State &state, std::string_view name)
{
    const auto stream = tally::builtin::builtinLayoutStream(name);
    for (auto _ : state) {
        std::vector<std::uint8_t> copy(stream.begin(), stream.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

// A layout of the same shape with default cells: what any reader must build.
void buildCells(benchmark::State &state, std::string_view name)
{
    const auto shape = tally::builtin::loadBuiltinLayout(name);
    for (auto _ : state) {
        TBillLayout layout;
        layout.Cols().SetCount(shape->ColCount(), 64);
        layout.Rows().SetCount(shape->RowCount(), 22);
        layout.HeadBlock().SetSize(shape->ColCount(), shape->RowCountHead());
        layout.LeftBlock().SetSize(0, shape->RowCountBody());
        layout.BodyBlock().SetSize(shape->ColCount(), shape->RowCountBody());
        layout.TailBlock().SetSize(shape->ColCount(), shape->RowCountTail());
        layout.UpdateOrigins();
        layout.ResetEdges();
        benchmark::DoNotOptimize(layout.GetPageWidth());
    }
}

} // namespace

int main(int argc, char **argv)
{
    for (std::string_view name : tally::builtin::builtinLayoutNames()) {
        const std::string n(name);
        benchmark::RegisterBenchmark(("Read/" + n).c_str(), readLayout, name);
        benchmark::RegisterBenchmark(("Write/" + n).c_str(), writeLayout, name);
        benchmark::RegisterBenchmark(("CopyBytes/" + n).c_str(), copyBytes, name);
        benchmark::RegisterBenchmark(("BuildCells/" + n).c_str(), buildCells, name);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
