#pragma once

#include <cstddef>
#include <map>
#include <vector>

namespace tally::datapacket {
class DataPacketTable;
}

namespace tally::layout {

// Running sums of numeric fields of one table, kept for the length of one
// output run so that running and total sums on every page do not read the
// table from its first record again. Each prefix is added in record order
// from 0.0, so a cached sum equals the sum read record by record bit for
// bit. The cache drops itself when the table or its record count changes.
class BillSumCache
{
public:
    // Forgets every sum.
    void Clear();

    // The sum of the first `count` records (clamped to the record count) of
    // field `field` of table, read with asFloat. Moves the table's current
    // record while it extends the cache; read errors propagate.
    double PrefixSum(const datapacket::DataPacketTable &table, int field, std::size_t count);

private:
    const datapacket::DataPacketTable *m_table = nullptr;
    std::size_t m_recordCount = 0;
    std::map<int, std::vector<double>> m_prefix; // field -> sums of 0..n records
};

} // namespace tally::layout
