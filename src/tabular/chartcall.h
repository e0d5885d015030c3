#pragma once

#include <cstddef>
#include <string>
#include <variant>

namespace tally::tabular {

// The texts of a chart: the unit shown with the value axis, and the titles
// of the value axis and of the label axis.
enum class ChartTitle
{
    Unit,
    ValueAxis,
    LabelAxis,
};

// Settings of the value axis. A divisor scales the values for display.
enum class AxisSetting
{
    Maximum,
    Step,
    Divisor,
};

// The one kind of chart the tab draws.
enum class ChartType
{
    Bar,
};

// Opens the value buffer for one series of `points` points.
struct OpenValues
{
    std::size_t points = 0;
    bool operator==(const OpenValues &) const = default;
};

struct PointValue
{
    std::size_t point = 0;
    double value = 0;
    bool operator==(const PointValue &) const = default;
};

struct PointLabel
{
    std::size_t point = 0;
    std::string text;
    bool operator==(const PointLabel &) const = default;
};

// Closes the value buffer: the chart shows the points given since the open.
struct CloseValues
{
    bool operator==(const CloseValues &) const = default;
};

struct LegendText
{
    int series = 0;
    std::string text;
    bool operator==(const LegendText &) const = default;
};

struct TitleText
{
    ChartTitle title = ChartTitle::Unit;
    std::string text;
    bool operator==(const TitleText &) const = default;
};

struct AxisValue
{
    AxisSetting setting = AxisSetting::Maximum;
    double value = 0;
    bool operator==(const AxisValue &) const = default;
};

struct SetChartType
{
    ChartType type = ChartType::Bar;
    bool operator==(const SetChartType &) const = default;
};

// One call of the chart tab on its chart, in the order the tab makes them.
using ChartCall = std::variant<OpenValues, PointValue, PointLabel, CloseValues, LegendText,
                               TitleText, AxisValue, SetChartType>;

// A one-line text of a call ("open 3", "value 0 12.5", "title unit 万元",
// "axis step 200", ...), numbers in %g form with as many digits as read
// back exactly; for tests and the tool.
std::string describe(const ChartCall &call);

} // namespace tally::tabular
