#include "commands.h"
#include "guiapplication.h"
#include "requestfile.h"

#include "base/formatsettings.h"
#include "documents/bounddocument.h"
#include "documents/documentdef.h"
#include "layout/tbill.h"
#include "printing/printcontext.h"
#include "printing/qt/outputtarget.h"
#include "printing/qt/qtprinter.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

namespace tally::tool {

namespace {

int usageError()
{
    std::fputs("usage: tallytool render REQUEST --pdf OUT.pdf\n", stderr);
    return 1;
}

} // namespace

// render REQUEST --pdf OUT.pdf: the document of a print request, built by the
// same form logic as the service's windows (load, body rows, variable texts)
// and printed into a PDF file. A preview request is printed as well: there is
// no window to preview in. Status 2 and no file for a request that opens no
// document, packets that do not load (格式不正确) and failures while printing.
int runRender(std::span<const std::string_view> args)
{
    if (args.size() != 3 || args[1] != "--pdf")
        return usageError();
    const std::string path(args[0]);
    const std::string pdfPath(args[2]);

    service::RequestJson request;
    try {
        request = readRequestFile(path);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool render: %s: %s\n", path.c_str(), e.what());
        return 2;
    }
    const documents::DocumentDef *def = documents::findDocument(request.djlx);
    if (!def) {
        std::fprintf(stderr, "tallytool render: %s: djlx \"%s\" opens no document\n", path.c_str(),
                     request.djlx.c_str());
        return 2;
    }
    const auto app = makeGuiApplication();
    try {
        printing::QtPrinter printer(
            printing::OutputTarget::pdfFile(QString::fromStdString(pdfPath)));
        printing::PrintContext context;
        context.printer = &printer;
        documents::BoundDocument document(*def,
                                          {request.title, "0", request.mainData, request.itemData},
                                          FormatSettings::fromSystemLocale(), context);
        std::string message;
        const auto outcome =
            document.create([&message](std::string_view m) { message = std::string(m); });
        if (outcome == documents::DocumentForm::Outcome::BadFormat) {
            std::fprintf(stderr, "tallytool render: %s: %s (%s)\n", path.c_str(), message.c_str(),
                         document.form().loadError().c_str());
            return 2;
        }
        std::printf("%s: %s, %d page(s), %d body rows per page\n", pdfPath.c_str(),
                    std::string(def->className).c_str(), document.bill().GetPageCount(),
                    document.bill().RowCountBody());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool render: %s: %s\n", path.c_str(), e.what());
        std::remove(pdfPath.c_str());
        return 2;
    }
    return 0;
}

} // namespace tally::tool
