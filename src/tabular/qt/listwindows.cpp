#include "tabular/qt/listwindows.h"

namespace tally::tabular {

std::unique_ptr<TGridora> ShowGridora(QWidget *owner, std::string title, std::string prev,
                                      std::string packet, TGridora::LogSink log)
{
    return std::make_unique<TGridora>(std::move(title), std::move(prev), std::move(packet), owner,
                                      std::move(log));
}

} // namespace tally::tabular
