#include "printing/qt/preview/previewgeometry.h"

#include "printing/printmath.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace tally::printing::preview {

namespace {

constexpr int kSurfaceMargin = 10;
constexpr int kLineReach = 3;

double printWidth(const SheetGeometry &sheet)
{
    return sheet.printRight - sheet.printLeft;
}

double printHeight(const SheetGeometry &sheet)
{
    return sheet.printBottom - sheet.printTop;
}

int clampMargin(int margin, double extent)
{
    if (margin < 0)
        return 0;
    if (margin > extent)
        return static_cast<int>(std::floor(extent));
    return margin;
}

} // namespace

ZoomMode ZoomModeFromStored(std::optional<int> stored)
{
    if (!stored)
        return ZoomMode::ActualSize;
    switch (*stored) {
    case 1:
        return ZoomMode::ActualSize;
    case 2:
        return ZoomMode::PageWidth;
    default:
        return ZoomMode::WholePage;
    }
}

int PixelsToMM(int pixels, int dpi)
{
    if (dpi <= 0)
        return 0;
    // 14400 twips per inch, 567 twips per centimetre; 64 bits so that a
    // large sheet cannot overflow.
    const double v = static_cast<double>(static_cast<std::int64_t>(pixels) * 14400) /
                         static_cast<double>(static_cast<std::int64_t>(dpi) * 567) +
                     0.5;
    return static_cast<int>(v);
}

int ToPreview(double x, double scale)
{
    return RoundHalfEven(x * scale);
}

SheetGeometry MeasureSheet(const PrinterMetrics &m, int screenDpiX, int screenDpiY)
{
    SheetGeometry g;
    if (m.dpiX <= 0 || m.dpiY <= 0)
        return g;
    g.paperWidthMM = PixelsToMM(m.paperWidth, m.dpiX);
    g.paperHeightMM = PixelsToMM(m.paperHeight, m.dpiY);
    g.sheetWidth = static_cast<int>(static_cast<std::int64_t>(screenDpiX) * m.paperWidth / m.dpiX);
    g.sheetHeight =
        static_cast<int>(static_cast<std::int64_t>(screenDpiY) * m.paperHeight / m.dpiY);
    const double fx = static_cast<double>(screenDpiX) / m.dpiX;
    const double fy = static_cast<double>(screenDpiY) / m.dpiY;
    g.printLeft = m.offsetX * fx;
    g.printRight = (m.pageWidth + m.offsetX - 1) * fx;
    g.printTop = m.offsetY * fy;
    g.printBottom = (m.pageHeight + m.offsetY - 1) * fy;
    return g;
}

SurfaceGeometry PlaceSurface(ZoomMode mode, int clientWidth, int clientHeight, int sheetWidth,
                             int sheetHeight, int scrollBarWidth)
{
    SurfaceGeometry s;
    s.left = kSurfaceMargin;
    s.top = kSurfaceMargin;
    if (sheetWidth <= 0 || sheetHeight <= 0)
        return s;
    switch (mode) {
    case ZoomMode::ActualSize:
        s.width = sheetWidth;
        s.height = sheetHeight;
        s.scale = 1.0;
        break;
    case ZoomMode::PageWidth: {
        auto fitWidth = [&](int width) {
            s.width = std::max(width, 1);
            s.scale = static_cast<double>(s.width) / sheetWidth;
            s.height = ToPreview(sheetHeight, s.scale);
        };
        fitWidth(clientWidth - 2 * kSurfaceMargin);
        // Room for the vertical scroll bar the tall sheet will need.
        if (clientHeight + 2 * kSurfaceMargin < s.height)
            fitWidth(s.width - scrollBarWidth);
        break;
    }
    case ZoomMode::WholePage: {
        int width = std::max(clientWidth - 2 * kSurfaceMargin, 1);
        int height = static_cast<int>(static_cast<std::int64_t>(width) * sheetHeight / sheetWidth);
        if (clientHeight < height + 2 * kSurfaceMargin) {
            height = std::max(clientHeight - 2 * kSurfaceMargin, 1);
            width = static_cast<int>(static_cast<std::int64_t>(height) * sheetWidth / sheetHeight);
        }
        s.width = std::max(width, 1);
        s.height = std::max(height, 1);
        s.left = (clientWidth - s.width) / 2;
        s.scale = static_cast<double>(s.width) / sheetWidth;
        break;
    }
    }
    return s;
}

MarginLine MarginLineAt(int x, int y, int marginX, int marginY, const SheetGeometry &sheet,
                        double scale)
{
    if (std::abs(x - ToPreview(marginX + sheet.printLeft, scale)) < kLineReach)
        return MarginLine::Left;
    if (std::abs(y - ToPreview(marginY + sheet.printTop, scale)) < kLineReach)
        return MarginLine::Top;
    return MarginLine::None;
}

int MarginFromPointer(int position, double printEdge, double scale)
{
    if (scale <= 0)
        return 0;
    return static_cast<int>(std::ceil((position - ToPreview(printEdge, scale)) / scale));
}

int ClampMarginX(int marginX, const SheetGeometry &sheet)
{
    return clampMargin(marginX, printWidth(sheet));
}

int ClampMarginY(int marginY, const SheetGeometry &sheet)
{
    return clampMargin(marginY, printHeight(sheet));
}

int ZoomFromText(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    int value = kMinZoom;
    if (first != std::string::npos) {
        const char *begin = text.data() + first;
        const char *end = text.data() + last + 1;
        if (*begin == '+')
            ++begin;
        int parsed = 0;
        const auto [ptr, ec] = std::from_chars(begin, end, parsed);
        if (ec == std::errc() && ptr == end)
            value = parsed;
        else if (ec == std::errc::result_out_of_range)
            value = (*begin == '-') ? kMinZoom : kMaxZoom;
    }
    return std::clamp(value, kMinZoom, kMaxZoom);
}

std::optional<int> FitZoom(const SheetGeometry &sheet, int pageWidth, int pageHeight)
{
    if (pageWidth <= 0 || pageHeight <= 0)
        return std::nullopt;
    const double zx = printWidth(sheet) * 100 / pageWidth;
    const double zy = printHeight(sheet) * 100 / pageHeight;
    return RoundHalfEven(zx > zy ? zy : zx);
}

Point FitMargins(const SheetGeometry &sheet, int pageWidth, int pageHeight, int zoom)
{
    const auto centre = [](double extent, int page, int z) {
        const int m = static_cast<int>(std::ceil((extent - page * z / 100.0) / 2));
        return std::max(m, 0);
    };
    return {centre(printWidth(sheet), pageWidth, zoom),
            centre(printHeight(sheet), pageHeight, zoom)};
}

} // namespace tally::printing::preview
