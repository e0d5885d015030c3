#include "tabular/qt/listwindows.h"

#include "service/tmainform.h"

namespace tally::tabular {

std::unique_ptr<TGridora> ShowGridora(QWidget *owner, std::string title, std::string prev,
                                      std::string packet, TGridora::LogSink log)
{
    return std::make_unique<TGridora>(std::move(title), std::move(prev), std::move(packet), owner,
                                      std::move(log));
}

void registerListWindow(service::TMainForm &mainForm)
{
    mainForm.registerWindow(
        "0", [&mainForm](const service::LaunchRequest &request, QWidget *owner) {
            return ShowGridora(owner, request.title, request.prev, request.data,
                               [&mainForm](const std::string &line) { mainForm.AddLog(line); });
        });
}

} // namespace tally::tabular
