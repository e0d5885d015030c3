// The window-free part of a print request: loading an order form's two
// packets and answering every variable of its layout once per page.
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "orderpackets.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tally::documents;
using tally::bench::orderHeader;
using tally::bench::orderItems;

const char *const kOrderVariables[] = {":Ttitle", ":PAGE",  ":pJLBH", ":pHTH",
                                       ":pGHS",   ":pDHBM", ":pJYFS", "pRQ",
                                       "YXBJ",    ":ZDR",   ":SHR",   "订单编号："};

void BM_OrderFormLoadAndVariables(benchmark::State &state)
{
    const DocumentDef &def = *findDocument("1");
    const std::string header = orderHeader();
    const std::string items = orderItems(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DocumentForm form(def, {"", "0", header, items});
        if (!form.load())
            state.SkipWithError("packets do not load");
        const int pages = form.pageCount();
        for (int page = 1; page <= pages; ++page)
            for (const char *name : kOrderVariables)
                benchmark::DoNotOptimize(form.footerText(page, pages, name));
        // Body texts by position, as the bill reads them.
        auto &table = form.items();
        for (table.first(); !table.eof(); table.next())
            for (int f = 0; f < table.fieldCount(); ++f)
                benchmark::DoNotOptimize(table.field(f).displayText());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OrderFormLoadAndVariables)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
