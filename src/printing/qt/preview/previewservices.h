#pragma once

#include "printing/printcontext.h"

#include <functional>
#include <memory>

class QPainter;
class QWidget;

namespace tally::printing {
class Canvas;
}

namespace tally::printing::preview {

class PrinterMetricsSource;
class PrinterSetup;

// What the preview window reaches outside itself. Nothing is owned; every
// object pointed to must outlive the window.
struct PreviewServices
{
    // The printer (page setup is pushed into it; the print button prints
    // on it through the print dialog), the settings store that keeps
    // "ZoomType", message boxes and event processing between printed pages.
    PrintContext print;
    // Where the sheet is measured; null means print.printer's own metrics.
    const PrinterMetricsSource *metrics = nullptr;
    // The printer setup dialog; null leaves the setup button without effect.
    PrinterSetup *setup = nullptr;
    // Makes the canvas the page is drawn on from the surface's painter
    // (the caller of the factory owns the canvas). Null draws the sheet
    // without the page.
    std::function<std::unique_ptr<Canvas>(QPainter &)> makeCanvas;
    // Pixels per inch of the screen the sheet is shown on; 0 takes the
    // window's own logical resolution.
    int screenDpi = 0;
    // The window a modal preview blocks (besides its owner form), usually
    // the document window that asked for it; may be null.
    QWidget *modalParent = nullptr;
};

} // namespace tally::printing::preview
