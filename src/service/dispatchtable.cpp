#include "service/dispatchtable.h"

#include "service/launcher.h"

namespace tally::service {

const std::vector<DispatchTable::Target> &DispatchTable::knownTargets()
{
    static const std::vector<Target> targets{
        {"0", "TGridora"},       {"1", "TPrintDHD"},   {"2", "TPrintJHD"},     {"3", "TPrintJSD"},
        {"4", "TPrintJSKKD"},    {"5", "TPrintJXJSD"}, {"8", "TprintSPCGBJD"}, {"9", "TprintJJBJD"},
        {"10", "TPrintTHD_SLL"}, {"11", "TPrintTHD"},  {"12", "TPrintDHD_HX"},
    };
    return targets;
}

void DispatchTable::registerLauncher(const std::string &djlx, std::shared_ptr<Launcher> launcher)
{
    const std::lock_guard lock(m_mutex);
    if (launcher)
        m_launchers[djlx] = std::move(launcher);
    else
        m_launchers.erase(djlx);
}

std::shared_ptr<Launcher> DispatchTable::find(std::string_view djlx) const
{
    const std::lock_guard lock(m_mutex);
    const auto it = m_launchers.find(djlx);
    return it == m_launchers.end() ? nullptr : it->second;
}

} // namespace tally::service
