#pragma once

#include "printing/printer.h"

#include <optional>
#include <string>

// The arithmetic of the preview window, free of any widget so it can be
// checked case by case: sheet and printable area on screen, the three zoom
// modes, margins in millimetres, margin dragging and the zoom field's text.
namespace tally::printing::preview {

// Which part of the sheet the drawing surface shows. The numbers are the
// ones stored as the preview's "ZoomType".
enum class ZoomMode
{
    ActualSize = 1,
    PageWidth = 2,
    WholePage = 3
};

// The zoom mode a stored "ZoomType" selects: none keeps actual size, 1 and
// 2 select actual size and page width, any other number the whole page.
ZoomMode ZoomModeFromStored(std::optional<int> stored);

// Pixels × 14400 / (Dpi × 567) in millimetres, plus 0.5, truncated; 0 when
// dpi is not positive.
int PixelsToMM(int pixels, int dpi);

// A length of the sheet in screen pixels scaled to the drawing surface,
// rounded to the nearest integer with ties to even.
int ToPreview(double x, double scale);

// The sheet and its printable area measured in screen pixels.
struct SheetGeometry
{
    int sheetWidth = 0;
    int sheetHeight = 0;
    // Printable area from the sheet's top-left corner; right and bottom are
    // the last pixel inside it.
    double printLeft = 0;
    double printTop = 0;
    double printRight = 0;
    double printBottom = 0;
    // Sheet size in millimetres, for the status bar.
    int paperWidthMM = 0;
    int paperHeightMM = 0;
};

// Converts the printer's device pixels to screen pixels of the given
// resolution. A printer that reports no resolution gives an empty sheet.
SheetGeometry MeasureSheet(const PrinterMetrics &metrics, int screenDpiX, int screenDpiY);

// Place and scale of the drawing surface inside the scrolling area.
struct SurfaceGeometry
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    double scale = 1.0;

    friend bool operator==(const SurfaceGeometry &, const SurfaceGeometry &) = default;
};

// Where the surface goes for a zoom mode, given the client size of the
// scrolling area without scroll bars and the width of a vertical scroll
// bar. An empty sheet gives an empty surface at scale 1.
SurfaceGeometry PlaceSurface(ZoomMode mode, int clientWidth, int clientHeight, int sheetWidth,
                             int sheetHeight, int scrollBarWidth);

// Which margin line the pointer is over: the left margin's vertical line
// wins when both are within reach.
enum class MarginLine
{
    None,
    Left,
    Top
};

// The line under the pointer (x, y) on the surface, for margins in layout
// pixels measured from the printable area.
MarginLine MarginLineAt(int x, int y, int marginX, int marginY, const SheetGeometry &sheet,
                        double scale);

// The margin that a pointer position on the surface stands for: ceiling of
// (position − printable edge on the surface) / scale. Not limited.
int MarginFromPointer(int position, double printEdge, double scale);

// Margins as kept when a drag ends: below 0 becomes 0, beyond the printable
// extent becomes its floor.
int ClampMarginX(int marginX, const SheetGeometry &sheet);
int ClampMarginY(int marginY, const SheetGeometry &sheet);

// Zoom field limits and the value its text stands for: the text read as an
// integer, 10 when it is not one, limited to 10..500.
inline constexpr int kMinZoom = 10;
inline constexpr int kMaxZoom = 500;
int ZoomFromText(const std::string &text);

// The zoom that fits a page of the given extent (layout pixels at 100
// percent) into the printable area, rounded with ties to even, before the
// zoom field's limits. Nothing when the page has no extent.
std::optional<int> FitZoom(const SheetGeometry &sheet, int pageWidth, int pageHeight);

// Margins that centre the page at the given zoom in the printable area;
// negative results become 0.
Point FitMargins(const SheetGeometry &sheet, int pageWidth, int pageHeight, int zoom);

} // namespace tally::printing::preview
