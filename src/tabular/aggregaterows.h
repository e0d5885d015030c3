#pragma once

#include <string>
#include <string_view>

namespace tally::tabular {

// The aggregate a query dataset appends as a row after its records. The
// numbers are the kinds' bits in a query's set of aggregates.
enum class AggregateKind
{
    Sum = 1,
    Max = 2,
    Min = 4,
    Avg = 8,
};

// The indicator label of an aggregate row: "合计", "最大值", "最小值", "平均值".
std::string_view aggregateLabel(AggregateKind kind);

// What a grid needs of a table that ends in aggregate rows (a query dataset
// that appends the SUM, MAX, MIN or AVG of chosen columns after its
// records). A plain data packet table has none and offers no such view.
class AggregateRows
{
public:
    using Kind = tabular::AggregateKind;

    virtual ~AggregateRows() = default;

    // All rows, the aggregate rows included.
    virtual long long RecordCount() const = 0;
    // 1-based number of the current row; 0 without rows.
    virtual long long RecordNumber() const = 0;
    // How many of the last rows are aggregate rows.
    virtual int AggregateCount() const = 0;
    // Kind of aggregate row `i` (1 for the first of them).
    virtual Kind AggregateKind(int i) const = 0;
};

// The indicator text of record `n` (1-based; negative: the current record):
// its number, or for an aggregate row its label ("合计", "最大值", "最小值",
// "平均值"); empty beyond the last record.
std::string AggregateRowLabel(const AggregateRows &table, long long n);

// Whether record `n` (negative: the current record) is one of the trailing
// aggregate rows.
bool IsAggregateRow(const AggregateRows &table, long long n);

} // namespace tally::tabular
