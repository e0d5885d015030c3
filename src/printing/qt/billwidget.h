#pragma once

#include "base/qt/containment.h"

#include <QWidget>

namespace tally::printing {

class TCustomBillBase;

// Shows a bill on its form: a white area with page 1 drawn 5 pixels in,
// at 100 percent and without the bill's offset. The bill is not owned and
// must outlive the widget (or be cleared with setBill first). A page that
// fails to draw is reported by the window's containment, not thrown.
class BillWidget : public ContainedWidget<QWidget>
{
public:
    explicit BillWidget(QWidget *parent = nullptr);

    // The bill shown; null shows an empty white area. Repaints.
    void setBill(TCustomBillBase *bill);
    TCustomBillBase *bill() const { return m_bill; }

    // Resizes the widget to the bill's page plus the 5-pixel margin on
    // each side.
    void fitToBill();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TCustomBillBase *m_bill = nullptr;
};

} // namespace tally::printing
