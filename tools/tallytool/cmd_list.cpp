#include "commands.h"
#include "guiapplication.h"
#include "requestfile.h"

#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "datapacket/packeterror.h"
#include "printing/listdocument.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"
#include "printing/tsimplebill.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

namespace tally::tool {

namespace {

int usageError()
{
    std::fputs("usage: tallytool list REQUEST|PACKET --pdf OUT.pdf [--title TEXT]\n", stderr);
    return 1;
}

} // namespace

// list REQUEST|PACKET --pdf OUT.pdf [--title TEXT]: the list report the list
// window prints right after opening (every visible field at its opening
// width), printed into a PDF without any window. The input is a djlx "0"
// request (as posted or as plain JSON; its `data` packet and `title`) or a
// bare packet file. Status 2 and no file for input that does not read, a
// request of another document type, a packet that does not load and
// failures while printing.
int runList(std::span<const std::string_view> args)
{
    if (args.size() != 3 && args.size() != 5)
        return usageError();
    if (args[1] != "--pdf" || (args.size() == 5 && args[3] != "--title"))
        return usageError();
    const std::string path(args[0]);
    const std::string pdfPath(args[2]);
    std::optional<std::string> title;
    if (args.size() == 5)
        title = std::string(args[4]);

    ListInput input;
    try {
        input = readListInput(path);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool list: %s: %s\n", path.c_str(), e.what());
        return 2;
    }

    datapacket::DataPacketTable table(FormatSettings::fromSystemLocale());
    try {
        table.load(std::move(input.packet));
    } catch (const datapacket::PacketError &e) {
        std::fprintf(stderr, "tallytool list: %s: 格式不正确 (%s)\n", path.c_str(), e.what());
        return 2;
    }

    printing::TSimpleBill bill;
    bill.SetName("SimpleBill");
    bill.SetHostName("Gridora");
    printing::ApplyListReportDesign(bill);
    bill.Title().SetCaption(title ? *title : input.title);
    printing::ConfigureListReport(bill, table, printing::DefaultListColumns(table));

    const auto app = makeGuiApplication();
    try {
        printing::QtPrinter printer(
            printing::OutputTarget::pdfFile(QString::fromStdString(pdfPath)));
        printing::PrintContext context;
        context.printer = &printer;
        bill.SetPrintContext(context);
        bill.Print(false);
        std::printf("%s: list report, %zu row(s), %d column(s), %d page(s), %d rows per page\n",
                    pdfPath.c_str(), table.recordCount(), bill.ColCount(), bill.GetPageCount(),
                    bill.PageRows());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool list: %s: %s\n", path.c_str(), e.what());
        std::remove(pdfPath.c_str());
        return 2;
    }
    return 0;
}

} // namespace tally::tool
