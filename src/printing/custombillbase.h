#pragma once

#include "printing/drawingframe.h"
#include "printing/iprintable.h"
#include "printing/printcontext.h"

#include <string>

namespace tally::printing {

// The common base of every bill: the page setup a user changes in the
// preview (orientation, paper, offset, zoom), its settings remembered per
// bill, the drawing frame around a page, and the two outputs Print and
// Preview. Concrete bills provide pagination, caption, page extent and
// RenderPage.
class TCustomBillBase : public IPrintable
{
public:
    // Prefix of every bill's settings key.
    static constexpr const char *kSettingsRoot = "SOFTWARE\\VAZ\\Bill\\";

    TCustomBillBase() = default;
    virtual ~TCustomBillBase() = default;
    TCustomBillBase(const TCustomBillBase &) = delete;
    TCustomBillBase &operator=(const TCustomBillBase &) = delete;

    // Component name of the bill and of the form that holds it (or, when it
    // sits in no ordinary form, of its direct parent); both name its settings.
    void SetName(std::string name) { m_name = std::move(name); }
    const std::string &Name() const { return m_name; }
    void SetHostName(std::string hostName) { m_hostName = std::move(hostName); }
    const std::string &HostName() const { return m_hostName; }

    // The printer, dialogs and settings store this bill uses (copied; the
    // objects it points to are not owned).
    void SetPrintContext(PrintContext context) { m_context = std::move(context); }
    const PrintContext &Context() const { return m_context; }

    // IPrintable: page setup. Setters store the value and nothing else.
    PrinterOrientation GetPrintOrient() const override { return m_printOrient; }
    void SetPrintOrient(PrinterOrientation orient) override { m_printOrient = orient; }
    Point GetOffset() const override { return m_offset; }
    void SetOffset(Point offset) override { m_offset = offset; }
    int GetPaperSize() const override { return m_paperSize; }
    void SetPaperSize(int paperSize) override { m_paperSize = paperSize; }
    int GetPaperLength() const override { return m_paperLength; }
    int GetPaperWidth() const override { return m_paperWidth; }
    void SetPaperLength(int length) override { m_paperLength = length; }
    void SetPaperWidth(int width) override { m_paperWidth = width; }
    int GetZoomRatio() const override { return m_zoomRatio; }
    void SetZoomRatio(int zoom) override { m_zoomRatio = zoom; }

    // IPrintable: bracket and pagination do nothing in the base.
    void BeginPrint() override {}
    void EndPrint() override {}
    void CalcPages() override {}

    // Draws a page inside the drawing frame: the origin moves by the offset
    // (scaled to the canvas), the frame carries the canvas's resolution and
    // Scale × ZoomRatio as zoom, RenderPage draws, and the origin moves back
    // also when RenderPage throws.
    void DrawPage(Canvas &canvas, int pageIndex, double scale) override;

    // The on-screen painting of the component: zoom 100, no offset, origin
    // moved by (5, 5), page 1. The caller fills the background.
    virtual void PaintOnScreen(Canvas &canvas);

    // "<executable>-<host>-<name>", without case folding or escaping.
    std::string GetSettingsKey() const;

    // Reads the stored page setup, if any, over the current values; the
    // first missing or non-integer value ends the reading. A stored zoom
    // below 1 or an orientation other than 0 or 1 is skipped (the field
    // keeps its value). Never reports anything.
    void LoadSettings();

    // Writes the page setup and confirms with a message; refuses at design
    // time. Throws SettingsError (no store, write failure) without the
    // confirmation; values written before the failure stay.
    void SaveSettings() override;

    // Called once after the stored properties have been read: loads the
    // settings.
    virtual void AfterLoad();

    // Prints every page on the context's printer, or asks first with the
    // print dialog. Printer errors propagate.
    void Print(bool showDialog);

    // Opens the context's preview window. Throws std::logic_error when the
    // context has none.
    void Preview(bool maximized = true, bool modal = true);

protected:
    // Draws the content of a page with (0, 0) as its top-left corner,
    // converting layout pixels through frame. Does nothing in the base.
    virtual void RenderPage(Canvas &canvas, const DrawingFrame &frame, int pageIndex);

    int ScreenPPI() const { return m_context.screenPpi; }

private:
    std::string m_name;
    std::string m_hostName;
    PrintContext m_context;

    PrinterOrientation m_printOrient = PrinterOrientation::poPortrait;
    Point m_offset;
    int m_paperSize = 0;
    int m_paperLength = 0;
    int m_paperWidth = 0;
    int m_zoomRatio = 100;
};

} // namespace tally::printing
