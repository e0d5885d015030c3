#include "printing/penlines.h"

#include <gtest/gtest.h>

using tally::printing::PenLines;
using tally::printing::Point;

namespace {

// Below and beyond the count where the lines move into a hash set, a line
// already there (either way round) is dropped and every other one is kept,
// in the order drawn.
TEST(PenLines, EachLineOnceAcrossTheHashSetThreshold)
{
    for (const int count : {3, 31, 32, 33, 200}) {
        PenLines lines;
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(lines.add({i, 0}, {i, 10})) << count << " lines, line " << i;
        for (int i = 0; i < count; ++i) {
            EXPECT_FALSE(lines.add({i, 0}, {i, 10})) << count << " lines, line " << i;
            EXPECT_FALSE(lines.add({i, 10}, {i, 0})) << count << " lines, line " << i;
        }
        EXPECT_TRUE(lines.add({0, 0}, {0, 11})) << count; // shares one end only
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
        EXPECT_EQ(lines.lines()[1].from, (Point{1, 0}));
        EXPECT_EQ(lines.lines().back().to, (Point{0, 11}));

        lines.clear();
        EXPECT_TRUE(lines.empty());
        EXPECT_TRUE(lines.add({0, 0}, {0, 10})) << "a cleared set forgets its lines";
    }
}

TEST(PenLines, AddAgainKeepsTheRepeatAndStillCountsTheLine)
{
    PenLines lines;
    for (int i = 0; i < 40; ++i)
        lines.add({i, 0}, {i, 10});
    lines.addAgain({0, 0}, {0, 10});
    lines.addAgain({-1, 0}, {-1, 10});
    EXPECT_EQ(lines.size(), 42u);
    EXPECT_FALSE(lines.add({-1, 10}, {-1, 0}));
}

} // namespace
