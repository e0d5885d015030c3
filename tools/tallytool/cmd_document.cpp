#include "commands.h"
#include "requestfile.h"

#include "base/formatsettings.h"
#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "layout/builtin/builtinlayouts.h"
#include "layout/tbilllayout.h"

#include <cstdio>
#include <string>

namespace tally::tool {

namespace {

void print(const std::string &line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

// document REQUEST: loads a print request's packets into its document and
// prints what the document would show: its window, pages and the text of
// every variable item of its layout on every page.
int runDocument(std::span<const std::string_view> args)
{
    if (args.size() != 1) {
        std::fputs("usage: tallytool document REQUEST\n", stderr);
        return 1;
    }
    const std::string path(args[0]);
    service::RequestJson request;
    try {
        request = readRequestFile(path);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tallytool document: %s: %s\n", path.c_str(), e.what());
        return 2;
    }
    const documents::DocumentDef *def = documents::findDocument(request.djlx);
    if (!def) {
        std::fprintf(stderr, "tallytool document: %s: djlx \"%s\" opens no document\n",
                     path.c_str(), request.djlx.c_str());
        return 2;
    }
    documents::DocumentForm form(*def,
                                 {request.title, request.prev, request.mainData, request.itemData},
                                 FormatSettings::fromSystemLocale());
    print("document: " + std::string(def->className) + " (" + std::string(def->caption) + ")");
    if (!form.load()) {
        std::fprintf(stderr, "tallytool document: %s: %s (%s)\n", path.c_str(),
                     std::string(documents::DocumentForm::kBadFormatMessage).c_str(),
                     form.loadError().c_str());
        return 2;
    }
    print("output: " + std::string(form.wantsPreview() ? "preview" : "print"));
    print("items: " + std::to_string(form.itemCount()) + ", body rows " +
          std::to_string(form.bodyRowCount()) + ", pages " + std::to_string(form.pageCount()));

    const auto layout = builtin::loadBuiltinLayout(def->layoutName);
    int failures = 0;
    for (int page = 1; page <= form.pageCount(); ++page)
        for (const auto *items : {&layout->TopFooters(), &layout->BottomFooters()})
            for (const auto &item : *items) {
                if (item.FixedText())
                    continue;
                std::string line = std::to_string(page) + '\t' + item.Text() + '\t';
                try {
                    line += form.footerText(page, form.pageCount(), item.Text());
                } catch (const std::exception &e) {
                    line += std::string("FAILS: ") + e.what();
                    ++failures;
                }
                print(line);
            }
    return failures == 0 ? 0 : 2;
}

} // namespace tally::tool
