#include "tabular/gridtitles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tally::tabular {
namespace {

using Strings = std::vector<std::string>;

TEST(GridTitlesTest, SplitTitleGivesLevelsInOrder)
{
    struct Case
    {
        const char *caption;
        Strings levels;
    };
    for (const Case &c : {
             Case{"数量", {"数量"}},
             Case{"sales|amount", {"sales", "amount"}},
             Case{"a||b", {"a", "", "b"}},
             Case{"", {""}},
             Case{"a|", {"a", ""}},
         }) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(SplitTitle(c.caption), c.levels);
    }
    EXPECT_TRUE(SplitTitle(Strings{"a"}, 1).empty());
    EXPECT_TRUE(SplitTitle(Strings{"a"}, -1).empty());
}

TEST(GridTitlesTest, BandsMergeNeighboursWithTheSameUpperLevels)
{
    struct Case
    {
        const char *name;
        Strings captions;
        int level;
        int column;
        TitleBand band; // first, last, top, bottom for a 40-pixel title row
    };
    for (const Case &c : {
             Case{
                 "upper level spans both", {"sales|quantity", "sales|amount"}, 0, 1, {0, 1, 0, 20}},
             Case{"lower levels stay apart",
                  {"sales|quantity", "sales|amount"},
                  1,
                  0,
                  {0, 0, 20, 40}},
             Case{"different level counts never merge", {"A|B", "A"}, 0, 0, {0, 0, 0, 20}},
             Case{"one level fills the row", {"A|B", "A"}, 0, 1, {1, 1, 0, 40}},
             Case{"the walk stops at a stranger", {"x|1", "y|2", "x|3"}, 0, 2, {2, 2, 0, 20}},
             Case{"walks both ways", {"n", "x|1", "x|2", "x|3", "m"}, 0, 2, {1, 3, 0, 20}},
             Case{"a blank upper level never joins", {"|1", "|2"}, 0, 0, {0, 0, 0, 20}},
             Case{"a blank deeper level joins under a match", {"x|", "x|"}, 1, 0, {0, 1, 20, 40}},
             Case{"a column outside is alone", {"a"}, 0, 3, {3, 3, 0, 40}},
         }) {
        SCOPED_TRACE(c.name);
        const TitleBand band = TitleBandRect(c.captions, c.level, c.column, 40);
        EXPECT_EQ(band.firstColumn, c.band.firstColumn);
        EXPECT_EQ(band.lastColumn, c.band.lastColumn);
        EXPECT_EQ(band.top, c.band.top);
        EXPECT_EQ(band.bottom, c.band.bottom);
    }
}

// Every member of a band draws it, so each must answer the same one.
TEST(GridTitlesTest, EveryMemberAnswersTheSameBand)
{
    const Strings captions{"销售|数量", "销售|金额", "销售|毛利"};
    for (int column = 0; column < 3; ++column) {
        const TitleBand band = TitleBandRect(captions, 0, column, 34);
        EXPECT_EQ(band.firstColumn, 0);
        EXPECT_EQ(band.lastColumn, 2);
    }
}

TEST(GridTitlesTest, TitleRowHeightFollowsTheDeepestTitle)
{
    EXPECT_EQ(TitleRowHeight({"a", "b"}, 13, 2), 18);
    EXPECT_EQ(TitleRowHeight({"sales|quantity", "sales|amount"}, 13, 2), 36);
    EXPECT_EQ(TitleRowHeight({"a", "x|y|z"}, 13, 2), 54);
    EXPECT_EQ(TitleRowHeight({}, 13, 2), 18);
}

} // namespace
} // namespace tally::tabular
