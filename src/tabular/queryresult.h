#pragma once

#include "base/currency.h"
#include "base/datetimeformat.h"
#include "datapacket/packetdata.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace tally::tabular {

// One value of a query's result row as the database driver gave it.
using QueryValue =
    std::variant<std::monostate, bool, std::int64_t, double, std::string, LocalDateTime>;

// Builds the static table of a query result (fields, then rows) in the form
// a DataPacketTable loads with loadData, so every reader of tables reads it.
class QueryResultBuilder
{
public:
    // A field of the result. Text fields without a size (size <= 0) get the
    // code-page width of their longest value.
    void addField(std::string name, datapacket::FieldKind kind, int size = 0, int decimals = 0);
    int fieldCount() const { return static_cast<int>(m_data.fields.size()); }
    // The index of a field by name (letter case ignored); -1 without one.
    int fieldIndex(std::string_view name) const;

    // Appends a row of one value per field, each converted to its field's
    // kind (numbers round to integers for integer fields; text of a number
    // field is parsed). Throws std::invalid_argument for a wrong count.
    void appendRow(std::span<const QueryValue> values);
    // Appends an aggregate row: the fields at `columns` get the values (as
    // the currency value converts to their kind), the others stay null.
    void appendAggregateRow(std::span<const int> columns, std::span<const Currency> values);

    std::size_t rowCount() const { return m_data.rowCount; }
    // Hands over the table data built so far and starts an empty result with
    // the same fields.
    datapacket::PacketData take();

private:
    void setCell(std::size_t column, std::size_t row, const QueryValue &value);

    datapacket::PacketData m_data;
    std::vector<bool> m_sized;
};

} // namespace tally::tabular
