#include "tabular/charttab.h"

#include "datapacket/datapackettable.h"
#include "datapacket/fieldcell.h"
#include "datapacket/packetfield.h"
#include "tabular/charttarget.h"

#include <algorithm>
#include <cmath>

namespace tally::tabular {

using datapacket::DataPacketTable;
using datapacket::FieldKind;
using datapacket::PacketField;

namespace {

// Views bound to the table stop updating while the drawing runs, and start
// again however it ends.
class DisplaySuspension
{
public:
    explicit DisplaySuspension(DataPacketTable &table) : m_table(table)
    {
        m_table.suspendDisplay();
    }
    ~DisplaySuspension() { m_table.resumeDisplay(); }
    DisplaySuspension(const DisplaySuspension &) = delete;
    DisplaySuspension &operator=(const DisplaySuspension &) = delete;

private:
    DataPacketTable &m_table;
};

void offer(std::vector<int> &list, int field)
{
    if (list.size() < ChartTab::kMaxFields)
        list.push_back(field);
}

} // namespace

ChartTab::FieldUse ChartTab::fieldUse(const PacketField &field)
{
    switch (field.kind()) {
    case FieldKind::Text:
    case FieldKind::WideText:
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        return FieldUse::Label;
    // 8-bit and unsigned 32-bit integers chart like the other integers; only
    // 64-bit ones stay out, as large integers.
    case FieldKind::Int8:
    case FieldKind::UInt8:
    case FieldKind::Int16:
    case FieldKind::UInt16:
    case FieldKind::Int32:
    case FieldKind::UInt32:
        return FieldUse::Number;
    case FieldKind::Float:
        return field.isCurrency() ? FieldUse::Money : FieldUse::Number;
    default:
        return FieldUse::None;
    }
}

ChartTab::ChartTab(DataPacketTable &table) : m_table(table) {}

void ChartTab::PageControl1Change()
{
    m_xEntries.clear();
    m_xChoice = -1;
    m_xFields.clear();
    m_moneyFields.clear();
    m_valueFields.clear();
    for (int i = 0; i < m_table.fieldCount(); ++i) {
        const PacketField &f = m_table.field(i);
        if (!f.isVisible())
            continue;
        switch (fieldUse(f)) {
        case FieldUse::Label:
            if (m_xFields.size() < kMaxFields) {
                m_xFields.push_back(i);
                m_xEntries.push_back(f.displayLabel());
            }
            offer(m_valueFields, i);
            break;
        case FieldUse::Number:
            offer(m_valueFields, i);
            break;
        case FieldUse::Money:
            offer(m_moneyFields, i);
            break;
        case FieldUse::None:
            break;
        }
    }
    // The mode is set before the window switches its radio button on, so
    // that button's click finds nothing to do.
    m_moneyMode = !m_moneyFields.empty();
    FillYList(m_moneyMode ? m_moneyFields : m_valueFields);
}

void ChartTab::FillYList(const std::vector<int> &fields)
{
    m_showEnabled = false;
    m_yEntries.clear();
    for (int i : fields)
        m_yEntries.push_back(m_table.field(i).displayLabel());
    m_ySelected.assign(m_yEntries.size(), false);
}

void ChartTab::comXFieldClick()
{
    m_showEnabled = m_xChoice >= 0 &&
                    std::find(m_ySelected.begin(), m_ySelected.end(), true) != m_ySelected.end();
}

void ChartTab::rbnMnyTypeClick()
{
    if (m_moneyMode)
        return;
    m_moneyMode = true;
    FillYList(m_moneyFields);
}

void ChartTab::rbnValTypeClick()
{
    if (!m_moneyMode)
        return;
    m_moneyMode = false;
    FillYList(m_valueFields);
}

void ChartTab::chooseX(int entry)
{
    m_xChoice = entry >= 0 && entry < static_cast<int>(m_xEntries.size()) ? entry : -1;
}

bool ChartTab::isYSelected(int entry) const
{
    return entry >= 0 && entry < static_cast<int>(m_ySelected.size()) && m_ySelected[entry];
}

void ChartTab::selectY(int entry, bool selected)
{
    if (entry >= 0 && entry < static_cast<int>(m_ySelected.size()))
        m_ySelected[entry] = selected;
}

bool ChartTab::btnShowClick(ChartTarget &chart, const ShowMessage &showMessage)
{
    m_xField = m_xChoice >= 0 ? m_xFields[m_xChoice] : -1;
    const std::vector<int> &offered = m_moneyMode ? m_moneyFields : m_valueFields;
    m_selectedY.clear();
    for (std::size_t i = 0; i < m_ySelected.size() && i < offered.size(); ++i)
        if (m_ySelected[i])
            m_selectedY.push_back(offered[i]);
    m_yCount = static_cast<int>(m_selectedY.size());
    if (m_xField < 0) {
        showMessage("X轴未选择");
        return false;
    }
    if (m_yCount == 0) {
        showMessage("Y轴未选择");
        return false;
    }

    // Each drawing has its own range: carried over, an earlier drawing of
    // larger values would set the axis maximum of a later, smaller one.
    m_maxValue = kNoMaximum;
    m_minValue = 0;

    // One series, whatever the number of Y fields: the first one is charted.
    const PacketField &y = m_table.field(m_selectedY.front());
    const PacketField &x = m_table.field(m_xField);
    const std::size_t n = m_table.recordCount();
    {
        const DisplaySuspension suspension(m_table);
        chart.play(OpenValues{n});
        for (std::size_t j = 0; j < n; ++j) {
            const double v = y.at(j).asFloat();
            chart.play(PointValue{j, v});
            m_maxValue = std::max(v, m_maxValue);
            m_minValue = std::min(v, m_minValue);
            chart.play(PointLabel{j, x.at(j).asString()});
        }
        chart.play(CloseValues{});
    }

    chart.play(LegendText{0, y.displayLabel()});
    chart.play(TitleText{ChartTitle::ValueAxis, y.displayLabel()});
    chart.play(TitleText{ChartTitle::LabelAxis, x.displayLabel()});
    if (fieldUse(y) == FieldUse::Money) {
        if (m_maxValue > 10000) {
            chart.play(TitleText{ChartTitle::Unit, "万元"});
            chart.play(AxisValue{AxisSetting::Divisor, 10000.0});
        } else {
            chart.play(TitleText{ChartTitle::Unit, "元"});
        }
    }
    if (m_maxValue != 0)
        chart.play(AxisValue{AxisSetting::Maximum, m_maxValue});
    chart.play(SetChartType{ChartType::Bar});
    AdjustChartStep(chart);
    return true;
}

void ChartTab::AdjustChartStep(ChartTarget &chart) const
{
    double d = m_maxValue - m_minValue;
    int m = 0;
    // An infinite range (values near the largest double) would never shrink.
    while (d > 10 && std::isfinite(d)) {
        d /= 10;
        ++m;
    }
    const double c = d > 5 ? 5 : d > 2 ? 2 : 1;
    const double step = m >= 1 ? c * std::pow(10.0, m - 1) : c;
    chart.play(AxisValue{AxisSetting::Step, step});
}

} // namespace tally::tabular
