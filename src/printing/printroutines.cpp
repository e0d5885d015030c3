#include "printing/printroutines.h"

#include "printing/iprintable.h"
#include "printing/printcontext.h"
#include "printing/printdialog.h"
#include "printing/printer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tally::printing {

namespace {

constexpr int kUserDefinedPaper = 256;

// Closes the bill's output bracket when the scope ends, also on failure.
// An EndPrint that throws during unwinding is swallowed so the first error
// is the one reported.
class PrintBracket
{
public:
    explicit PrintBracket(IPrintable &printable) : m_printable(printable)
    {
        m_printable.BeginPrint();
    }
    ~PrintBracket()
    {
        if (m_open) {
            try {
                m_printable.EndPrint();
            } catch (...) {
            }
        }
    }
    void close()
    {
        m_open = false;
        m_printable.EndPrint();
    }
    PrintBracket(const PrintBracket &) = delete;
    PrintBracket &operator=(const PrintBracket &) = delete;

private:
    IPrintable &m_printable;
    bool m_open = true;
};

// An open print job that is aborted unless it is ended normally.
class PrintJob
{
public:
    explicit PrintJob(Printer &printer) : m_printer(printer) { m_printer.beginDoc(); }
    ~PrintJob()
    {
        if (m_open) {
            try {
                m_printer.abortDoc();
            } catch (...) {
            }
        }
    }
    void end()
    {
        m_open = false;
        m_printer.endDoc();
    }
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

private:
    Printer &m_printer;
    bool m_open = true;
};

Printer &requirePrinter(const PrintContext &context)
{
    if (!context.printer)
        throw std::logic_error("no printer");
    return *context.printer;
}

void printPages(IPrintable &printable, const PrintContext &context, Printer &printer, int from,
                int to, bool lastIsTo)
{
    printer.setTitle("报表:" + printable.GetCaption());
    PrintJob job(printer);
    for (int i = from; i <= to; ++i) {
        if (context.processEvents)
            context.processEvents();
        printable.DrawPage(printer.canvas(), i, 1.0);
        // The page count is asked again: a bill may repaginate while drawing.
        const int last = lastIsTo ? to : printable.GetPageCount();
        if (i != last)
            printer.newPage();
    }
    job.end();
}

} // namespace

void ApplyPageSetup(IPrintable &printable, Printer &printer)
{
    const int paperSize = printable.GetPaperSize();
    if (paperSize != 0) {
        printer.setPaperSize(static_cast<std::int16_t>(paperSize));
        if (paperSize == kUserDefinedPaper)
            printer.setPaperExtent(static_cast<std::int16_t>(printable.GetPaperLength()),
                                   static_cast<std::int16_t>(printable.GetPaperWidth()));
    }
    printer.setOrientation(printable.GetPrintOrient());
}

void PrintReport(IPrintable &printable, const PrintContext &context, bool showDialog)
{
    if (showDialog) {
        PrintWithDialog(printable, context);
        return;
    }
    Printer &printer = requirePrinter(context);
    ApplyPageSetup(printable, printer);
    PrintBracket bracket(printable);
    printable.CalcPages();
    printPages(printable, context, printer, 1, printable.GetPageCount(), false);
    bracket.close();
}

void PrintWithDialog(IPrintable &printable, const PrintContext &context)
{
    Printer &printer = requirePrinter(context);
    if (!context.makePrintDialog)
        throw std::logic_error("no print dialog");
    const std::unique_ptr<PrintDialog> dialog = context.makePrintDialog();
    if (!dialog)
        throw std::logic_error("no print dialog");

    ApplyPageSetup(printable, printer);
    PrintBracket bracket(printable);
    printable.CalcPages();

    PrintDialogOptions options;
    options.collateAvailable = printer.canCollate();
    options.collate = false;
    options.copies = 1;
    options.minPage = 1;
    options.maxPage = printable.GetPageCount();
    options.fromPage = 1;
    options.toPage = options.maxPage;
    options.pageRangeEnabled = options.maxPage != 1;
    if (!dialog->execute(options)) {
        bracket.close();
        return;
    }

    // Keep a range the dialog let through inside the document.
    const int from = std::max(options.fromPage, options.minPage);
    const int to = std::min(options.toPage, options.maxPage);
    printer.setCopies(std::max(options.copies, 1));
    printer.setCollate(options.collateAvailable && options.collate);
    printPages(printable, context, printer, from, to, true);
    bracket.close();
}

} // namespace tally::printing
