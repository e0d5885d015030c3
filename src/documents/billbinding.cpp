#include "documents/billbinding.h"

#include "documents/documentdef.h"
#include "documents/documentform.h"
#include "layout/tbill.h"

namespace tally::documents {

BillBinding::BillBinding(DocumentForm &form, layout::TBill &bill) : m_form(form), m_bill(bill)
{
    m_bill.SetName(std::string(form.definition().billName));
    m_bill.SetOnGetFooterText(
        [this](layout::TCustomBill &sender, int pageIndex, std::string &text) {
            text = m_form.footerText(pageIndex, sender.GetPageCount(), std::move(text));
        });
    if (m_form.hasCellCallback())
        m_bill.SetOnGetCellText([this](layout::TCustomBill &sender, const std::string &,
                                       int pageIndex, std::string &text) {
            text = m_form.cellText(pageIndex, sender.GetPageCount(), std::move(text));
        });
}

void BillBinding::setRowCountBody(int rows)
{
    m_bill.SetRowCountBody(rows);
}

void BillBinding::setDataSet(datapacket::DataPacketTable *table)
{
    m_bill.SetDataSet(table);
}

void BillBinding::print()
{
    m_bill.Print(false);
}

void BillBinding::preview()
{
    m_bill.Preview(true, true);
}

} // namespace tally::documents
