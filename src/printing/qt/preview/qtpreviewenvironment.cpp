#include "printing/qt/preview/qtpreviewenvironment.h"

#include "printing/qt/preview/tformpreview.h"
#include "printing/qt/qpaintercanvas.h"
#include "printing/qt/qtprinter.h"

namespace tally::printing::preview {

QtPreviewEnvironment::QtPreviewEnvironment(QtPrinter &printer, const PrintContext &context)
    : m_context(context), m_metrics(printer), m_setup(printer.qprinter())
{
    m_context.printer = &printer;
}

PreviewServices QtPreviewEnvironment::Services(QWidget *modalParent)
{
    PreviewServices services;
    services.print = m_context;
    services.metrics = &m_metrics;
    services.setup = &m_setup;
    services.makeCanvas = [](QPainter &painter) -> std::unique_ptr<Canvas> {
        return std::make_unique<QPainterCanvas>(painter);
    };
    services.modalParent = modalParent;
    return services;
}

std::function<void(IPrintable &, bool, bool)>
QtPreviewEnvironment::Opener(QWidget *modalParent, std::function<void()> onClosed)
{
    return [this, modalParent, onClosed = std::move(onClosed)](IPrintable &printable,
                                                               bool maximized, bool modal) {
        ShowPreview(nullptr, printable, maximized, modal, Services(modalParent), onClosed);
    };
}

} // namespace tally::printing::preview
