#pragma once

#include "base/qt/containment.h"
#include "tabular/zebrastripes.h"

#include <QColor>
#include <QFont>
#include <QTableView>

#include <functional>

namespace tally::datapacket {
class DataPacketTable;
class PacketField;
} // namespace tally::datapacket

namespace tally::tabular {

class AggregateRows;
class DataPacketModel;
class IndicatorHeader;
class TitleHeader;

// The read-only grid of a data packet table: one column per field, a title
// row with multi-level titles ("|" levels, merged bands), a 51-pixel
// indicator column, resizable columns, grid lines, and zebra stripes on
// every ZebraRows-th visible row. For a table with aggregate rows the
// indicator shows record numbers under "记录号" and the aggregate labels,
// and those rows get their own background. The table is not owned.
class TTblShowGrid : public ContainedScrollArea<QTableView>
{
public:
    // Background of aggregate rows.
    static inline const QColor kAggregateRowColor = QColor(0xC0, 0xDC, 0xC0);

    // Font and colours of one data cell, which OnGetCellColor may change.
    struct CellLook
    {
        QFont font;
        QColor text;
        QColor background;
    };
    // Called before each data cell is drawn with the field of its column
    // (null for none) and its 0-based table row.
    using GetCellColor = std::function<void(
        TTblShowGrid &grid, const datapacket::PacketField *field, int row, CellLook &look)>;

    // `table` must outlive the grid.
    explicit TTblShowGrid(const datapacket::DataPacketTable &table, QWidget *parent = nullptr);
    ~TTblShowGrid() override;

    // Shows the table's fields and rows as they are now (after a load or close).
    void reloadTable();
    // The table's trailing aggregate rows (a query dataset); null for none.
    void setAggregateRows(const AggregateRows *aggregates);

    DataPacketModel &tableModel() const { return *m_model; }
    TitleHeader &titleHeader() const { return *m_titles; }
    IndicatorHeader &indicatorHeader() const { return *m_indicator; }

    bool Zebra() const { return m_stripes.Zebra(); }
    void SetZebra(bool zebra);
    int ZebraRows() const { return m_stripes.ZebraRows(); }
    // Periods of 1 or less are ignored.
    void SetZebraRows(int rows);
    QColor ZebraColor() const { return m_zebraColor; }
    void SetZebraColor(const QColor &color);
    QColor ZebraFontColor() const { return m_zebraFontColor; }
    void SetZebraFontColor(const QColor &color);
    const ZebraStripes &stripes() const { return m_stripes; }

    GetCellColor OnGetCellColor;

    // The position of table row `row` among the visible rows (0 for the
    // top one); negative above the visible area.
    int visibleRow(int row) const;

protected:
    // Stripes belong to screen rows: a scroll repaints everything when striped.
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintCorner(QWidget *corner);

    DataPacketModel *m_model;
    TitleHeader *m_titles;
    IndicatorHeader *m_indicator;
    QWidget *m_corner = nullptr;
    ZebraStripes m_stripes;
    QColor m_zebraColor = QColor(0x00, 0xFF, 0xFF);
    QColor m_zebraFontColor;
};

} // namespace tally::tabular
