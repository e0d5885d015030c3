#include "tabular/qt/datapacketmodel.h"

#include "datapacket/datapackettable.h"
#include "tabular/aggregaterows.h"
#include "tabular/qt/tabularlog.h"

#include <climits>
#include <exception>

namespace tally::tabular {

namespace {

bool alignsRight(datapacket::FieldKind kind)
{
    using datapacket::FieldKind;
    switch (kind) {
    case FieldKind::Int8:
    case FieldKind::UInt8:
    case FieldKind::Int16:
    case FieldKind::UInt16:
    case FieldKind::Int32:
    case FieldKind::UInt32:
    case FieldKind::Int64:
    case FieldKind::Float:
    case FieldKind::Bcd:
        return true;
    default:
        return false;
    }
}

QString qtText(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

DataPacketModel::DataPacketModel(const datapacket::DataPacketTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(table)
{
    reload();
}

void DataPacketModel::setAggregateRows(const AggregateRows *aggregates)
{
    m_aggregates = aggregates;
    if (m_rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

void DataPacketModel::reload()
{
    beginResetModel();
    // A view counts rows in int; larger tables show their first INT_MAX rows.
    const std::size_t records = m_table.recordCount();
    m_rows = records > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(records);
    m_columns = m_table.isActive() ? m_table.fieldCount() : 0;
    endResetModel();
}

const datapacket::PacketField *DataPacketModel::field(int column) const
{
    if (column < 0 || column >= m_columns)
        return nullptr;
    return &m_table.field(column);
}

int DataPacketModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataPacketModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant DataPacketModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            (alignsRight(m_table.field(index.column()).kind()) ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    // Called while the view paints: a cell that cannot be read shows empty
    // and is reported, it does not take the paint down.
    try {
        return qtText(
            m_table.cell(static_cast<std::size_t>(index.row()), index.column()).displayText());
    } catch (const std::exception &e) {
        qCDebug(lcTabular) << "cell" << index.row() << index.column() << "unreadable:" << e.what();
        if (m_failure)
            m_failure(e.what());
    }
    return {};
}

QVariant DataPacketModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columns ? qtText(m_table.field(section).displayLabel()) : QVariant();
    if (m_aggregates)
        return qtText(AggregateRowLabel(*m_aggregates, section + 1LL));
    return {};
}

Qt::ItemFlags DataPacketModel::flags(const QModelIndex &index) const
{
    // Read-only: cells can be selected, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace tally::tabular
