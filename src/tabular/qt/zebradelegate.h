#pragma once

#include <QStyledItemDelegate>

namespace tally::tabular {

class TTblShowGrid;

// Draws the grid's data cells: the colours by the grid's rules (selection,
// aggregate rows, stripes, then the owner's OnGetCellColor) and the display
// text 2 pixels in from the cell's edges, clipped to the cell. The grid
// owns the delegate.
class ZebraDelegate : public QStyledItemDelegate
{
public:
    explicit ZebraDelegate(TTblShowGrid &grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    TTblShowGrid &m_grid;
};

} // namespace tally::tabular
