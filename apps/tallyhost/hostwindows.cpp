#include "tallyhost/hostwindows.h"

#include "documents/qt/documentwindows.h"
#include "service/qt/tmainform.h"
#include "tabular/qt/listwindows.h"

#include <QWidget>

namespace tally::host {

void registerHostWindows(service::TMainForm &mainForm)
{
    const auto log = [&mainForm](const std::string &line) { mainForm.AddLog(line); };
    for (documents::DocumentWindowType &type : documents::documentWindowTypes(log)) {
        mainForm.registerWindow(type.djlx, [open = std::move(type.open)](
                                               const service::LaunchRequest &request,
                                               QWidget *owner) {
            return open({request.title, request.prev, request.mainData, request.itemData}, owner);
        });
    }
    // The generic list reads only the request's `data`.
    mainForm.registerWindow("0", [log](const service::LaunchRequest &request, QWidget *owner) {
        return tabular::ShowGridora(owner, request.title, request.prev, request.data, log);
    });
}

} // namespace tally::host
