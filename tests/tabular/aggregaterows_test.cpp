#include "tabular/aggregaterows.h"

#include <gtest/gtest.h>

#include <vector>

namespace tally::tabular {
namespace {

// A table of `records` rows whose last rows are aggregates of `kinds`.
class FakeAggregates : public AggregateRows
{
public:
    FakeAggregates(long long records, std::vector<Kind> kinds, long long current = 1)
        : m_records(records), m_kinds(std::move(kinds)), m_current(current)
    {
    }
    long long RecordCount() const override { return m_records; }
    long long RecordNumber() const override { return m_current; }
    int AggregateCount() const override { return static_cast<int>(m_kinds.size()); }
    Kind AggregateKind(int i) const override { return m_kinds.at(static_cast<std::size_t>(i - 1)); }

private:
    long long m_records;
    std::vector<Kind> m_kinds;
    long long m_current;
};

using Kind = AggregateRows::Kind;

// Ten records whose last two are a MAX and a SUM row: the indicator counts
// 1 to 8, then names the two aggregates.
TEST(AggregateRowsTest, LabelsNumberRecordsAndNameAggregates)
{
    const FakeAggregates table(10, {Kind::Max, Kind::Sum}, 9);
    struct Case
    {
        long long n;
        const char *label;
        bool aggregate;
    };
    for (const Case &c : {
             Case{1, "1", false}, Case{8, "8", false}, Case{9, "最大值", true},
             Case{10, "合计", true}, Case{11, "", true},
             Case{-1, "最大值", true}, // the current record
         }) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(AggregateRowLabel(table, c.n), c.label);
        EXPECT_EQ(IsAggregateRow(table, c.n), c.aggregate);
    }
}

TEST(AggregateRowsTest, EachKindHasItsLabel)
{
    const FakeAggregates table(4, {Kind::Sum, Kind::Max, Kind::Min, Kind::Avg});
    EXPECT_EQ(AggregateRowLabel(table, 1), "合计");
    EXPECT_EQ(AggregateRowLabel(table, 2), "最大值");
    EXPECT_EQ(AggregateRowLabel(table, 3), "最小值");
    EXPECT_EQ(AggregateRowLabel(table, 4), "平均值");
}

TEST(AggregateRowsTest, WithoutAggregatesEveryRecordIsANumber)
{
    const FakeAggregates table(3, {}, 2);
    EXPECT_EQ(AggregateRowLabel(table, 3), "3");
    EXPECT_EQ(AggregateRowLabel(table, -1), "2");
    EXPECT_FALSE(IsAggregateRow(table, 3));
}

} // namespace
} // namespace tally::tabular
