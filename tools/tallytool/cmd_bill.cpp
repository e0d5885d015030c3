#include "commands.h"
#include "guiapplication.h"

#include "datapacket/datapackettable.h"
#include "datapacket/packeterror.h"
#include "layout/builtin/builtinlayouts.h"
#include "layout/tbill.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace tally::tool {

namespace {

// Body-row caps of the documents that print with each layout.
struct LayoutCap
{
    std::string_view layout;
    int cap;
};

constexpr LayoutCap kCaps[] = {
    {"TPrintDHD", 40},  {"TPrintDHD_HX", 22}, {"TPrintJHD", 32},     {"TPrintJSD", 8},
    {"TPrintJSKKD", 8}, {"TPrintJXJSD", 8},   {"TprintSPCGBJD", 40}, {"TprintJJBJD", 8},
    {"TPrintTHD", 36},  {"TPrintTHD_SLL", 8},
};

int documentCap(std::string_view layout)
{
    for (const LayoutCap &c : kCaps) {
        if (std::equal(c.layout.begin(), c.layout.end(), layout.begin(), layout.end(),
                       [](char a, char b) { return (a | 0x20) == (b | 0x20); }))
            return c.cap;
    }
    return 40;
}

int usageError()
{
    std::fputs("usage: tallytool bill LAYOUT ITEMS.xml --pdf OUT.pdf [--rows N]\n", stderr);
    return 1;
}

} // namespace

// bill LAYOUT ITEMS.xml --pdf OUT.pdf [--rows N]: the built-in layout bound
// to the item packet, body rows set to the record count capped by N (by
// default the document's own cap), printed to a PDF file. Variables print
// their stored names.
int runBill(std::span<const std::string_view> args)
{
    if (args.size() < 4)
        return usageError();
    const std::string layoutName(args[0]);
    const std::string itemsPath(args[1]);
    std::string pdfPath;
    int cap = documentCap(layoutName);
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--pdf" && i + 1 < args.size()) {
            pdfPath = std::string(args[++i]);
        } else if (args[i] == "--rows" && i + 1 < args.size()) {
            const std::string_view v = args[++i];
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), cap);
            if (ec != std::errc() || end != v.data() + v.size() || cap < 0)
                return usageError();
        } else {
            return usageError();
        }
    }
    if (pdfPath.empty())
        return usageError();

    auto bill = layout::TBill::FromBuiltin(layoutName);
    if (!bill) {
        std::fprintf(stderr, "tallytool bill: no built-in layout %s; known:", layoutName.c_str());
        for (std::string_view n : builtin::builtinLayoutNames())
            std::fprintf(stderr, " %.*s", static_cast<int>(n.size()), n.data());
        std::fputc('\n', stderr);
        return 2;
    }

    std::ifstream in(itemsPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tallytool bill: %s: cannot open file\n", itemsPath.c_str());
        return 2;
    }
    std::string packet((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    datapacket::DataPacketTable items(FormatSettings::fromSystemLocale());
    try {
        items.load(std::move(packet));
    } catch (const datapacket::PacketError &e) {
        std::fprintf(stderr, "tallytool bill: %s: %s\n", itemsPath.c_str(), e.what());
        return 2;
    }

    const auto app = makeGuiApplication();
    try {
        bill->SetDataSet(&items);
        const auto records = static_cast<long long>(items.recordCount());
        bill->SetRowCountBody(static_cast<int>(std::min<long long>(records, cap)));
        bill->SetCaption(layoutName);

        printing::QtPrinter printer(
            printing::OutputTarget::pdfFile(QString::fromStdString(pdfPath)));
        printing::PrintContext context;
        context.printer = &printer;
        bill->SetPrintContext(context);
        bill->Print(false);
        std::printf("%s: %d page(s), %d body rows per page\n", pdfPath.c_str(),
                    bill->GetPageCount(), bill->RowCountBody());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool bill: %s\n", e.what());
        return 2;
    }
    return 0;
}

} // namespace tally::tool
