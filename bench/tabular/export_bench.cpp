// Export of a 12-field table to each format, next to writing the same number
// of bytes with fwrite, and (for xlsx) next to libxlsxwriter writing the same
// values on its own in constant-memory mode. Counters: MB/s of file written,
// the processor time per run in user space and in the kernel, and the heap in
// use during the export above what it was before (sampled after every row),
// which must not grow with the row count. BM_ExportOverFwrite gives the ratio
// of export to plain write from runs that alternate, which a shared host's
// drift in speed moves far less than it moves separate runs.
#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "tabular/exportcolumn.h"
#include "tabular/exportstream.h"
#include "tabular/tableexport.h"

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tally;
using tally::tabular::ExportFormat;

constexpr int kFields = 12;

std::size_t heapInUse()
{
    const struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

// The values of one row, the same for the packet and the direct workbook.
struct Row
{
    std::string code, name, unit, note;
    long long qty, stock, shelf;
    double price, weight, amount;
    std::string date;
    bool flag;
};

Row makeRow(long long i)
{
    return {"SP" + std::to_string(100000 + i),
            "康师傅红烧牛肉面" + std::to_string(i % 97),
            i % 3 == 0 ? "箱" : "袋",
            i % 5 == 0 ? "" : "促销商品,注意保质期",
            i % 500,
            i * 7 % 100000,
            -(i % 40),
            1.25 + static_cast<double>(i % 1000) / 100.0,
            0.5 * static_cast<double>(i % 9),
            12345.67 + static_cast<double>(i),
            "2024" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "15",
            i % 2 == 0};
}

std::string packetOf(std::size_t rows)
{
    std::string s =
        R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
        R"(<FIELD attrname="SPCODE" fieldtype="string" WIDTH="10"/>)"
        R"(<FIELD attrname="品名" fieldtype="string" WIDTH="30"/>)"
        R"(<FIELD attrname="DW" fieldtype="string" WIDTH="4"/>)"
        R"(<FIELD attrname="BZ" fieldtype="string" WIDTH="20"/>)"
        R"(<FIELD attrname="SL" fieldtype="i4"/><FIELD attrname="KC" fieldtype="i4"/>)"
        R"(<FIELD attrname="HW" fieldtype="i4"/><FIELD attrname="JJ" fieldtype="r8"/>)"
        R"(<FIELD attrname="ZL" fieldtype="r8"/>)"
        R"(<FIELD attrname="JE" fieldtype="r8" SUBTYPE="Money"/>)"
        R"(<FIELD attrname="RQ" fieldtype="date"/><FIELD attrname="ZP" fieldtype="boolean"/>)"
        R"(</FIELDS><PARAMS/></METADATA><ROWDATA>)";
    char buf[128];
    for (std::size_t i = 0; i < rows; ++i) {
        const Row r = makeRow(static_cast<long long>(i));
        s += "<ROW SPCODE=\"" + r.code + "\" 品名=\"" + r.name + "\" DW=\"" + r.unit + "\" BZ=\"" +
             r.note + "\"";
        std::snprintf(buf, sizeof buf, " SL=\"%lld\" KC=\"%lld\" HW=\"%lld\" JJ=\"%.17g\"", r.qty,
                      r.stock, r.shelf, r.price);
        s += buf;
        std::snprintf(buf, sizeof buf, " ZL=\"%.17g\" JE=\"%.17g\"", r.weight, r.amount);
        s += buf;
        s += " RQ=\"" + r.date + "\" ZP=\"" + (r.flag ? "TRUE" : "FALSE") + "\"/>";
    }
    return s + "</ROWDATA></DATAPACKET>";
}

const datapacket::DataPacketTable &tableOf(std::size_t rows)
{
    static std::map<std::size_t, std::unique_ptr<datapacket::DataPacketTable>> tables;
    auto &t = tables[rows];
    if (!t) {
        t = std::make_unique<datapacket::DataPacketTable>(FormatSettings::chinesePrc());
        t->load(packetOf(rows));
    }
    return *t;
}

fs::path outFolder()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("tally-export-bench-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

ExportFormat formatOf(std::int64_t i)
{
    return static_cast<ExportFormat>(i);
}

// One export; with heapPeak, the heap in use is sampled after every row (that
// sampling costs time, so timed runs go without it).
std::size_t exportOnce(ExportFormat format, std::size_t rows, std::size_t *heapPeak,
                       const fs::path &out = outFolder() / "out")
{
    const datapacket::DataPacketTable &table = tableOf(rows);
    const std::vector<tabular::ExportColumn> columns = tabular::defaultExportColumns(table);
    // Reading the heap's figures walks the allocator's lists: only when asked.
    const std::size_t before = heapPeak ? heapInUse() : 0;
    std::size_t peak = before;
    std::size_t seen = 0;
    tabular::exportTable(table, columns, format, out.string(), [&](std::size_t n) {
        if (heapPeak)
            peak = std::max(peak, heapInUse());
        seen = n;
        return true;
    });
    benchmark::DoNotOptimize(seen);
    if (heapPeak)
        *heapPeak = peak - before;
    return fs::is_regular_file(out) ? fs::file_size(out) : 0;
}

// The calling thread's processor time so far, in user space and in the
// kernel, in milliseconds.
struct ProcessorTime
{
    double user = 0;
    double kernel = 0;

    static ProcessorTime now()
    {
        struct rusage usage
        {
        };
        getrusage(RUSAGE_THREAD, &usage);
        const auto ms = [](const timeval &t) {
            return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
        };
        return {ms(usage.ru_utime), ms(usage.ru_stime)};
    }
};

// Besides MB/s, the processor time per run split into user space (the
// formatting) and kernel (the writing, which the page cache makes vary the
// most from run to run), from `start` on.
void report(benchmark::State &state, std::size_t bytes, std::size_t heapPeak,
            const ProcessorTime &start)
{
    const ProcessorTime end = ProcessorTime::now();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["heap_peak_MB"] = static_cast<double>(heapPeak) / 1e6;
    state.counters["user_ms"] =
        benchmark::Counter(end.user - start.user, benchmark::Counter::kAvgIterations);
    state.counters["kernel_ms"] =
        benchmark::Counter(end.kernel - start.kernel, benchmark::Counter::kAvgIterations);
}

// Args: format (0 text, 1 BIFF, 2 xlsx), rows.
void BM_Export(benchmark::State &state)
{
    const ExportFormat format = formatOf(state.range(0));
    const auto rows = static_cast<std::size_t>(state.range(1));
    std::size_t heapPeak = 0;
    const std::size_t bytes = exportOnce(format, rows, &heapPeak);
    const ProcessorTime start = ProcessorTime::now();
    for (auto _ : state)
        exportOnce(format, rows, nullptr);
    report(state, bytes, heapPeak, start);
}

// The export into /dev/null, which takes its writes at no cost: the
// processor time of the formatting alone, without the page cache's share,
// which varies the most from run to run. For comparing changes to a writer.
void BM_ExportFormatting(benchmark::State &state)
{
    const ExportFormat format = formatOf(state.range(0));
    const auto rows = static_cast<std::size_t>(state.range(1));
    const std::size_t bytes = exportOnce(format, rows, nullptr);
    const ProcessorTime start = ProcessorTime::now();
    for (auto _ : state)
        exportOnce(format, rows, nullptr, "/dev/null");
    report(state, bytes, 0, start);
}

// The same number of bytes as the export of the same args, written by fwrite
// to a file in the same folder, in blocks of the size the export writes
// unless told another; with `reserve`, after reserving room for them all as
// the export's stream does (see ExportStream::expect).
void writePlain(const std::string &path, std::size_t bytes,
                std::size_t blockSize = tabular::ExportStream::kBlockSize, bool reserve = false)
{
    static const std::string blocks(tabular::ExportStream::kBlockSize, 'x');
    const std::string_view block(blocks.data(), std::min(blockSize, blocks.size()));
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (reserve)
        (void)fallocate(fileno(f), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes));
    for (std::size_t left = bytes; left > 0;) {
        const std::size_t n = std::min(left, block.size());
        benchmark::DoNotOptimize(std::fwrite(block.data(), 1, n, f));
        left -= n;
    }
    std::fclose(f);
}

void BM_Fwrite(benchmark::State &state)
{
    const std::size_t bytes =
        exportOnce(formatOf(state.range(0)), static_cast<std::size_t>(state.range(1)), nullptr);
    const std::string path = (outFolder() / "plain").string();
    const ProcessorTime start = ProcessorTime::now();
    for (auto _ : state)
        writePlain(path, bytes);
    report(state, bytes, 0, start);
}

// A fixed amount of computing that does not depend on the code measured:
// 60,000 numbers turned into their shortest digits by the standard library,
// one after another into a buffer of the export's block size. A shared
// host's load slows it along with the export's formatting, while it barely
// slows the plain write, which only copies memory. So its time per run tells
// runs on a loaded processor from runs on a quiet one.
void referenceWork()
{
    static std::vector<char> buffer(tabular::ExportStream::kBlockSize);
    constexpr int kNumbers = 60000;
    constexpr std::size_t kRoom = 32; // more than any double's shortest form
    std::size_t at = 0;
    for (int i = 0; i < kNumbers; ++i) {
        if (at + kRoom > buffer.size())
            at = 0;
        const double value = 1.25 + static_cast<double>(i) * 0.37;
        at = static_cast<std::size_t>(
            std::to_chars(buffer.data() + at, buffer.data() + at + kRoom, value).ptr -
            buffer.data());
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
}

// An export and the plain write of as many bytes, one after the other in
// every iteration, so that both meet the same machine (a shared host's
// speed drifts between runs that are seconds apart). Counters: the processor
// time of each per run and their ratio, the export's over the plain write's,
// and the time of referenceWork, done in every iteration too.
void BM_ExportOverFwrite(benchmark::State &state)
{
    const ExportFormat format = formatOf(state.range(0));
    const auto rows = static_cast<std::size_t>(state.range(1));
    const auto plainBlock = static_cast<std::size_t>(state.range(2)) << 10;
    const bool plainReserved = state.range(3) != 0;
    const std::size_t bytes = exportOnce(format, rows, nullptr);
    const std::string path = (outFolder() / "plain").string();
    ProcessorTime exported;
    ProcessorTime plain;
    double reference = 0;
    for (auto _ : state) {
        fs::remove(outFolder() / "out");
        fs::remove(path);
        const ProcessorTime t0 = ProcessorTime::now();
        exportOnce(format, rows, nullptr);
        const ProcessorTime t1 = ProcessorTime::now();
        writePlain(path, bytes, plainBlock, plainReserved);
        const ProcessorTime t2 = ProcessorTime::now();
        referenceWork();
        const ProcessorTime t3 = ProcessorTime::now();
        reference += (t3.user - t2.user) + (t3.kernel - t2.kernel);
        exported.user += t1.user - t0.user;
        exported.kernel += t1.kernel - t0.kernel;
        plain.user += t2.user - t1.user;
        plain.kernel += t2.kernel - t1.kernel;
    }
    const auto perRun = [](double ms) {
        return benchmark::Counter(ms, benchmark::Counter::kAvgIterations);
    };
    state.counters["export_user_ms"] = perRun(exported.user);
    state.counters["export_kernel_ms"] = perRun(exported.kernel);
    state.counters["fwrite_ms"] = perRun(plain.user + plain.kernel);
    state.counters["reference_ms"] = perRun(reference);
    const double plainTotal = plain.user + plain.kernel;
    state.counters["ratio"] = plainTotal > 0 ? (exported.user + exported.kernel) / plainTotal : 0;
}

// Only the table reads each export makes (value as string for the text,
// the value of its kind or edit text for BIFF, appended to one reused
// buffer as the writers do), nothing converted or written: the part of the
// export's time that the table's own formatting takes.
void BM_TableReads(benchmark::State &state)
{
    const ExportFormat format = formatOf(state.range(0));
    const auto rows = static_cast<std::size_t>(state.range(1));
    const datapacket::DataPacketTable &table = tableOf(rows);
    std::string text;
    for (auto _ : state) {
        std::size_t sum = 0;
        for (std::size_t r = 0; r < rows; ++r)
            for (int c = 0; c < table.fieldCount(); ++c) {
                const datapacket::FieldCell cell = table.cell(r, c);
                const datapacket::FieldKind kind = cell.field().kind();
                text.clear();
                if (datapacket::isTextKind(kind))
                    sum += cell.textView().size();
                else if (format == ExportFormat::Text)
                    cell.appendString(text);
                else if (cell.isNull())
                    ++sum;
                else if (datapacket::isIntegerKind(kind))
                    sum += static_cast<std::size_t>(cell.asInteger());
                else if (kind == datapacket::FieldKind::Float)
                    sum += static_cast<std::size_t>(cell.asFloat());
                else
                    cell.appendEditText(text);
                sum += text.size();
            }
        benchmark::DoNotOptimize(sum);
    }
}

// libxlsxwriter on its own in constant-memory mode, same values and formats,
// straight from the row generator (no table).
void BM_LibxlsxwriterDirect(benchmark::State &state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    const std::string path = (outFolder() / "direct.xlsx").string();
    const std::string tmpdir = outFolder().string();
    std::size_t heapPeak = 0;
    const ProcessorTime start = ProcessorTime::now();
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        std::size_t peak = 0;
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = const_cast<char *>(tmpdir.c_str());
        lxw_workbook *book = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
        lxw_format *bold = workbook_add_format(book);
        format_set_bold(bold);
        lxw_format *money = workbook_add_format(book);
        format_set_num_format_index(money, 4);
        lxw_format *date = workbook_add_format(book);
        format_set_num_format_index(date, 14);
        for (int c = 0; c < kFields; ++c)
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), "FIELD", bold);
        worksheet_freeze_panes(sheet, 1, 0);
        for (std::size_t i = 0; i < rows; ++i) {
            const Row r = makeRow(static_cast<long long>(i));
            const auto row = static_cast<lxw_row_t>(i + 1);
            worksheet_write_string(sheet, row, 0, r.code.c_str(), nullptr);
            worksheet_write_string(sheet, row, 1, r.name.c_str(), nullptr);
            worksheet_write_string(sheet, row, 2, r.unit.c_str(), nullptr);
            worksheet_write_string(sheet, row, 3, r.note.c_str(), nullptr);
            worksheet_write_number(sheet, row, 4, static_cast<double>(r.qty), nullptr);
            worksheet_write_number(sheet, row, 5, static_cast<double>(r.stock), nullptr);
            worksheet_write_number(sheet, row, 6, static_cast<double>(r.shelf), nullptr);
            worksheet_write_number(sheet, row, 7, r.price, nullptr);
            worksheet_write_number(sheet, row, 8, r.weight, nullptr);
            worksheet_write_number(sheet, row, 9, r.amount, money);
            worksheet_write_number(sheet, row, 10, 45000.0 + static_cast<double>(i % 365), date);
            worksheet_write_boolean(sheet, row, 11, r.flag, nullptr);
            if (i % 1024 == 0)
                peak = std::max(peak, heapInUse());
        }
        workbook_close(book);
        heapPeak = peak > before ? peak - before : 0;
    }
    report(state, fs::file_size(path), heapPeak, start);
}

// 100,000 rows for text and xlsx; the BIFF stream numbers rows in 16 bits,
// so its largest export (65,535 rows and the title row) stands in for it.
// The smaller runs show that memory does not grow with the rows.
BENCHMARK(BM_Export)
    ->ArgNames({"format", "rows"})
    ->Args({0, 25000})
    ->Args({0, 100000})
    ->Args({1, 16000})
    ->Args({1, 65535})
    ->Args({2, 25000})
    ->Args({2, 100000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportFormatting)
    ->ArgNames({"format", "rows"})
    ->Args({0, 25000})
    ->Args({0, 100000})
    ->Args({1, 16000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fwrite)
    ->ArgNames({"format", "rows"})
    ->Args({0, 100000})
    ->Args({1, 65535})
    ->Args({2, 100000})
    ->Unit(benchmark::kMillisecond);
// plain_KiB: the plain write's block size. The export's own is the first;
// 64 shows how much the ratio owes to the size of the writes.
// plain_reserved: 1 when the plain write reserves its room first, as the
// export does, which shows how much the ratio owes to that.
BENCHMARK(BM_ExportOverFwrite)
    ->ArgNames({"format", "rows", "plain_KiB", "plain_reserved"})
    ->Args({0, 100000, tabular::ExportStream::kBlockSize >> 10, 0})
    ->Args({1, 65535, tabular::ExportStream::kBlockSize >> 10, 0})
    ->Args({0, 100000, tabular::ExportStream::kBlockSize >> 10, 1})
    ->Args({1, 65535, tabular::ExportStream::kBlockSize >> 10, 1})
    ->Args({0, 100000, 64, 0})
    ->Args({1, 65535, 64, 0})
    ->MinTime(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableReads)
    ->ArgNames({"format", "rows"})
    ->Args({0, 100000})
    ->Args({1, 65535})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibxlsxwriterDirect)
    ->ArgNames({"rows"})
    ->Arg(25000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(outFolder(), ec);
    return 0;
}
