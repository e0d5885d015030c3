#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tally::service {

class Launcher;

// Maps document type codes (djlx) to the launchers of their windows. Codes are
// compared exactly, without trimming. A code with no launcher opens nothing.
// Thread-safe: launchers may be registered while requests are served.
class DispatchTable
{
public:
    // One document type the service knows, with the window class it opens.
    struct Target
    {
        std::string_view djlx;
        std::string_view windowClass;
    };

    // The document types a request may name, in table order.
    static const std::vector<Target> &knownTargets();

    // Makes `launcher` the target of `djlx`, replacing any earlier one. The
    // table shares ownership; a null launcher removes the entry.
    void registerLauncher(const std::string &djlx, std::shared_ptr<Launcher> launcher);

    // The launcher of `djlx`, or null when the code opens nothing.
    std::shared_ptr<Launcher> find(std::string_view djlx) const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<Launcher>, std::less<>> m_launchers;
};

} // namespace tally::service
