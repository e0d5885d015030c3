#pragma once

#include "documents/documentbill.h"

namespace tally::layout {
class TBill;
}

namespace tally::documents {

class DocumentForm;

// Binds a document form to its bill: the bill's variable callbacks ask the
// form (with the bill's own page count), and the form's creation sequence
// drives the bill. Borrows both; they must outlive the binding, and the
// binding must outlive every drawing of the bill.
class BillBinding : public DocumentBill
{
public:
    BillBinding(DocumentForm &form, layout::TBill &bill);

    // Whether the form has shown the bill (its window draws it only then).
    bool isVisible() const { return m_visible; }

    void setVisible(bool visible) override { m_visible = visible; }
    void setRowCountBody(int rows) override;
    void setDataSet(datapacket::DataPacketTable *table) override;
    void print() override;
    void preview() override;

private:
    DocumentForm &m_form;
    layout::TBill &m_bill;
    bool m_visible = true;
};

} // namespace tally::documents
