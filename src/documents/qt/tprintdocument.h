#pragma once

#include "base/qt/containment.h"
#include "documents/documentform.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace tally::printing {
class BillWidget;
namespace preview {
class WindowPrinting;
}
} // namespace tally::printing

namespace tally::documents {

class BoundDocument;
struct DocumentDef;

// The window of one document print request: it holds the document's bill
// with its built-in layout and, while it is being built, loads the request's
// packets, sizes the bill and prints it (or opens the preview for prev "1").
// Packets that do not load show "格式不正确" and leave the window empty.
// Failures while printing are thrown out of the constructor, so the request
// logs them and no window remains. The window has a process-unique name
// (PrintDHD, PrintDHD_1, ...) that keys its bill's page settings.
class TPrintDocument : public ContainedWidget<QWidget>
{
public:
    // Receives a line for the activity log, such as where a PDF job went.
    using LogSink = std::function<void(const std::string &line)>;

    // `def` must outlive the window (the built-in definitions do).
    TPrintDocument(const DocumentDef &def, DocumentRequest request, QWidget *owner = nullptr,
                   LogSink log = {});
    ~TPrintDocument() override;

    // The form logic, for callers and tests.
    const DocumentForm &form() const;
    // What creating the window did with the document.
    DocumentForm::Outcome outcome() const { return m_outcome; }

    // The activity log line that names a finished PDF job's file.
    static std::string pdfWrittenLine(const QString &file);

private:
    std::unique_ptr<printing::preview::WindowPrinting> m_printing;
    std::unique_ptr<BoundDocument> m_document;
    printing::BillWidget *m_billWidget = nullptr;
    DocumentForm::Outcome m_outcome = DocumentForm::Outcome::BadFormat;
};

} // namespace tally::documents
