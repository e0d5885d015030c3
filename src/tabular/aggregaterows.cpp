#include "tabular/aggregaterows.h"

namespace tally::tabular {

namespace {

const char *kindLabel(AggregateRows::Kind kind)
{
    switch (kind) {
    case AggregateRows::Kind::Sum:
        return "合计";
    case AggregateRows::Kind::Max:
        return "最大值";
    case AggregateRows::Kind::Min:
        return "最小值";
    case AggregateRows::Kind::Avg:
        return "平均值";
    }
    return ""; // a kind no query makes
}

} // namespace

std::string AggregateRowLabel(const AggregateRows &table, long long n)
{
    const long long records = table.RecordCount();
    if (n < 0)
        n = table.RecordNumber();
    if (n > records)
        return {};
    const long long firstAggregate = records - table.AggregateCount();
    if (n > firstAggregate)
        return kindLabel(table.AggregateKind(static_cast<int>(n - firstAggregate)));
    return std::to_string(n);
}

bool IsAggregateRow(const AggregateRows &table, long long n)
{
    if (n < 0)
        n = table.RecordNumber();
    return n > table.RecordCount() - table.AggregateCount();
}

} // namespace tally::tabular
