#pragma once

#include "printing/qt/preview/printersetup.h"

class QPrinter;

namespace tally::printing::preview {

// The printer setup dialog over a QPrinter: paper and orientation. The
// printer must outlive this object.
class QtPrinterSetup : public PrinterSetup
{
public:
    explicit QtPrinterSetup(QPrinter &printer) : m_printer(printer) {}

    std::optional<PrinterPageSetup> execute(QWidget *parent) override;

    // The printer's page setup as paper code, extent and orientation.
    static PrinterPageSetup ReadPageSetup(const QPrinter &printer);

private:
    QPrinter &m_printer;
};

} // namespace tally::printing::preview
