#include "printing/qt/qtprintdialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace tally::printing {

QtPrintDialog::QtPrintDialog(QPrinter &printer, QWidget *parent)
    : m_printer(printer), m_parent(parent)
{
}

bool QtPrintDialog::execute(PrintDialogOptions &options)
{
    m_printer.setCopyCount(options.copies);
    m_printer.setCollateCopies(options.collate);
    m_printer.setPrintRange(QPrinter::AllPages);
    m_printer.setFromTo(0, 0);

    QPrintDialog dialog(&m_printer, m_parent);
    QAbstractPrintDialog::PrintDialogOptions flags;
    if (options.pageRangeEnabled)
        flags |= QAbstractPrintDialog::PrintPageRange;
    if (options.collateAvailable)
        flags |= QAbstractPrintDialog::PrintCollateCopies;
    dialog.setOptions(flags);
    dialog.setMinMax(options.minPage, options.maxPage);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    if (m_printer.printRange() == QPrinter::PageRange && m_printer.fromPage() > 0) {
        options.fromPage = m_printer.fromPage();
        options.toPage = m_printer.toPage();
    } else {
        options.fromPage = options.minPage;
        options.toPage = options.maxPage;
    }
    options.copies = m_printer.copyCount();
    options.collate = m_printer.collateCopies();
    return true;
}

} // namespace tally::printing
