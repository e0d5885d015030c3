#pragma once

#include "base/currency.h"
#include "base/formatsettings.h"
#include "datapacket/datapackettable.h"
#include "tabular/aggregaterows.h"
#include "tabular/fielddisplay.h"
#include "tabular/querysql.h"

#include <functional>
#include <string>
#include <vector>

namespace tally::tabular {

// One aggregate row of a query dataset: its kind and one value per field of
// the aggregate field list, in list order.
struct TCalcRow
{
    AggregateKind kind = AggregateKind::Sum;
    std::vector<Currency> values;
};

// A table read from a database through SQL, with aggregate rows (the MAX,
// MIN, AVG and SUM of chosen fields) appended after its records. The result
// is static: the dataset owns it as a DataPacketTable, so the grid, the list
// report, the exports and the chart read it like a loaded packet, and knows
// the kind of each trailing aggregate row.
//
// The database is an SQLite file path or a connection string (see
// parseConnection). Each opening reads through a Qt SQL connection of its
// own name, removed again before Open returns. Needs a QCoreApplication for
// the drivers.
class TTblShowQry : public AggregateRows
{
public:
    explicit TTblShowQry(std::string database,
                         FormatSettings settings = FormatSettings::chinesePrc());
    ~TTblShowQry();
    TTblShowQry(const TTblShowQry &) = delete;
    TTblShowQry &operator=(const TTblShowQry &) = delete;

    const std::string &database() const { return m_database; }

    const std::string &TableName() const { return m_tableName; }
    // Closes the dataset, marks the aggregates for recomputation when there
    // are kinds and fields, clears the sort and rebuilds the SQL text. Throws
    // QueryError for a name with a double quote or NUL (nothing changes).
    void SetTableName(std::string name);
    const std::string &Title() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    // The result is static and moves both ways, so filtering is always allowed.
    bool SQLFiltered() const { return m_sqlFiltered; }
    void SetSQLFiltered(bool filtered) { m_sqlFiltered = filtered; }

    // Sort fields separated by ";" or blanks (empty: the first column). A
    // change rebuilds the SQL text; throws QueryError for a refused name
    // (see checkFieldName), nothing changed.
    const std::string &SortFieldList() const { return m_sortFieldList; }
    void SetSortFieldList(std::string list);
    bool SortDescending() const { return m_sortDescending; }
    void SetSortDescending(bool descending);

    // The fields to aggregate, separated by ";" or blanks, and the kinds.
    // Setting either marks the aggregates for recomputation when both are
    // given. Throws QueryError for a refused field name.
    const std::string &AggregateFieldList() const { return m_aggregateFieldList; }
    void SetAggregateFieldList(std::string list);
    tabular::AggregateKinds AggregateKinds() const { return m_aggregateKinds; }
    void SetAggregateKinds(tabular::AggregateKinds kinds);
    bool aggregatesMarked() const { return m_recompute; }

    // Applied to the result's fields after every opening, in order.
    std::vector<FieldDisplay> FieldDisplays;
    // Called after the display definitions have been applied.
    std::function<void(TTblShowQry &)> OnLoadFieldDisplay;

    // The aggregate values of the last computation, in row order.
    const std::vector<TCalcRow> &AggregateRows() const { return m_aggregateRows; }

    // The SQL text, one string per line.
    const std::vector<std::string> &SQL() const { return m_sql; }

    // Runs the query and loads its result, then applies the field displays,
    // computes the marked aggregates (one query per kind) and appends the
    // aggregate rows, and goes to the first record. Throws QueryError with
    // "No SQL statement available", "Cannot perform this operation on an
    // open dataset" or the database driver's message. A failure after the
    // result was read (a field the result lacks, a failing aggregate query)
    // leaves the dataset open without aggregate rows and the aggregates
    // still marked.
    void Open();
    // Empties the result; the SQL text and settings stay.
    void Close();
    bool Active() const { return m_active; }

    // The result: the records, then the aggregate rows.
    datapacket::DataPacketTable &table() { return m_table; }
    const datapacket::DataPacketTable &table() const { return m_table; }
    // The kinds of the trailing aggregate rows of table(), in row order.
    const std::vector<tabular::AggregateKind> &aggregateRowKinds() const { return m_rowKinds; }

    // The table as the grid labels it: record numbers, then the aggregate
    // rows by kind.
    long long RecordCount() const override;
    long long RecordNumber() const override;
    int AggregateCount() const override;
    Kind AggregateKind(int i) const override;

private:
    void rebuildSql();
    void markAggregates();

    std::string m_database;
    std::string m_tableName;
    std::string m_title;
    bool m_sqlFiltered = false;
    std::string m_sortFieldList;
    bool m_sortDescending = false;
    std::string m_aggregateFieldList;
    tabular::AggregateKinds m_aggregateKinds;
    bool m_recompute = false;
    std::vector<TCalcRow> m_aggregateRows;
    std::vector<std::string> m_sql;
    datapacket::DataPacketTable m_table;
    std::vector<tabular::AggregateKind> m_rowKinds;
    bool m_active = false;
};

} // namespace tally::tabular
