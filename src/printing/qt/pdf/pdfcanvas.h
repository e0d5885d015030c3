#pragma once

#include "printing/canvas.h"
#include "printing/pdf/contentbuffer.h"
#include "printing/qt/textplacement.h"

#include <cstdint>
#include <string>
#include <unordered_set>
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
    void setFontName(const std::string &name) override;
    void setFontSize(int points) override;
    void setFontHeight(int pixels) override;
    int fontHeight() const override { return m_fontHeight; }
    void setFontStyle(unsigned styleBits) override;
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
    const CachedFont &cachedFont() const;
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
    std::string m_fontName = "宋体";
    int m_fontHeight;
    unsigned m_fontStyle = Regular;
    Color m_brushColor = kWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    int m_penWidth = 1;
    Color m_penColor = kBlack;
    PenStyle m_penStyle = PenStyle::Solid;
    PenMode m_penMode = PenMode::Copy;
    mutable const CachedFont *m_font = nullptr;

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

    // Lines of the current pen not drawn yet, each once (in absolute
    // device coordinates).
    struct Segment
    {
        std::uint64_t a;
        std::uint64_t b;
        friend bool operator==(const Segment &, const Segment &) = default;
    };
    struct SegmentHash
    {
        std::size_t operator()(const Segment &s) const
        {
            return std::hash<std::uint64_t>()(s.a * 0x9E3779B97F4A7C15ULL ^ s.b);
        }
    };
    std::vector<Segment> m_lines;
    std::unordered_set<Segment, SegmentHash> m_lineKeys;
};

} // namespace tally::printing
