#include "tabular/charttab.h"

#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "tabular/recordingchart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tally::tabular {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::string packet(const std::string &fields, const std::string &rows)
{
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
           "<FIELDS>" +
           fields + "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

std::string field(const std::string &name, const std::string &type, const std::string &extra = {})
{
    return "<FIELD attrname=\"" + name + "\" fieldtype=\"" + type + "\" " + extra + "/>";
}

std::unique_ptr<datapacket::DataPacketTable> load(const std::string &fields,
                                                  const std::string &rows)
{
    auto table = std::make_unique<datapacket::DataPacketTable>();
    table->load(packet(fields, rows));
    return table;
}

// A label column MC and a money column JE with the given values.
std::unique_ptr<datapacket::DataPacketTable> moneyTable(const std::vector<std::string> &values)
{
    std::string rows;
    for (std::size_t i = 0; i < values.size(); ++i)
        rows += "<ROW MC=\"r" + std::to_string(i) + "\" JE=\"" + values[i] + "\"/>";
    return load(field("MC", "string", "WIDTH=\"10\"") + field("JE", "r8", "SUBTYPE=\"Money\""),
                rows);
}

std::vector<std::string> draw(ChartTab &tab, int x, std::vector<int> ys)
{
    tab.chooseX(x);
    for (int y : ys)
        tab.selectY(y, true);
    RecordingChart chart;
    std::vector<std::string> messages;
    tab.btnShowClick(chart, [&](std::string_view m) { messages.emplace_back(m); });
    EXPECT_THAT(messages, ElementsAre());
    return chart.described();
}

TEST(ChartTab, OffersFieldsByKindInTableOrder)
{
    const auto table =
        load(field("N", "i4") + field("S", "string", "WIDTH=\"4\"") + field("B", "boolean") +
                 field("M", "r8", "SUBTYPE=\"Money\"") + field("D", "date") + field("W", "ui2") +
                 field("L", "i8") + field("F", "r8") + field("T", "time") +
                 field("C", "fixed", "WIDTH=\"10\" DECIMALS=\"2\"") + field("H", "i2") +
                 field("DT", "dateTime") + field("U", "string.uni", "WIDTH=\"4\"") +
                 field("M2", "r8", "SUBTYPE=\"Money\"") + field("X", "bin.hex"),
             "");
    ChartTab tab(*table);
    tab.PageControl1Change();
    EXPECT_THAT(tab.xEntries(), ElementsAre("S", "D", "T", "DT", "U"));
    EXPECT_THAT(tab.xFields(), ElementsAre(1, 4, 8, 11, 12));
    EXPECT_THAT(tab.valueFields(), ElementsAre(0, 1, 4, 5, 7, 8, 10, 11, 12));
    EXPECT_THAT(tab.moneyFields(), ElementsAre(3, 13));
    // A money field exists: money mode, its fields listed, nothing selected.
    EXPECT_TRUE(tab.moneyMode());
    EXPECT_THAT(tab.yEntries(), ElementsAre("M", "M2"));
    EXPECT_FALSE(tab.showEnabled());
}

TEST(ChartTab, ValueModeWithoutMoneyFieldsAndRadioSwitches)
{
    const auto table = load(field("S", "string", "WIDTH=\"4\"") + field("F", "r8"), "");
    ChartTab tab(*table);
    tab.PageControl1Change();
    EXPECT_FALSE(tab.moneyMode());
    EXPECT_THAT(tab.yEntries(), ElementsAre("S", "F"));

    tab.rbnMnyTypeClick();
    EXPECT_TRUE(tab.moneyMode());
    EXPECT_THAT(tab.yEntries(), ElementsAre());
    tab.rbnValTypeClick();
    tab.selectY(1, true);
    // Clicking the mode already shown keeps the list and its selection.
    tab.rbnValTypeClick();
    EXPECT_TRUE(tab.isYSelected(1));
}

TEST(ChartTab, TabChangesRebuildTheListsOnce)
{
    const auto table = load(field("S", "string", "WIDTH=\"4\"") + field("D", "date") +
                                field("M", "r8", "SUBTYPE=\"Money\""),
                            "");
    ChartTab tab(*table);
    for (int change = 0; change < 3; ++change)
        tab.PageControl1Change();
    EXPECT_THAT(tab.xEntries(), ElementsAre("S", "D"));
    EXPECT_THAT(tab.yEntries(), ElementsAre("M"));
}

TEST(ChartTab, ShowIsEnabledOnlyWithAnXAndAY)
{
    const auto table = load(field("S", "string", "WIDTH=\"4\"") + field("F", "r8"), "");
    ChartTab tab(*table);
    tab.PageControl1Change();
    struct Case
    {
        int x;
        bool y;
        bool enabled;
    };
    for (const Case c : {Case{-1, false, false}, Case{0, false, false}, Case{-1, true, false},
                         Case{0, true, true}}) {
        tab.chooseX(c.x);
        tab.selectY(1, c.y);
        tab.comXFieldClick();
        EXPECT_EQ(tab.showEnabled(), c.enabled) << "x " << c.x << " y " << c.y;
    }
    // Refilling the Y list disables the button again.
    tab.rbnMnyTypeClick();
    EXPECT_FALSE(tab.showEnabled());
    // A tab change drops the choices.
    tab.PageControl1Change();
    EXPECT_EQ(tab.xChoice(), -1);
    EXPECT_FALSE(tab.isYSelected(1));
}

TEST(ChartTab, MissingChoicesAreReportedAndNothingIsDrawn)
{
    const auto table =
        load(field("S", "string", "WIDTH=\"4\"") + field("F", "r8"), "<ROW S=\"a\" F=\"1\"/>");
    ChartTab tab(*table);
    tab.PageControl1Change();
    RecordingChart chart;
    std::vector<std::string> messages;
    const auto show = [&](std::string_view m) { messages.emplace_back(m); };
    EXPECT_FALSE(tab.btnShowClick(chart, show));
    tab.selectY(1, true);
    EXPECT_FALSE(tab.btnShowClick(chart, show));
    tab.chooseX(0);
    tab.selectY(1, false);
    EXPECT_FALSE(tab.btnShowClick(chart, show));
    EXPECT_THAT(messages, ElementsAre("X轴未选择", "X轴未选择", "Y轴未选择"));
    EXPECT_TRUE(chart.calls().empty());
}

struct MoneyCase
{
    std::vector<std::string> values;
    std::vector<std::string> tail; // the calls after the legend and axis titles
};

class MoneyDrawing : public ::testing::TestWithParam<MoneyCase>
{
};

TEST_P(MoneyDrawing, UnitDivisorMaximumAndStep)
{
    const MoneyCase &c = GetParam();
    const auto table = moneyTable(c.values);
    ChartTab tab(*table);
    tab.PageControl1Change();
    std::vector<std::string> expected{"open " + std::to_string(c.values.size())};
    for (std::size_t i = 0; i < c.values.size(); ++i) {
        expected.push_back("value " + std::to_string(i) + " " + c.values[i]);
        expected.push_back("label " + std::to_string(i) + " r" + std::to_string(i));
    }
    for (const char *call : {"close", "legend 0 JE", "title value-axis JE", "title label-axis MC"})
        expected.emplace_back(call);
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_THAT(draw(tab, 0, {0}), ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(
    ChartTab, MoneyDrawing,
    ::testing::Values(
        MoneyCase{{"3000", "25000"},
                  {"title unit 万元", "axis divisor 10000", "axis maximum 25000", "type bar",
                   "axis step 2000"}},
        MoneyCase{{"9000", "120.5"},
                  {"title unit 元", "axis maximum 9000", "type bar", "axis step 500"}},
        // Exactly 10000 is not more than 10000.
        MoneyCase{{"10000"}, {"title unit 元", "axis maximum 10000", "type bar", "axis step 500"}},
        // Only a negative value: it is both maximum and minimum.
        MoneyCase{{"-40"}, {"title unit 元", "axis maximum -40", "type bar", "axis step 1"}},
        // Nothing but zeros sends no maximum.
        MoneyCase{{"0"}, {"title unit 元", "type bar", "axis step 1"}},
        // No rows: nothing plotted, the initial maximum is sent.
        MoneyCase{{}, {"title unit 元", "axis maximum -1e+20", "type bar", "axis step 1"}}));

TEST(ChartTab, StepBetweenGridLines)
{
    struct Case
    {
        const char *maximum;
        const char *step;
    };
    for (const Case c :
         {Case{"3500", "200"}, Case{"100", "5"}, Case{"11", "1"}, Case{"10", "5"}, Case{"4", "2"},
          Case{"0", "1"}, Case{"0.5", "1"}, Case{"60", "5"}, Case{"2000000", "100000"}}) {
        const auto table = load(field("S", "string", "WIDTH=\"4\"") + field("F", "r8"),
                                std::string("<ROW S=\"a\" F=\"") + c.maximum + "\"/>");
        ChartTab tab(*table);
        tab.PageControl1Change();
        const auto calls = draw(tab, 0, {1});
        EXPECT_EQ(calls.back(), std::string("axis step ") + c.step) << c.maximum;
    }
}

TEST(ChartTab, ThreeYFieldsChartTheFirstInListOrder)
{
    const auto table = load(field("S", "string", "WIDTH=\"4\"") + field("A", "i4") +
                                field("B", "r8") + field("C", "i2"),
                            "<ROW S=\"x\" A=\"1\" B=\"2\" C=\"3\"/>");
    table->field(1).setDisplayLabel("数量");
    ChartTab tab(*table);
    tab.PageControl1Change();
    // Entries S, A, B, C, selected last to first: A is the first in list order.
    EXPECT_THAT(draw(tab, 0, {3, 2, 1}),
                ElementsAre("open 1", "value 0 1", "label 0 x", "close", "legend 0 数量",
                            "title value-axis 数量", "title label-axis S", "axis maximum 1",
                            "type bar", "axis step 1"));
}

TEST(ChartTab, EachDrawingHasItsOwnRange)
{
    const auto table =
        load(field("S", "string", "WIDTH=\"4\"") + field("BIG", "r8") + field("SMALL", "r8"),
             "<ROW S=\"a\" BIG=\"3500\" SMALL=\"4\"/>");
    ChartTab tab(*table);
    tab.PageControl1Change();
    draw(tab, 0, {1});
    tab.selectY(1, false);
    const auto calls = draw(tab, 0, {2});
    EXPECT_THAT(std::vector(calls.end() - 3, calls.end()),
                ElementsAre("axis maximum 4", "type bar", "axis step 2"));
    EXPECT_EQ(tab.maxValue(), 4);
}

TEST(ChartTab, ValueThatIsNoNumberStopsAtItsRow)
{
    const auto table =
        load(field("S", "string", "WIDTH=\"8\"") + field("T", "string", "WIDTH=\"8\""),
             "<ROW S=\"a\" T=\"1.5\"/><ROW S=\"b\" T=\"abc\"/><ROW S=\"c\" T=\"2\"/>");
    ChartTab tab(*table);
    tab.PageControl1Change();
    tab.chooseX(0);
    tab.selectY(1, true);
    bool suspended = false;
    table->setDisplayObserver([&](bool s) { suspended = s; });
    RecordingChart chart;
    EXPECT_THROW(tab.btnShowClick(chart, [](std::string_view) {}), datapacket::FieldError);
    EXPECT_THAT(chart.described(), ElementsAre("open 3", "value 0 1.5", "label 0 a"));
    EXPECT_FALSE(table->displaySuspended());
    EXPECT_FALSE(suspended);
    // The drawing read by position: the current row did not move.
    EXPECT_EQ(table->recordNumber(), 1u);
}

TEST(ChartTab, ListsStopAt256Fields)
{
    std::string fields;
    for (int i = 0; i < 300; ++i)
        fields += field("S" + std::to_string(i), "string", "WIDTH=\"2\"");
    for (int i = 0; i < 260; ++i)
        fields += field("M" + std::to_string(i), "r8", "SUBTYPE=\"Money\"");
    const auto table = load(fields, "");
    ChartTab tab(*table);
    tab.PageControl1Change();
    ASSERT_EQ(tab.xEntries().size(), 256u);
    EXPECT_EQ(tab.xEntries().back(), "S255");
    EXPECT_EQ(tab.valueFields().size(), 256u);
    ASSERT_EQ(tab.yEntries().size(), 256u);
    EXPECT_EQ(tab.yEntries().back(), "M255");
}

} // namespace
} // namespace tally::tabular
