// Loading a large data packet: the full table load next to pugixml parsing the
// same text alone, with the heap peak of each relative to the text size.
#include "../support/largepacket.h"
#include "datapacket/datapackettable.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>

namespace {

// Heap accounting for both operator new and pugixml's allocations.
std::atomic<std::size_t> g_current{0};
std::atomic<std::size_t> g_peak{0};

void *countedAlloc(std::size_t n)
{
    void *p = std::malloc(n == 0 ? 1 : n);
    if (p != nullptr) {
        const std::size_t now = g_current += malloc_usable_size(p);
        std::size_t peak = g_peak.load();
        while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
        }
    }
    return p;
}

void countedFree(void *p)
{
    if (p != nullptr) {
        g_current -= malloc_usable_size(p);
        std::free(p);
    }
}

// Starts a peak measurement; returns the baseline.
std::size_t resetPeak()
{
    g_peak = g_current.load();
    return g_current.load();
}

// Thread CPU time: the build machines are shared, and wall time there
// measures the neighbours as much as the load.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Each iteration times pugixml's bare parse and the full table load of the
// same text (both include copying the text); the iteration time reported is
// the load's CPU time.
void BM_LoadVersusBareParse(benchmark::State &state)
{
    pugi::set_memory_management_functions(countedAlloc, countedFree);
    const std::string &text = tally::bench::largeListPacket();
    const double mb = static_cast<double>(text.size()) / 1e6;
    double parseTotal = 0, loadTotal = 0, parsePeak = 0, loadPeak = 0, resident = 0;
    for (auto _ : state) {
        {
            const std::size_t base = resetPeak();
            const double t0 = cpuSeconds();
            pugi::xml_document doc;
            const bool ok = doc.load_buffer(text.data(), text.size());
            parseTotal += cpuSeconds() - t0;
            benchmark::DoNotOptimize(ok);
            parsePeak = static_cast<double>(g_peak - base);
        }
        tally::datapacket::DataPacketTable table;
        const std::size_t base = resetPeak();
        const double t0 = cpuSeconds();
        table.load(std::string(text));
        const double t = cpuSeconds() - t0;
        loadTotal += t;
        loadPeak = static_cast<double>(g_peak - base);
        resident = static_cast<double>(g_current - base);
        state.SetIterationTime(t);
        if (table.recordCount() != 100000)
            state.SkipWithError("packet did not load completely");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["text_MB"] = mb;
    state.counters["parse_MBps"] = mb * n / parseTotal;
    state.counters["load_MBps"] = mb * n / loadTotal;
    state.counters["load_per_parse"] = loadTotal / parseTotal;
    state.counters["parse_peak_per_text"] = parsePeak / (mb * 1e6);
    state.counters["load_peak_per_text"] = loadPeak / (mb * 1e6);
    state.counters["table_per_text"] = resident / (mb * 1e6);
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) * state.iterations());
}
BENCHMARK(BM_LoadVersusBareParse)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2);

// Walking every row and taking every display text, as a grid or export does.
void BM_ReadAllDisplayTexts(benchmark::State &state)
{
    tally::datapacket::DataPacketTable table;
    table.load(tally::bench::largeListPacket());
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (table.first(); !table.eof(); table.next())
            for (int i = 0; i < table.fieldCount(); ++i)
                bytes += table.field(i).displayText().size();
    }
    benchmark::DoNotOptimize(bytes);
    state.counters["rows_per_s"] = benchmark::Counter(
        100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadAllDisplayTexts)->Unit(benchmark::kMillisecond);

} // namespace

void *operator new(std::size_t n)
{
    if (void *p = countedAlloc(n))
        return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t n)
{
    return operator new(n);
}
void operator delete(void *p) noexcept
{
    countedFree(p);
}
void operator delete[](void *p) noexcept
{
    countedFree(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    countedFree(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    countedFree(p);
}

BENCHMARK_MAIN();
