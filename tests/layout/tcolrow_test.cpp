#include "layout/tcolrow.h"

#include <gtest/gtest.h>

#include <stdexcept>

using tally::layout::TColRow;

namespace {

// Positions must chain: each item starts one pixel after the previous one ends.
void expectChained(const TColRow &list)
{
    int position = 0;
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Position(i), position) << "item " << i;
        EXPECT_EQ(list.EndPosition(i), position + list.Size(i) + 1);
        position = list.EndPosition(i);
    }
}

TEST(TColRowTest, EveryChangeKeepsPositionsChained)
{
    TColRow list;
    list.SetCount(3, 10);
    EXPECT_EQ(list.EndPosition(2), 33);
    expectChained(list);
    EXPECT_EQ(list.Add(5), 3);
    expectChained(list);
    list.Insert(0, 64);
    EXPECT_EQ(list.Position(1), 65);
    expectChained(list);
    list.SetSize(1, 20);
    expectChained(list);
    list.Delete(0);
    EXPECT_EQ(list.Position(0), 0);
    EXPECT_EQ(list.Size(0), 20);
    expectChained(list);
    list.Insert(list.Count(), 7);
    EXPECT_EQ(list.Size(list.Count() - 1), 7);
    expectChained(list);
}

TEST(TColRowTest, IndexErrorsAreTheListsOwn)
{
    TColRow list;
    list.SetCount(2, 10);
    EXPECT_THROW(list.Position(2), std::out_of_range);
    EXPECT_THROW(list.Size(-1), std::out_of_range);
    EXPECT_THROW(list.Insert(3, 1), std::out_of_range);
    EXPECT_THROW(list.Delete(2), std::out_of_range);
    EXPECT_THROW(list.SetSize(5, 1), std::out_of_range);
    EXPECT_EQ(list.Count(), 2);
}

} // namespace
