#pragma once

#include "printing/iprintable.h"

#include <cstdint>
#include <string>

namespace tally::printing {

class Canvas;

// What a printer tells about its current page, in device pixels.
struct PrinterMetrics
{
    int dpiX = 0;
    int dpiY = 0;
    int paperWidth = 0; // whole sheet
    int paperHeight = 0;
    int offsetX = 0; // top-left corner of the printable area on the sheet
    int offsetY = 0;
    int pageWidth = 0; // printable area
    int pageHeight = 0;
};

// The output device of a print job: the system's current printer or a PDF
// file. Errors (no printer, a file that cannot be written, a spooler that
// refuses the finished job in endDoc) are thrown as std::runtime_error.
class Printer
{
public:
    virtual ~Printer() = default;

    // Page setup. setPaperSize takes the platform's paper code; codes the
    // device does not know leave the paper unchanged. setPaperExtent gives
    // the user-defined size (code 256) in tenths of a millimetre.
    virtual void setPaperSize(std::int16_t paperCode) = 0;
    virtual void setPaperExtent(std::int16_t lengthTenthsMm, std::int16_t widthTenthsMm) = 0;
    virtual void setOrientation(PrinterOrientation orientation) = 0;
    virtual PrinterOrientation orientation() const = 0;

    virtual PrinterMetrics metrics() const = 0;
    virtual bool canCollate() const = 0;
    virtual void setCopies(int copies) = 0;
    virtual void setCollate(bool collate) = 0;

    // The job title shown in the spooler (and a PDF's title).
    virtual void setTitle(const std::string &title) = 0;

    // A job: beginDoc opens it and the first page, newPage starts the next
    // page, endDoc finishes it; abortDoc drops an open job without output.
    // canvas() is the current page's surface, valid between beginDoc and
    // endDoc or abortDoc; its origin is the printable area's top-left corner.
    virtual void beginDoc() = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    virtual void abortDoc() = 0;
    virtual Canvas &canvas() = 0;
};

} // namespace tally::printing
