#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <string>

namespace tally::datapacket {
class DataPacketTable;
class PacketField;
} // namespace tally::datapacket

namespace tally::tabular {

class AggregateRows;

// A read-only table model over a loaded data packet table: one column per
// visible field, titled with its display label, one row per record. Cells
// are read by (row, column) when asked, never by moving the table's
// current row, and nothing is copied per row. The table (and the
// aggregate view, if any) are not owned and must outlive the model; after
// the table loads or closes, call reload().
class DataPacketModel : public QAbstractTableModel
{
public:
    // Receives the text of a cell that could not be read (the cell shows
    // empty), so the grid can report it once.
    using FailureSink = std::function<void(const std::string &text)>;

    explicit DataPacketModel(const datapacket::DataPacketTable &table, QObject *parent = nullptr);

    // The table's trailing aggregate rows, for a query dataset; null (the
    // default) for a plain packet.
    void setAggregateRows(const AggregateRows *aggregates);
    const AggregateRows *aggregateRows() const { return m_aggregates; }

    void setFailureSink(FailureSink sink) { m_failure = std::move(sink); }

    // Takes the table's current fields and rows.
    void reload();

    const datapacket::DataPacketTable &table() const { return m_table; }
    // The field shown in `column`; null outside the fields.
    const datapacket::PacketField *field(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // Display text and alignment (numbers to the right) of a cell.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Column titles are the fields' display labels; row titles the record
    // numbers or aggregate labels of a table with aggregate rows.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const datapacket::DataPacketTable &m_table;
    const AggregateRows *m_aggregates = nullptr;
    FailureSink m_failure;
    int m_rows = 0;
    int m_columns = 0;
};

} // namespace tally::tabular
