#pragma once

#include "printing/printdialog.h"

class QPrinter;
class QWidget;

namespace tally::printing {

// The system print dialog over a QPrinter: page range, copies, collation.
// The printer (and parent, if any) must outlive the dialog.
class QtPrintDialog : public PrintDialog
{
public:
    QtPrintDialog(QPrinter &printer, QWidget *parent);

    bool execute(PrintDialogOptions &options) override;

private:
    QPrinter &m_printer;
    QWidget *m_parent;
};

} // namespace tally::printing
