#include "tabular/aggregaterows.h"

namespace tally::tabular {

std::string_view aggregateLabel(AggregateKind kind)
{
    switch (kind) {
    case AggregateKind::Sum:
        return "合计";
    case AggregateKind::Max:
        return "最大值";
    case AggregateKind::Min:
        return "最小值";
    case AggregateKind::Avg:
        return "平均值";
    }
    return {}; // a kind no query makes
}

std::string AggregateRowLabel(const AggregateRows &table, long long n)
{
    const long long records = table.RecordCount();
    if (n < 0)
        n = table.RecordNumber();
    if (n > records)
        return {};
    const long long firstAggregate = records - table.AggregateCount();
    if (n > firstAggregate)
        return std::string(
            aggregateLabel(table.AggregateKind(static_cast<int>(n - firstAggregate))));
    return std::to_string(n);
}

bool IsAggregateRow(const AggregateRows &table, long long n)
{
    if (n < 0)
        n = table.RecordNumber();
    return n > table.RecordCount() - table.AggregateCount();
}

} // namespace tally::tabular
