#pragma once

#include "printing/printer.h"

namespace tally::printing::preview {

// Where the preview measures the sheet: resolution, sheet size and
// printable area of the current printer (of the PDF page when output goes
// to PDF files). Tests fake it.
class PrinterMetricsSource
{
public:
    virtual ~PrinterMetricsSource() = default;
    // The current page metrics in device pixels. Printer errors are thrown
    // as std::runtime_error.
    virtual PrinterMetrics metrics() const = 0;
};

// The metrics of a print routine's printer. The printer is not owned and
// must outlive this object.
class PrinterMetricsOfPrinter : public PrinterMetricsSource
{
public:
    explicit PrinterMetricsOfPrinter(const Printer &printer) : m_printer(printer) {}
    PrinterMetrics metrics() const override { return m_printer.metrics(); }

private:
    const Printer &m_printer;
};

} // namespace tally::printing::preview
