#include "layout/builtin/layoutsource.h"

#include <numeric>

namespace tally::builtin {

std::vector<int> LayoutSource::gridRows() const
{
    std::vector<int> rows;
    rows.reserve(2 + headRows.size() + bodyRows.size() + tailRows.size());
    rows.push_back(topAreaHeight);
    rows.insert(rows.end(), headRows.begin(), headRows.end());
    rows.insert(rows.end(), bodyRows.begin(), bodyRows.end());
    rows.insert(rows.end(), tailRows.begin(), tailRows.end());
    rows.push_back(bottomAreaHeight);
    return rows;
}

int LayoutSource::gridWidth() const
{
    return std::accumulate(columns.begin(), columns.end(), 0) + static_cast<int>(columns.size());
}

int LayoutSource::gridHeight() const
{
    const std::vector<int> rows = gridRows();
    return std::accumulate(rows.begin(), rows.end(), 0) + static_cast<int>(rows.size());
}

std::vector<int> LayoutSource::fieldMap() const
{
    // Columns of one merged template share a field; the next template takes the next one.
    std::vector<int> map;
    int field = 0;
    for (const BodyColumn &column : bodyColumns) {
        for (int c = column.first; c <= column.last; ++c)
            map.push_back(field);
        ++field;
    }
    return map;
}

} // namespace tally::builtin
