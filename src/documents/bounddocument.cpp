#include "documents/bounddocument.h"

#include "documents/billbinding.h"
#include "documents/documentdef.h"
#include "layout/tbill.h"
#include "printing/printcontext.h"

#include <stdexcept>

namespace tally::documents {

BoundDocument::BoundDocument(const DocumentDef &def, DocumentRequest request,
                             FormatSettings settings, const printing::PrintContext &context)
    : m_name(WindowNameRegistry::instance().acquire(def.windowName)),
      m_form(std::make_unique<DocumentForm>(def, std::move(request), std::move(settings))),
      m_bill(layout::TBill::FromBuiltin(def.layoutName))
{
    if (!m_bill)
        throw std::logic_error("no built-in layout " + std::string(def.layoutName));
    m_bill->SetHostName(m_name.name());
    if (m_bill->GetCaption().empty())
        m_bill->SetCaption(std::string(def.caption));
    m_bill->SetPrintContext(context);
    m_binding = std::make_unique<BillBinding>(*m_form, *m_bill);
    // Page settings saved for this window's bill override the layout's own.
    m_bill->AfterLoad();
}

BoundDocument::~BoundDocument() = default;

DocumentForm::Outcome
BoundDocument::create(const std::function<void(std::string_view)> &showMessage)
{
    return m_form->create(*m_binding, showMessage);
}

} // namespace tally::documents
