#pragma once

#include "tabular/aggregaterows.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tally::tabular {

// A set of aggregate kinds.
class AggregateKinds
{
public:
    constexpr AggregateKinds() = default;
    constexpr AggregateKinds(AggregateKind kind) : m_bits(static_cast<unsigned>(kind)) {}

    constexpr bool contains(AggregateKind kind) const
    {
        return (m_bits & static_cast<unsigned>(kind)) != 0;
    }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr AggregateKinds operator|(AggregateKinds o) const
    {
        return fromBits(m_bits | o.m_bits);
    }
    constexpr AggregateKinds &operator|=(AggregateKinds o) { return *this = *this | o; }
    constexpr bool operator==(const AggregateKinds &) const = default;

private:
    static constexpr AggregateKinds fromBits(unsigned bits)
    {
        AggregateKinds k;
        k.m_bits = bits;
        return k;
    }
    unsigned m_bits = 0;
};

constexpr AggregateKinds operator|(AggregateKind a, AggregateKind b)
{
    return AggregateKinds(a) | AggregateKinds(b);
}

// The kinds of the set in the order their rows follow the records: MAX, MIN,
// AVG, SUM.
std::vector<AggregateKind> aggregateOrder(AggregateKinds kinds);

// The SQL function of a kind: "SUM", "MAX", "MIN" or "AVG".
std::string_view aggregateFunction(AggregateKind kind);

// Splits a list of names at ";" and blanks, dropping empty names.
std::vector<std::string> splitNames(std::string_view list);

// A table name goes into the SQL text between double quotes: throws
// QueryError for one that holds a double quote or a NUL, which would end the
// quoting.
void checkTableName(std::string_view name);

// Field names go into the SQL text as they are, unquoted (so the database
// folds their case as it does for its own columns): throws QueryError for
// an empty name or one with a character other than an ASCII letter or digit,
// "_", "$" or a non-ASCII (UTF-8) character, since anything else would be
// SQL text of the caller's making.
void checkFieldName(std::string_view name);

// The lines of the dataset's query: "SELECT * FROM " and the quoted table
// name, then "ORDER BY 1" without sort fields, else "ORDER BY " and the first
// sort field and a line "," + name per further field, each with " DESC" when
// descending. Empty for an empty table name. Throws QueryError for a refused
// table or field name.
std::vector<std::string> selectSql(std::string_view tableName, std::string_view sortFieldList,
                                   bool descending);

// The lines of the aggregate query of one kind over the fields (at least
// one): "select FUNC(f1)", ", FUNC(f2)" per further field, "from" and the
// quoted table name. Throws QueryError for a refused name or no fields.
std::vector<std::string> aggregateSql(AggregateKind kind, std::span<const std::string> fields,
                                      std::string_view tableName);

// The lines joined with line feeds, as the database gets them.
std::string joinSql(std::span<const std::string> lines);

} // namespace tally::tabular
