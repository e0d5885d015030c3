#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tally::datapacket {
class DataPacketTable;
class PacketField;
} // namespace tally::datapacket

namespace tally::tabular {

class ChartTarget;

// The state and rules of the list window's "图形" tab, without any window:
// which fields the X list and the Y list offer, the money / value mode, when
// "图形显示" is enabled, and the drawing of one value column against one
// label column as calls on a ChartTarget. A window mirrors the lists, the
// choices and the button from here and forwards its clicks.
class ChartTab
{
public:
    // Each list offers at most this many fields; further fields of the same
    // use are not offered.
    static constexpr std::size_t kMaxFields = 256;
    // FMaxValue before anything is drawn: a drawing without rows sends it.
    static constexpr double kNoMaximum = -1e20;

    // How a field may be charted, by its kind.
    enum class FieldUse
    {
        None,
        Label,  // text, date, time, date-time: the X list, and the Y list in value mode
        Number, // small integer, integer, word, float: the Y list in value mode
        Money,  // currency: the Y list in money mode
    };
    static FieldUse fieldUse(const datapacket::PacketField &field);

    // `table` must outlive the tab; the lists stay empty until the first
    // PageControl1Change.
    explicit ChartTab(datapacket::DataPacketTable &table);

    // Rebuilds the X list and both Y field lists from the table's visible
    // fields, in table order, and picks the Y mode (money when there is a
    // money field). Every tab change calls it, so earlier choices are lost.
    void PageControl1Change();
    // Shows `fields` (table field indexes) in the Y list, none selected, and
    // disables "图形显示".
    void FillYList(const std::vector<int> &fields);
    // Enables "图形显示" exactly when an X entry is chosen and at least one Y
    // entry is selected.
    void comXFieldClick();
    // Switch the Y list to money or value fields, unless already in that mode.
    void rbnMnyTypeClick();
    void rbnValTypeClick();

    // Called with "X轴未选择" or "Y轴未选择" when a choice is missing.
    using ShowMessage = std::function<void(std::string_view text)>;
    // Draws the first selected Y field against the chosen X field on
    // `chart`: one series with a value and a label per row, then legend,
    // titles, unit, axis maximum, type and step. False (after showMessage)
    // when a choice is missing. A value that cannot be read as a number
    // throws datapacket::FieldError at its row, after the calls for the rows
    // before it; the table's display updates are resumed in every case.
    bool btnShowClick(ChartTarget &chart, const ShowMessage &showMessage);
    // Sends the step between grid lines for the range FMinValue..FMaxValue.
    void AdjustChartStep(ChartTarget &chart) const;

    // comXField: display labels of the X fields, and the chosen entry (-1: none).
    const std::vector<std::string> &xEntries() const { return m_xEntries; }
    int xChoice() const { return m_xChoice; }
    // Chooses an X entry (-1 or an entry out of range: none).
    void chooseX(int entry);

    // lstYField: display labels of the fields of the current mode, and
    // which entries are selected.
    const std::vector<std::string> &yEntries() const { return m_yEntries; }
    bool isYSelected(int entry) const;
    // Selects or deselects an entry; entries out of range are ignored.
    void selectY(int entry, bool selected);

    // True: the Y list offers money fields ("金额类型"), else value fields ("数值类型").
    bool moneyMode() const { return m_moneyMode; }
    // Whether "图形显示" is enabled.
    bool showEnabled() const { return m_showEnabled; }

    // Table field indexes: of each X entry, and of the money and value fields.
    const std::vector<int> &xFields() const { return m_xFields; }
    const std::vector<int> &moneyFields() const { return m_moneyFields; }
    const std::vector<int> &valueFields() const { return m_valueFields; }

    // Largest and smallest value of the last drawing (FMaxValue, FMinValue).
    double maxValue() const { return m_maxValue; }
    double minValue() const { return m_minValue; }

private:
    datapacket::DataPacketTable &m_table;
    std::vector<int> m_xFields;     // FXFields
    std::vector<int> m_moneyFields; // FMoneyFields
    std::vector<int> m_valueFields; // FValueFields
    std::vector<int> m_selectedY;   // FSelectedY
    int m_xField = -1;              // FXField
    int m_yCount = 0;               // FYCount
    bool m_moneyMode = false;       // FMoneyMode
    double m_maxValue = kNoMaximum; // FMaxValue
    double m_minValue = 0;          // FMinValue

    std::vector<std::string> m_xEntries;
    int m_xChoice = -1;
    std::vector<std::string> m_yEntries;
    std::vector<bool> m_ySelected;
    bool m_showEnabled = false;
};

} // namespace tally::tabular
