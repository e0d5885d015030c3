#pragma once

#include "printing/canvas.h"
#include "printing/penlines.h"
#include "printing/qt/fontselection.h"
#include "printing/qt/textplacement.h"

#include <QBrush>
#include <QFont>
#include <QLine>
#include <QPen>

#include <cstdint>
#include <vector>

class QPainter;

namespace tally::printing {

class CachedFont;

// A canvas over a QPainter: screen widgets, images and printers (PDF jobs
// go through PdfCanvas, which draws the same). The painter must be active
// and outlive the canvas, and is ended after it: lines are drawn by flush()
// or at the latest when the canvas ends, which leaves the painter's state as
// it found it. Fonts go through FontSubstitution and are resolved once per
// process (FontCache); text is placed by TextPlacement, so measuring and
// drawing agree and every Qt canvas draws the same glyphs at the same places.
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
    void setFontName(const std::string &name) override { m_font.setName(name); }
    void setFontSize(int points) override { m_font.setPoints(points); }
    void setFontHeight(int pixels) override { m_font.setHeight(pixels); }
    int fontHeight() const override { return m_font.height(); }
    void setFontStyle(unsigned styleBits) override { m_font.setStyle(styleBits); }
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

    // Draws the lines held back so far. Lines of one pen are drawn together
    // (a PDF stroke each costs a pen state and a path); the canvas does this
    // before any other drawing and when it ends, its owner before a new
    // page.
    void flush();

private:
    QPen currentPen() const;
    void applyPen();
    void drawRun(const TextPlacement &placement, const TextPlacement::Run &run,
                 const CachedFont &font);

    QPainter &m_painter;
    int m_dpiX;
    int m_dpiY;
    Point m_origin;
    Point m_position;
    FontSelection m_font;
    Color m_brushColor = kWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_penWidth = 1;
    Color m_penColor = kBlack;
    PenStyle m_penStyle = PenStyle::Solid;
    PenMode m_penMode = PenMode::Copy;
    // The font last set on the painter, if it still is.
    const CachedFont *m_painterFont = nullptr;
    // The painter's pen no longer matches the canvas pen.
    bool m_penDirty = true;
    // Lines of the current pen not drawn yet.
    PenLines m_lines;
    std::vector<QLine> m_drawn; // the lines handed to the painter, kept for its memory
};

} // namespace tally::printing
