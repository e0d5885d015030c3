#pragma once

#include "tabular/chartcall.h"
#include "tabular/charttarget.h"

#include <string>
#include <vector>

namespace tally::tabular {

// Keeps every call it receives, in order.
class RecordingChart : public ChartTarget
{
public:
    void play(const ChartCall &call) override { m_calls.push_back(call); }

    const std::vector<ChartCall> &calls() const { return m_calls; }
    // The calls as describe() gives them.
    std::vector<std::string> described() const;
    void clear() { m_calls.clear(); }

private:
    std::vector<ChartCall> m_calls;
};

} // namespace tally::tabular
