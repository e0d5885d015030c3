#pragma once

#include "printing/canvas.h"
#include "printing/pdf/contentbuffer.h"
#include "printing/penlines.h"
#include "printing/qt/fontselection.h"
#include "printing/qt/textplacement.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tally::printing {

class CachedFont;

namespace pdf {
class EmbeddedFont;
class PdfDocument;
} // namespace pdf

// A canvas that writes a page's PDF content operators itself, drawing what
// QPainterCanvas draws into Qt's PDF output: the same fonts, glyphs and
// positions (both place text through TextPlacement), pens, fills and
// clips. Coordinates are device pixels of dpi per inch, written as short
// fixed-point numbers. Fonts go to the document, which embeds them when it
// is finished.
class PdfCanvas : public Canvas
{
public:
    // The document must outlive the canvas.
    PdfCanvas(pdf::PdfDocument &document, int dpi);

    // Starts a new, empty page of the height in points (the canvas origin
    // is the page's top-left corner).
    void beginPage(double heightPt);
    // The page's content so far, with held-back lines drawn.
    std::string_view finishPage();

    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    void setFontName(const std::string &name) override { m_font.setName(name); }
    void setFontSize(int points) override { m_font.setPoints(points); }
    void setFontHeight(int pixels) override { m_font.setHeight(pixels); }
    int fontHeight() const override { return m_font.height(); }
    void setFontStyle(unsigned styleBits) override { m_font.setStyle(styleBits); }
    void setBrushColor(Color color) override { m_brushColor = color; }
    void setBrushStyle(BrushStyle style) override { m_brushStyle = style; }
    void setPenWidth(int width) override;
    void setPenColor(Color color) override;
    void setPenStyle(PenStyle style) override;
    void setPenMode(PenMode mode) override;
    void moveTo(int x, int y) override { m_position = {x, y}; }
    void lineTo(int x, int y) override;
    void fillRect(const Rect &rect) override;
    void drawText(std::string_view text, const Rect &rect, unsigned flags) override;
    Rect measureText(std::string_view text, const Rect &rect, unsigned flags) override;
    void shiftOrigin(int dx, int dy) override;
    Point origin() const override { return m_origin; }

private:
    void flushLines();
    void applyStroke(Color color, double width, bool roundCap, PenStyle style);
    void applyFill(Color color);
    void forgetState();
    void rect(int x, int y, int w, int h);
    void drawRuns(const TextPlacement &placement, const CachedFont &font, double shift);
    void decorate(const TextPlacement &placement, const CachedFont &font);

    pdf::PdfDocument &m_document;
    int m_dpi;
    pdf::ContentBuffer m_content;
    Point m_origin;
    Point m_position;
    FontSelection m_font;
    Color m_brushColor = kWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_penWidth = 1;
    Color m_penColor = kBlack;
    PenStyle m_penStyle = PenStyle::Solid;
    PenMode m_penMode = PenMode::Copy;

    // The graphics state last written, so that unchanged settings are not
    // written again; unknown after a restore.
    struct Stroke
    {
        bool known = false;
        Color color;
        double width = -1;
        bool roundCap = false;
        PenStyle style = PenStyle::Solid;
    } m_stroke;
    bool m_fillKnown = false;
    Color m_fill;
    // The text font and size (Tf), which outlive text objects.
    const pdf::EmbeddedFont *m_textFont = nullptr;
    double m_textSize = 0;

    // Lines of the current pen not drawn yet (in absolute device
    // coordinates).
    PenLines m_lines;
};

} // namespace tally::printing
