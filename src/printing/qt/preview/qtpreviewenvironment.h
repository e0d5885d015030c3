#pragma once

#include "printing/qt/preview/previewservices.h"
#include "printing/qt/preview/printermetricssource.h"
#include "printing/qt/preview/qtprintersetup.h"

namespace tally::printing {
class QtPrinter;
}

namespace tally::printing::preview {

// The preview's services over the Qt adapters: the given print context, the
// sheet measured on its QtPrinter (the PDF page when output goes to PDF
// files), the page setup dialog over that printer and pages drawn with a
// QPainterCanvas at the screen's resolution. The printer must outlive this
// object, and this object every window opened with its services.
class QtPreviewEnvironment
{
public:
    QtPreviewEnvironment(QtPrinter &printer, const PrintContext &context);

    QtPreviewEnvironment(const QtPreviewEnvironment &) = delete;
    QtPreviewEnvironment &operator=(const QtPreviewEnvironment &) = delete;

    // Services for ShowPreview; modalParent is the window a modal preview
    // blocks (may be null).
    PreviewServices Services(QWidget *modalParent = nullptr);

    // A preview opener for PrintContext::showPreview: opens the bill's
    // preview without an owner form, modal to modalParent, and calls
    // onClosed once the window has closed. Errors of ShowPreview propagate.
    std::function<void(IPrintable &, bool, bool)> Opener(QWidget *modalParent,
                                                         std::function<void()> onClosed);

private:
    PrintContext m_context;
    PrinterMetricsOfPrinter m_metrics;
    QtPrinterSetup m_setup;
};

} // namespace tally::printing::preview
