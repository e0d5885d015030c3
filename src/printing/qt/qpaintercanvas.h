#pragma once

#include "printing/canvas.h"

#include <QBrush>
#include <QFont>
#include <QPen>

class QPainter;

namespace tally::printing {

// A canvas over a QPainter: screen widgets, images, printers and PDF files.
// The painter must be active and outlive the canvas. Fonts go through
// FontSubstitution; text is laid out by TextLayout so measuring and drawing
// agree.
class QPainterCanvas : public Canvas
{
public:
    // Uses the resolution of the painter's device.
    explicit QPainterCanvas(QPainter &painter);
    // Uses the given resolution (pixels per inch).
    QPainterCanvas(QPainter &painter, int dpiX, int dpiY);
    ~QPainterCanvas() override;

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

    // The font the canvas draws text with now.
    QFont currentFont() const;

private:
    QPen currentPen() const;

    QPainter &m_painter;
    int m_dpiX;
    int m_dpiY;
    Point m_origin;
    Point m_position;
    std::string m_fontName = "宋体";
    int m_fontHeight;
    unsigned m_fontStyle = Regular;
    Color m_brushColor = kWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_penWidth = 1;
    Color m_penColor = kBlack;
    PenStyle m_penStyle = PenStyle::Solid;
    PenMode m_penMode = PenMode::Copy;
};

} // namespace tally::printing
