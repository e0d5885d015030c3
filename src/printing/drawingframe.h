#pragma once

#include "base/screenresolution.h"
#include "printing/canvastypes.h"

namespace tally::printing {

// The drawing state of one page drawing: the target's resolution and the
// effective zoom. It is a value handed down through the drawing calls, so
// two drawings at the same time never see each other's state.
class DrawingFrame
{
public:
    DrawingFrame() = default;
    // zoom in percent (Scale × ZoomRatio while printing or previewing).
    DrawingFrame(int deviceDpiX, int deviceDpiY, double zoom, int screenPpi = kDefaultScreenPpi);

    int DeviceDpiX() const { return m_dpiX; }
    int DeviceDpiY() const { return m_dpiY; }
    double DrawZoom() const { return m_zoom; }
    int ScreenPPI() const { return m_screenPpi; }

    // A layout length in device pixels: dpi × zoom × a / ScreenPPI / 100,
    // plus 0.5, truncated toward zero.
    int ScaleX(int a) const;
    int ScaleY(int a) const;
    // Left and right through ScaleX, top and bottom through ScaleY.
    Rect ScaleRect(const Rect &r) const;

    // The pixel height of a font whose point size gave deviceHeight on the
    // target: deviceHeight × zoom / 100 rounded, ties to even.
    int ScaleFontHeight(int deviceHeight) const;

private:
    int m_dpiX = kDefaultScreenPpi;
    int m_dpiY = kDefaultScreenPpi;
    double m_zoom = 100.0;
    int m_screenPpi = kDefaultScreenPpi;
};

} // namespace tally::printing
