#pragma once

namespace tally::printing {

class IPrintable;
class Printer;
struct PrintContext;

// Pushes the bill's paper (when its code is not 0; with the user-defined
// extent for code 256) and orientation into the printer.
void ApplyPageSetup(IPrintable &printable, Printer &printer);

// Prints every page of the bill on context.printer as one job titled
// "报表:" + caption, or runs PrintWithDialog when showDialog is true. The
// bill's BeginPrint/EndPrint bracket closes also on failure; a job that
// fails midway is aborted. Errors of the printer and the bill propagate;
// a context without printer throws std::logic_error.
void PrintReport(IPrintable &printable, const PrintContext &context, bool showDialog);

// Asks the user for page range, copies and collation with the context's
// print dialog, then prints the chosen pages once each (copies and
// collation go to the printer). Cancelling prints nothing. Failure handling
// as PrintReport; a context without dialog throws std::logic_error.
void PrintWithDialog(IPrintable &printable, const PrintContext &context);

} // namespace tally::printing
