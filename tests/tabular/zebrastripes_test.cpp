#include "tabular/zebrastripes.h"

#include <gtest/gtest.h>

#include <string>

namespace tally::tabular {
namespace {

// The striped rows among the first nine visible rows, as a pattern of
// '#' (striped) and '.'.
std::string pattern(const ZebraStripes &stripes)
{
    std::string out;
    for (int row = 0; row < 9; ++row)
        out += stripes.IsStriped(row) ? '#' : '.';
    return out;
}

TEST(ZebraStripesTest, PeriodAndSwitchDecideTheStripedRows)
{
    struct Case
    {
        const char *name;
        bool zebra;
        int rows; // 0: leave the initial period
        const char *expected;
    };
    for (const Case &c : {
             Case{"off stripes nothing", false, 3, "........."},
             Case{"initial period 2", true, 0, ".#.#.#.#."},
             Case{"period 3 stripes every third", true, 3, "..#..#..#"},
             Case{"period 1 is ignored", true, 1, ".#.#.#.#."},
             Case{"negative period is ignored", true, -4, ".#.#.#.#."},
         }) {
        SCOPED_TRACE(c.name);
        ZebraStripes stripes;
        stripes.SetZebra(c.zebra);
        if (c.rows != 0)
            stripes.SetZebraRows(c.rows);
        EXPECT_EQ(pattern(stripes), c.expected);
    }
}

// Only a real change repaints the grid.
TEST(ZebraStripesTest, SettersReportChanges)
{
    ZebraStripes stripes;
    EXPECT_TRUE(stripes.SetZebra(true));
    EXPECT_FALSE(stripes.SetZebra(true));
    EXPECT_FALSE(stripes.SetZebraRows(2));
    EXPECT_FALSE(stripes.SetZebraRows(1));
    EXPECT_TRUE(stripes.SetZebraRows(3));
    EXPECT_EQ(stripes.ZebraRows(), 3);
}

} // namespace
} // namespace tally::tabular
