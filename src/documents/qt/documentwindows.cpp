#include "documents/qt/documentwindows.h"

#include "documents/documentdef.h"
#include "documents/qt/tprintdocument.h"
#include "service/tmainform.h"

namespace tally::documents {

void registerDocumentWindows(service::TMainForm &mainForm)
{
    for (const DocumentDef &def : documentDefs()) {
        const DocumentDef *document = &def;
        mainForm.registerWindow(
            std::string(def.djlx),
            [document, &mainForm](const service::LaunchRequest &request, QWidget *owner) {
                return std::make_unique<TPrintDocument>(
                    *document,
                    DocumentRequest{request.title, request.prev, request.mainData,
                                    request.itemData},
                    owner, [&mainForm](const std::string &line) { mainForm.AddLog(line); });
            });
    }
}

} // namespace tally::documents
