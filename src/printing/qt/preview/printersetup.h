#pragma once

#include "printing/iprintable.h"

#include <optional>

class QWidget;

namespace tally::printing::preview {

// The page setup of the current printer after the user confirmed the
// printer setup dialog, as the platform's device settings hold it.
struct PrinterPageSetup
{
    int paperCode = 0;   // platform paper code (9 = A4, 256 = user-defined)
    int paperLength = 0; // tenths of a millimetre
    int paperWidth = 0;
    PrinterOrientation orientation = PrinterOrientation::poPortrait;
};

// The system's printer setup dialog, injectable so tests can answer it.
class PrinterSetup
{
public:
    virtual ~PrinterSetup() = default;
    // Shows the dialog over parent (may be null). Nothing when cancelled;
    // otherwise the printer's page setup, which the dialog has changed.
    virtual std::optional<PrinterPageSetup> execute(QWidget *parent) = 0;
};

} // namespace tally::printing::preview
