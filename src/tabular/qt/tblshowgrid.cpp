#include "tabular/qt/tblshowgrid.h"

#include "tabular/qt/datapacketmodel.h"
#include "tabular/qt/indicatorheader.h"
#include "tabular/qt/titleheader.h"
#include "tabular/qt/zebradelegate.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace tally::tabular {

TTblShowGrid::TTblShowGrid(const datapacket::DataPacketTable &table, QWidget *parent)
    : ContainedScrollArea<QTableView>(parent), m_model(new DataPacketModel(table, this)),
      m_titles(new TitleHeader(this)), m_indicator(new IndicatorHeader(this))
{
    m_zebraFontColor = palette().color(QPalette::WindowText);
    setHorizontalHeader(m_titles);
    setVerticalHeader(m_indicator);
    setItemDelegate(new ZebraDelegate(*this));
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setTabKeyNavigation(true);
    setWordWrap(false);
    m_indicator->setDefaultSectionSize(fontMetrics().height() + 4);
    m_model->setFailureSink([this](const std::string &text) { Containment::report(this, text); });
    // The indicator marks the current row.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            contained(this, [this] { m_indicator->viewport()->update(); }));
    if (auto *corner = findChild<QAbstractButton *>()) {
        m_corner = corner;
        corner->installEventFilter(this);
    }
}

TTblShowGrid::~TTblShowGrid()
{
    if (m_corner)
        m_corner->removeEventFilter(this);
}

void TTblShowGrid::reloadTable()
{
    m_model->reload();
    m_titles->updateGeometry();
    updateGeometries();
    // The current row starts on the first record, as the table's does.
    if (m_model->rowCount() > 0)
        selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
}

void TTblShowGrid::setAggregateRows(const AggregateRows *aggregates)
{
    m_model->setAggregateRows(aggregates);
    m_indicator->setShowsRowTitles(aggregates != nullptr);
    if (m_corner)
        m_corner->update();
    viewport()->update();
}

void TTblShowGrid::SetZebra(bool zebra)
{
    if (m_stripes.SetZebra(zebra))
        viewport()->update();
}

void TTblShowGrid::SetZebraRows(int rows)
{
    if (m_stripes.SetZebraRows(rows))
        viewport()->update();
}

void TTblShowGrid::SetZebraColor(const QColor &color)
{
    m_zebraColor = color;
    viewport()->update();
}

void TTblShowGrid::SetZebraFontColor(const QColor &color)
{
    m_zebraFontColor = color;
    viewport()->update();
}

int TTblShowGrid::visibleRow(int row) const
{
    const int top = rowAt(0);
    return top < 0 ? -1 : row - top;
}

void TTblShowGrid::scrollContentsBy(int dx, int dy)
{
    if (Zebra() && dy != 0)
        viewport()->update();
    QTableView::scrollContentsBy(dx, dy);
}

bool TTblShowGrid::eventFilter(QObject *watched, QEvent *event)
{
    bool handled = false;
    Containment::run(this, [&] {
        if (watched == m_corner && event->type() == QEvent::Paint && m_model->aggregateRows()) {
            paintCorner(m_corner);
            handled = true;
        } else {
            handled = QTableView::eventFilter(watched, event);
        }
    });
    return handled;
}

void TTblShowGrid::paintCorner(QWidget *corner)
{
    QPainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.text = QStringLiteral("记录号");
    option.textAlignment = Qt::AlignCenter;
    style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
}

} // namespace tally::tabular
