#pragma once

#include <string>

namespace tally::service {

// What a document window gets from one print request (UTF-8 texts).
struct LaunchRequest
{
    std::string djlx;
    std::string title;
    std::string prev;     // "1" asks for a preview
    std::string mainData; // header packet; empty for the generic list
    std::string itemData; // item packet; empty for the generic list
    std::string data;     // list packet; only for the generic list ("0")
};

// Opens the target window of one document type for one request and returns
// only when the user has closed it. Called on a connection thread, possibly by
// several threads at once. An exception thrown here means the window failed
// while being built, printed or shown; the intake logs it and carries on.
class Launcher
{
public:
    virtual ~Launcher() = default;

    // Shows the window for `request` and blocks until it is closed.
    virtual void launch(const LaunchRequest &request) = 0;
};

} // namespace tally::service
