#pragma once

#include "printing/canvas.h"

#include <string>
#include <vector>

namespace tally::printing {

// A canvas that draws nothing and records every call, with coordinates
// already moved by the origin, so tests can assert exact device pixels.
// Text metrics are deterministic: a character below U+1100 is half the font
// height wide (truncated), any other character the full height; a line is
// the font height tall; the average character width is half the height.
class RecordingCanvas : public Canvas
{
public:
    enum class Op
    {
        FontName,
        FontSize,
        FontHeight,
        FontStyle,
        BrushColor,
        BrushStyle,
        PenWidth,
        PenColor,
        PenStyle,
        PenMode,
        MoveTo,
        LineTo,
        FillRect,
        DrawText,
        MeasureText,
        ShiftOrigin,
    };

    // One recorded call. Which members carry data depends on op: points in
    // a (MoveTo, LineTo: device x, y; ShiftOrigin: dx, dy), rect for
    // FillRect/DrawText/MeasureText (device pixels), value for sizes, widths,
    // styles and flags, color for colours, text for names and texts. A
    // DrawText also records the font in force (fontName, fontHeight,
    // fontStyle) and the brush style as value2 (0 solid, 1 clear).
    struct Call
    {
        Op op{};
        Point a;
        Rect rect;
        int value = 0;
        int value2 = 0;
        Color color;
        std::string text;
        std::string fontName;
        int fontHeight = 0;
        unsigned fontStyle = 0;
    };

    // A canvas of the given resolution (pixels per inch).
    explicit RecordingCanvas(int dpiX = 96, int dpiY = 96);

    const std::vector<Call> &calls() const { return m_calls; }
    void clear() { m_calls.clear(); }

    // The calls of one kind, in order.
    std::vector<Call> callsOf(Op op) const;

    // One line per call ("lineTo 10,20", "fillRect 1,1,64,22", ...), for
    // readable failure messages and golden comparisons.
    std::string dump() const;

    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    void setFontName(const std::string &name) override;
    void setFontSize(int points) override;
    void setFontHeight(int pixels) override;
    int fontHeight() const override { return m_fontHeight; }
    void setFontStyle(unsigned styleBits) override;
    void setBrushColor(Color color) override;
    void setBrushStyle(BrushStyle style) override;
    void setPenWidth(int width) override;
    void setPenColor(Color color) override;
    void setPenStyle(PenStyle style) override;
    void setPenMode(PenMode mode) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void fillRect(const Rect &rect) override;
    void drawText(std::string_view text, const Rect &rect, unsigned flags) override;
    Rect measureText(std::string_view text, const Rect &rect, unsigned flags) override;
    void shiftOrigin(int dx, int dy) override;
    Point origin() const override { return m_origin; }

private:
    Call &record(Op op);

    int m_dpiX;
    int m_dpiY;
    Point m_origin;
    std::string m_fontName = "宋体";
    int m_fontHeight;
    unsigned m_fontStyle = Regular;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    std::vector<Call> m_calls;
};

} // namespace tally::printing
