#pragma once

#include "printing/printer.h"
#include "printing/qt/outputtarget.h"

#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

namespace tally::printing {

class PdfCanvas;
class QPainterCanvas;

namespace pdf {
class PdfDocument;
}

// The printer of the print routines over a QPrinter: the system's current
// printer, or PDF output. The QPrinter holds the page setup either way (the
// dialogs and the preview work on it); a printer job is drawn with QPainter,
// a PDF job is written by our own PDF writer (PdfCanvas), which draws the
// same and is many times faster than Qt's PDF engine. The canvas origin is
// the top-left corner of the printable area; a PDF page has no margins, so
// there it is the sheet's corner. Errors are thrown as std::runtime_error.
class QtPrinter : public Printer
{
public:
    // A printer for the target; the system printer is the default one.
    explicit QtPrinter(const OutputTarget &target);
    ~QtPrinter() override;

    QtPrinter(const QtPrinter &) = delete;
    QtPrinter &operator=(const QtPrinter &) = delete;

    // The underlying printer, for dialogs; owned by this object.
    QPrinter &qprinter() { return *m_printer; }
    const OutputTarget &target() const { return m_target; }
    bool isPdf() const { return m_target.kind != OutputTarget::Kind::SystemPrinter; }

    // Path of the PDF file of the last finished job (empty for a printer).
    QString lastOutputFile() const { return m_lastFile; }
    // Called with the file's path after each finished PDF job, so the caller
    // can report where the output went.
    void setSpooledHandler(std::function<void(const QString &)> handler)
    {
        m_spooled = std::move(handler);
    }

    void setPaperSize(std::int16_t paperCode) override;
    void setPaperExtent(std::int16_t lengthTenthsMm, std::int16_t widthTenthsMm) override;
    void setOrientation(PrinterOrientation orientation) override;
    PrinterOrientation orientation() const override;
    PrinterMetrics metrics() const override;
    bool canCollate() const override;
    void setCopies(int copies) override;
    void setCollate(bool collate) override;
    void setTitle(const std::string &title) override;
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;
    Canvas &canvas() override;

private:
    QString nextSpoolFile() const;
    bool jobOpen() const;
    void beginPdfPage();
    void endPdfPage();
    void endPdfDoc();

    OutputTarget m_target;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QPainterCanvas> m_canvas;
    std::unique_ptr<pdf::PdfDocument> m_pdf;
    std::unique_ptr<PdfCanvas> m_pdfCanvas;
    QSizeF m_pdfPageSize; // the current PDF page in points
    QString m_title;
    QString m_currentFile;
    QString m_lastFile;
    std::function<void(const QString &)> m_spooled;
};

} // namespace tally::printing
