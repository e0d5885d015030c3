#include "tabular/qt/indicatorheader.h"

#include <QItemSelectionModel>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace tally::tabular {

IndicatorHeader::IndicatorHeader(QWidget *parent)
    : ContainedScrollArea<QHeaderView>(Qt::Vertical, parent)
{
    setFixedWidth(kWidth);
    setSectionsClickable(false);
    setHighlightSections(false);
    // Rows of one height keep positions arithmetic, however many rows.
    setSectionResizeMode(QHeaderView::Fixed);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void IndicatorHeader::setShowsRowTitles(bool shows)
{
    m_rowTitles = shows;
    viewport()->update();
}

void IndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (m_rowTitles) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Light));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(palette().color(QPalette::Dark));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    if (!selectionModel() || selectionModel()->currentIndex().row() != logicalIndex)
        return;
    // The current-row marker: a small triangle pointing at the row.
    const QPoint centre = rect.center();
    const int half = std::max(2, std::min(rect.height() / 4, 4));
    const QPolygon arrow({QPoint(centre.x() - half, centre.y() - half),
                          QPoint(centre.x() + half, centre.y()),
                          QPoint(centre.x() - half, centre.y() + half)});
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::ButtonText));
    painter->drawPolygon(arrow);
}

} // namespace tally::tabular
