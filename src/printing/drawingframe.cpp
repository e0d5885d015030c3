#include "printing/drawingframe.h"

#include "printing/printmath.h"

#include <limits>

namespace tally::printing {

namespace {

int scale(int dpi, double zoom, int a, int screenPpi)
{
    // Same operation order as the layouts were designed against.
    const double v = static_cast<double>(dpi) * zoom * a / screenPpi / 100.0 + 0.5;
    // A stored zoom can be anything; saturate rather than overflow.
    if (!(v < static_cast<double>(std::numeric_limits<int>::max())))
        return std::numeric_limits<int>::max();
    if (!(v > static_cast<double>(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

} // namespace

DrawingFrame::DrawingFrame(int deviceDpiX, int deviceDpiY, double zoom, int screenPpi)
    : m_dpiX(deviceDpiX), m_dpiY(deviceDpiY), m_zoom(zoom),
      m_screenPpi(screenPpi > 0 ? screenPpi : kDefaultScreenPpi)
{
}

int DrawingFrame::ScaleX(int a) const
{
    return scale(m_dpiX, m_zoom, a, m_screenPpi);
}

int DrawingFrame::ScaleY(int a) const
{
    return scale(m_dpiY, m_zoom, a, m_screenPpi);
}

Rect DrawingFrame::ScaleRect(const Rect &r) const
{
    return {ScaleX(r.left), ScaleY(r.top), ScaleX(r.right), ScaleY(r.bottom)};
}

int DrawingFrame::ScaleFontHeight(int deviceHeight) const
{
    return RoundHalfEven(deviceHeight * m_zoom / 100.0);
}

} // namespace tally::printing
