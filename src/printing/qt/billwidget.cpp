#include "printing/qt/billwidget.h"

#include "printing/custombillbase.h"
#include "printing/qt/qpaintercanvas.h"

#include <QPainter>

namespace tally::printing {

BillWidget::BillWidget(QWidget *parent) : ContainedWidget<QWidget>(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BillWidget::setBill(TCustomBillBase *bill)
{
    m_bill = bill;
    update();
}

void BillWidget::fitToBill()
{
    if (m_bill)
        resize(m_bill->GetPageWidth() + 10, m_bill->GetPageHeight() + 10);
}

void BillWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_bill)
        return;
    QPainterCanvas canvas(painter);
    m_bill->PaintOnScreen(canvas);
}

} // namespace tally::printing
