#pragma once

#include "documents/documentform.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace tally::documents {

// One document type as the service offers it: its request code and how its
// window opens for a request.
struct DocumentWindowType
{
    std::string djlx;
    // Builds the TPrintDocument of one request, owned by the caller.
    std::function<std::unique_ptr<QWidget>(DocumentRequest request, QWidget *owner)> open;
};

// The ten document types, each opening its TPrintDocument window; `log`
// receives the windows' activity-log lines (such as where a PDF went). The
// program plugs them into the service's dispatch table.
std::vector<DocumentWindowType> documentWindowTypes(std::function<void(const std::string &)> log);

} // namespace tally::documents
