#include "printing/qt/preview/qtprintersetup.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace tally::printing::preview {

namespace {

constexpr int kUserDefinedPaper = 256;

int tenthsOfMillimetre(qreal millimetres)
{
    return static_cast<int>(std::lround(millimetres * 10));
}

} // namespace

std::optional<PrinterPageSetup> QtPrinterSetup::execute(QWidget *parent)
{
    QPageSetupDialog dialog(&m_printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ReadPageSetup(m_printer);
}

PrinterPageSetup QtPrinterSetup::ReadPageSetup(const QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const QPageSize size = layout.pageSize();
    PrinterPageSetup setup;
    setup.paperCode = size.windowsId();
    if (setup.paperCode <= 0 || size.id() == QPageSize::Custom)
        setup.paperCode = kUserDefinedPaper;
    // Extent of the sheet upright, as the device settings keep it.
    const QSizeF mm = size.size(QPageSize::Millimeter);
    setup.paperWidth = tenthsOfMillimetre(std::min(mm.width(), mm.height()));
    setup.paperLength = tenthsOfMillimetre(std::max(mm.width(), mm.height()));
    setup.orientation = layout.orientation() == QPageLayout::Landscape
                            ? PrinterOrientation::poLandscape
                            : PrinterOrientation::poPortrait;
    return setup;
}

} // namespace tally::printing::preview
