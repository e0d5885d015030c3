#include "tabular/recordingchart.h"

namespace tally::tabular {

std::vector<std::string> RecordingChart::described() const
{
    std::vector<std::string> out;
    out.reserve(m_calls.size());
    for (const ChartCall &c : m_calls)
        out.push_back(describe(c));
    return out;
}

} // namespace tally::tabular
