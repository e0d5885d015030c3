#include "tabular/qt/zebradelegate.h"

#include "base/qt/containment.h"
#include "tabular/aggregaterows.h"
#include "tabular/qt/datapacketmodel.h"
#include "tabular/qt/tblshowgrid.h"

#include <QApplication>
#include <QPainter>

namespace tally::tabular {

ZebraDelegate::ZebraDelegate(TTblShowGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

void ZebraDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    const QPalette &palette = option.palette;
    TTblShowGrid::CellLook look{option.font, palette.color(QPalette::Text),
                                palette.color(QPalette::Base)};
    const AggregateRows *aggregates = m_grid.tableModel().aggregateRows();
    if (option.state & QStyle::State_Selected) {
        look.background = palette.color(QPalette::Highlight);
        look.text = palette.color(QPalette::HighlightedText);
    } else if (aggregates && IsAggregateRow(*aggregates, index.row() + 1LL)) {
        look.background = TTblShowGrid::kAggregateRowColor;
    } else if (m_grid.stripes().IsStriped(m_grid.visibleRow(index.row()))) {
        look.background = m_grid.ZebraColor();
        look.text = m_grid.ZebraFontColor();
    }
    // The owner's callback fails inside the view's paint: the cell keeps
    // the grid's own look and the failure is reported, never unwound
    // through Qt's painting.
    if (m_grid.OnGetCellColor)
        Containment::run(&m_grid, [&] {
            TTblShowGrid::CellLook changed = look;
            m_grid.OnGetCellColor(m_grid, m_grid.tableModel().field(index.column()), index.row(),
                                  changed);
            look = changed;
        });

    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect, look.background);
    painter->setFont(look.font);
    painter->setPen(look.text);
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    painter->drawText(option.rect.adjusted(2, 0, -2, 0), alignment | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = look.background;
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}

} // namespace tally::tabular
