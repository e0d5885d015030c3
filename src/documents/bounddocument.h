#pragma once

#include "base/formatsettings.h"
#include "documents/documentform.h"
#include "documents/windownameregistry.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tally::layout {
class TBill;
}
namespace tally::printing {
struct PrintContext;
}

namespace tally::documents {

class BillBinding;
struct DocumentDef;

// One document as every host builds it, the document window and the
// command-line tool alike: a process-unique window name (PrintDHD,
// PrintDHD_1, ...) that keys the bill's saved page settings, the form over
// the request's packets, the bill of the built-in layout with its caption and
// output context, the binding between them, and the saved page settings
// applied. Owns all of it; `def` must outlive it (the built-in ones do).
class BoundDocument
{
public:
    // Throws std::logic_error when the document's layout is not built in.
    BoundDocument(const DocumentDef &def, DocumentRequest request, FormatSettings settings,
                  const printing::PrintContext &context);
    ~BoundDocument();
    BoundDocument(const BoundDocument &) = delete;
    BoundDocument &operator=(const BoundDocument &) = delete;

    const std::string &windowName() const { return m_name.name(); }
    const DocumentForm &form() const { return *m_form; }
    layout::TBill &bill() { return *m_bill; }
    const BillBinding &binding() const { return *m_binding; }

    // The form's creation: loads the packets (showMessage gets "格式不正确"
    // when they do not load), sizes the body and prints or previews.
    // Failures while printing propagate.
    DocumentForm::Outcome create(const std::function<void(std::string_view)> &showMessage);

private:
    WindowNameRegistry::Lease m_name;
    std::unique_ptr<DocumentForm> m_form;
    std::unique_ptr<layout::TBill> m_bill;
    std::unique_ptr<BillBinding> m_binding;
};

} // namespace tally::documents
