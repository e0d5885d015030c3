#pragma once

#include "tabular/chartcall.h"

namespace tally::tabular {

// What the chart tab draws on: it receives the tab's calls one by one, in
// order. An adapter plays them on a charting component; a recording chart
// keeps them for tests and the tool.
class ChartTarget
{
public:
    virtual ~ChartTarget() = default;
    virtual void play(const ChartCall &call) = 0;
};

} // namespace tally::tabular
