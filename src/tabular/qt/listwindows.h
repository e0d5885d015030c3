#pragma once

#include "tabular/qt/tgridora.h"

#include <memory>
#include <string>

namespace tally::tabular {

// Builds the list window of one request with `owner` as its owner: the
// title, the print button's preview flag and the packet (UTF-8). The caller
// shows it; the request ends when it is closed. A packet that does not load
// gives the empty window with "格式不正确".
std::unique_ptr<TGridora> ShowGridora(QWidget *owner, std::string title, std::string prev,
                                      std::string packet, TGridora::LogSink log = {});

} // namespace tally::tabular
