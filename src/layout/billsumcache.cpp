#include "layout/billsumcache.h"

#include "datapacket/datapackettable.h"

#include <algorithm>

namespace tally::layout {

void BillSumCache::Clear()
{
    m_table = nullptr;
    m_recordCount = 0;
    m_prefix.clear();
}

double BillSumCache::PrefixSum(const datapacket::DataPacketTable &table, int field,
                               std::size_t count)
{
    const std::size_t records = table.recordCount();
    if (&table != m_table || records != m_recordCount) {
        Clear();
        m_table = &table;
        m_recordCount = records;
    }
    count = std::min(count, records);
    std::vector<double> &prefix = m_prefix[field];
    if (prefix.empty())
        prefix.push_back(0.0);
    if (prefix.size() <= count) {
        const datapacket::PacketField &f = table.field(field);
        while (prefix.size() <= count)
            prefix.push_back(prefix.back() + f.at(prefix.size() - 1).asFloat());
    }
    return prefix[count];
}

} // namespace tally::layout
