#include "documents/qt/documentwindows.h"

#include "documents/documentdef.h"
#include "documents/qt/tprintdocument.h"

namespace tally::documents {

std::vector<DocumentWindowType> documentWindowTypes(std::function<void(const std::string &)> log)
{
    std::vector<DocumentWindowType> types;
    for (const DocumentDef &def : documentDefs()) {
        const DocumentDef *document = &def;
        types.push_back(
            {std::string(def.djlx), [document, log](DocumentRequest request, QWidget *owner) {
                 return std::make_unique<TPrintDocument>(*document, std::move(request), owner, log);
             }});
    }
    return types;
}

} // namespace tally::documents
