#pragma once

#include "printing/canvastypes.h"

#include <string>
#include <string_view>

namespace tally::printing {

// The drawing surface a bill draws on: a printer page, a preview, an image or
// a recording for tests. Coordinates are device pixels relative to the
// current origin. A canvas starts with a black solid pen of width 1 in copy
// mode, a white solid brush and a 10-point regular font.
class Canvas
{
public:
    enum class BrushStyle
    {
        Solid,
        Clear
    };
    enum class PenStyle
    {
        Solid,
        Dash,
        Dot,
        DashDot,
        Clear
    };
    enum class PenMode
    {
        Copy,
        Xor
    };

    // Font style bits.
    enum FontStyle : unsigned
    {
        Regular = 0,
        Bold = 1,
        Italic = 2,
        Underline = 4,
        StrikeOut = 8,
    };

    // Text format bits for drawText and measureText. Horizontal alignment is
    // AlignLeft (0), AlignRight or AlignCenter.
    enum TextFlag : unsigned
    {
        AlignLeft = 0,
        AlignRight = 0x1,
        AlignCenter = 0x2,
        WordBreak = 0x10,  // break lines at word boundaries to fit the width
        NoClip = 0x100,    // draw outside the rectangle where the text needs it
        ExpandTabs = 0x40, // tab stops every eight average character widths
        NoPrefix = 0x800,  // '&' is an ordinary character
    };

    virtual ~Canvas() = default;

    // Pixels per inch of the device, horizontally and vertically.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    // Font selection. setFontSize sets the pixel height that the point size
    // gives on this device (points x dpiY / 72, rounded); setFontHeight then
    // replaces the pixel height (character height without leading).
    virtual void setFontName(const std::string &name) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setFontHeight(int pixels) = 0;
    virtual int fontHeight() const = 0;
    virtual void setFontStyle(unsigned styleBits) = 0;

    virtual void setBrushColor(Color color) = 0;
    virtual void setBrushStyle(BrushStyle style) = 0;

    // A width of 0 draws one device pixel wide.
    virtual void setPenWidth(int width) = 0;
    virtual void setPenColor(Color color) = 0;
    virtual void setPenStyle(PenStyle style) = 0;
    virtual void setPenMode(PenMode mode) = 0;

    // Line drawing: lineTo draws from the current position to (x, y), the
    // end point excluded, and makes (x, y) the current position.
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;

    // Fills the rectangle with the brush, right and bottom edges excluded.
    // Does nothing with a clear brush.
    virtual void fillRect(const Rect &rect) = 0;

    // Draws text into the rectangle with the format bits, top-aligned.
    // Text is UTF-8; CR LF and LF break lines. Clipped to the rectangle
    // unless NoClip is given. The brush style decides whether the text
    // background is filled.
    virtual void drawText(std::string_view text, const Rect &rect, unsigned flags) = 0;

    // The rectangle the text needs with these format bits: left and top of
    // rect kept, bottom extended to the text's height; without WordBreak the
    // right edge becomes left + the widest line.
    virtual Rect measureText(std::string_view text, const Rect &rect, unsigned flags) = 0;

    // Moves the drawing origin by (dx, dy) device pixels: afterwards (0, 0)
    // addresses what was (dx, dy).
    virtual void shiftOrigin(int dx, int dy) = 0;
    virtual Point origin() const = 0;
};

} // namespace tally::printing
