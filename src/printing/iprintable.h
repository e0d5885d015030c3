#pragma once

#include "printing/canvastypes.h"

#include <cstdint>
#include <string>

namespace tally::printing {

class Canvas;

// Page orientation handed to the printer; stored as 0 or 1.
enum class PrinterOrientation : std::uint8_t
{
    poPortrait = 0,
    poLandscape = 1
};

// The printable contract of a bill: what the print routines and the preview
// window use, and all they use. Holding one does not keep the bill alive;
// the bill belongs to its form. The operations keep their established order.
class IPrintable
{
public:
    virtual PrinterOrientation GetPrintOrient() const = 0;
    virtual void SetPrintOrient(PrinterOrientation orient) = 0;
    // Offset of the content from the printable area's top-left corner, in
    // layout pixels (x = DX, y = DY).
    virtual Point GetOffset() const = 0;
    virtual void SetOffset(Point offset) = 0;
    // Paper code of the printer (9 = A4, 256 = user-defined); 0 keeps the
    // printer's paper.
    virtual int GetPaperSize() const = 0;
    virtual void SetPaperSize(int paperSize) = 0;
    // User-defined paper extent in tenths of a millimetre (paper code 256).
    virtual int GetPaperLength() const = 0;
    virtual int GetPaperWidth() const = 0;
    virtual void SetPaperLength(int length) = 0;
    virtual void SetPaperWidth(int width) = 0;
    // Pages after the last CalcPages.
    virtual int GetPageCount() const = 0;
    // Zoom of the content in percent.
    virtual int GetZoomRatio() const = 0;
    virtual void SetZoomRatio(int zoom) = 0;
    // Title of the document; names the print job.
    virtual std::string GetCaption() const = 0;
    // Extent of the page content in layout pixels at 100 percent zoom.
    virtual int GetPageWidth() const = 0;
    virtual int GetPageHeight() const = 0;
    // Bracket of one output (a print job or a preview window's life).
    // EndPrint undoes what BeginPrint changed and is called also after a
    // failure.
    virtual void BeginPrint() = 0;
    virtual void EndPrint() = 0;
    // Paginates for the bill's printer, offset and zoom.
    virtual void CalcPages() = 0;
    // Draws page pageIndex (from 1) at the given scale (1.0 on a printer).
    // Exceptions of the bill's callbacks propagate.
    virtual void DrawPage(Canvas &canvas, int pageIndex, double scale) = 0;
    // Stores the page setup for the next run; errors of the store propagate.
    virtual void SaveSettings() = 0;

protected:
    ~IPrintable() = default;
};

} // namespace tally::printing
