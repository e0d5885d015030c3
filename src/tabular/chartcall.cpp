#include "tabular/chartcall.h"

#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace tally::tabular {

namespace {

// The fewest significant digits (from 15) that read back as the same
// double: 100000 stays "100000", unlike the shortest form "1e+05".
std::string number(double v)
{
    char buf[40];
    for (int digits = 15;; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (digits == 17 || std::strtod(buf, nullptr) == v)
            return buf;
    }
}

const char *titleName(ChartTitle t)
{
    switch (t) {
    case ChartTitle::Unit:
        return "unit";
    case ChartTitle::ValueAxis:
        return "value-axis";
    case ChartTitle::LabelAxis:
        return "label-axis";
    }
    return "?";
}

const char *settingName(AxisSetting s)
{
    switch (s) {
    case AxisSetting::Maximum:
        return "maximum";
    case AxisSetting::Step:
        return "step";
    case AxisSetting::Divisor:
        return "divisor";
    }
    return "?";
}

} // namespace

std::string describe(const ChartCall &call)
{
    return std::visit(
        [](const auto &c) -> std::string {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, OpenValues>)
                return "open " + std::to_string(c.points);
            else if constexpr (std::is_same_v<T, PointValue>)
                return "value " + std::to_string(c.point) + " " + number(c.value);
            else if constexpr (std::is_same_v<T, PointLabel>)
                return "label " + std::to_string(c.point) + " " + c.text;
            else if constexpr (std::is_same_v<T, CloseValues>)
                return "close";
            else if constexpr (std::is_same_v<T, LegendText>)
                return "legend " + std::to_string(c.series) + " " + c.text;
            else if constexpr (std::is_same_v<T, TitleText>)
                return std::string("title ") + titleName(c.title) + " " + c.text;
            else if constexpr (std::is_same_v<T, AxisValue>)
                return std::string("axis ") + settingName(c.setting) + " " + number(c.value);
            else
                return "type bar";
        },
        call);
}

} // namespace tally::tabular
