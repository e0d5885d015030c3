#include "printing/qt/pdf/pdfcanvas.h"

#include "printing/pdf/pdfdocument.h"
#include "printing/pdf/pdfnumber.h"
#include "printing/printmath.h"
#include "printing/qt/fontcache.h"
#include "printing/qt/pdf/pdffontsource.h"

#include <charconv>
#include <cmath>

namespace tally::printing {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::uint64_t pointKey(int x, int y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
           static_cast<std::uint32_t>(y);
}

int keyX(std::uint64_t key)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 32));
}

int keyY(std::uint64_t key)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
}

// A colour component in [0, 1] to three decimals: exact enough for 8 bits.
void appendComponent(std::string &s, std::uint8_t c)
{
    const int v = (c * 1000 + 127) / 255;
    if (v == 0 || v == 1000) {
        s += v ? '1' : '0';
        return;
    }
    char digits[3] = {static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                      static_cast<char>('0' + v % 10)};
    int n = 3;
    while (digits[n - 1] == '0')
        --n;
    s += '.';
    s.append(digits, static_cast<std::size_t>(n));
}

void appendColor(std::string &s, Color c, const char *op)
{
    appendComponent(s, c.red);
    s += ' ';
    appendComponent(s, c.green);
    s += ' ';
    appendComponent(s, c.blue);
    s += op;
}

} // namespace

PdfCanvas::PdfCanvas(pdf::PdfDocument &document, int dpi)
    : m_document(document), m_dpi(dpi), m_fontHeight(MulDiv(10, dpi, 72))
{
}

void PdfCanvas::beginPage(double heightPt)
{
    m_content.clear();
    m_lines.clear();
    m_lineKeys.clear();
    forgetState();
    // Device pixels with y going down, as the bill draws.
    char buf[32];
    const double scale = 72.0 / m_dpi;
    char *end = std::to_chars(buf, buf + sizeof buf, scale, std::chars_format::fixed, 6).ptr;
    m_content.append(buf, end);
    m_content += " 0 0 -";
    m_content.append(buf, end);
    m_content += " 0 ";
    number(heightPt);
    m_content += "cm\n";
}

const std::string &PdfCanvas::finishPage()
{
    flushLines();
    return m_content;
}

void PdfCanvas::forgetState()
{
    m_stroke.known = false;
    m_fillKnown = false;
}

void PdfCanvas::number(double v)
{
    char buf[pdf::kNumberChars];
    char *end = pdf::formatNumber(buf, v);
    *end++ = ' ';
    m_content.append(buf, end);
}

void PdfCanvas::integer(int v)
{
    char buf[pdf::kNumberChars];
    char *end = pdf::formatInteger(buf, v);
    *end++ = ' ';
    m_content.append(buf, end);
}

void PdfCanvas::rect(int x, int y, int w, int h)
{
    integer(x);
    integer(y);
    integer(w);
    integer(h);
    m_content += "re ";
}

const CachedFont &PdfCanvas::cachedFont() const
{
    if (!m_font)
        m_font = &FontCache::get(m_fontName, m_fontHeight, m_fontStyle, m_dpi);
    return *m_font;
}

void PdfCanvas::setFontName(const std::string &name)
{
    if (name != m_fontName)
        m_font = nullptr;
    m_fontName = name;
}

void PdfCanvas::setFontSize(int points)
{
    setFontHeight(MulDiv(points, m_dpi, 72));
}

void PdfCanvas::setFontHeight(int pixels)
{
    if (pixels != m_fontHeight)
        m_font = nullptr;
    m_fontHeight = pixels;
}

void PdfCanvas::setFontStyle(unsigned styleBits)
{
    if (styleBits != m_fontStyle)
        m_font = nullptr;
    m_fontStyle = styleBits;
}

void PdfCanvas::setPenWidth(int width)
{
    if (width != m_penWidth)
        flushLines();
    m_penWidth = width;
}

void PdfCanvas::setPenColor(Color color)
{
    if (color != m_penColor)
        flushLines();
    m_penColor = color;
}

void PdfCanvas::setPenStyle(PenStyle style)
{
    if (style != m_penStyle)
        flushLines();
    m_penStyle = style;
}

void PdfCanvas::setPenMode(PenMode mode)
{
    // PDF has no raster operations: Qt's PDF output draws XOR lines as
    // ordinary ones, and so does this canvas.
    if (mode != m_penMode)
        flushLines();
    m_penMode = mode;
}

void PdfCanvas::applyStroke(Color color, double width, bool roundCap, PenStyle style)
{
    if (!m_stroke.known)
        m_content += "1 j ";
    if (!m_stroke.known || color != m_stroke.color)
        appendColor(m_content, color, " RG ");
    if (!m_stroke.known || width != m_stroke.width) {
        number(width);
        m_content += "w ";
    }
    if (!m_stroke.known || roundCap != m_stroke.roundCap)
        m_content += roundCap ? "1 J " : "0 J ";
    if (!m_stroke.known || style != m_stroke.style || width != m_stroke.width) {
        // Qt's dash patterns, in pen widths (a cosmetic pen counts as 1).
        const double w = width > 0 ? width : 1;
        m_content += '[';
        const auto dashes = [&](std::initializer_list<double> pattern) {
            for (const double d : pattern)
                number(d * w);
        };
        switch (style) {
        case PenStyle::Dash:
            dashes({4, 2});
            break;
        case PenStyle::Dot:
            dashes({1, 2});
            break;
        case PenStyle::DashDot:
            dashes({4, 2, 1, 2});
            break;
        default:
            break;
        }
        m_content += "]0 d\n";
    }
    m_stroke = {true, color, width, roundCap, style};
}

void PdfCanvas::applyFill(Color color)
{
    if (m_fillKnown && color == m_fill)
        return;
    appendColor(m_content, color, " rg\n");
    m_fill = color;
    m_fillKnown = true;
}

void PdfCanvas::flushLines()
{
    if (m_lines.empty())
        return;
    // Thin lines leave out their end point, wide ones get round ends that
    // close the corners where grid lines meet, as QPainterCanvas's pens.
    applyStroke(m_penColor, std::max(m_penWidth, 0), m_penWidth > 1, m_penStyle);
    for (const Segment &s : m_lines) {
        integer(keyX(s.a));
        integer(keyY(s.a));
        m_content += "m ";
        integer(keyX(s.b));
        integer(keyY(s.b));
        m_content += "l\n";
    }
    m_content += "S\n";
    m_lines.clear();
    m_lineKeys.clear();
}

void PdfCanvas::lineTo(int x, int y)
{
    const Point from{m_position.x + m_origin.x, m_position.y + m_origin.y};
    const Point to{x + m_origin.x, y + m_origin.y};
    m_position = {x, y};
    if (m_penStyle == PenStyle::Clear)
        return;
    const std::uint64_t a = pointKey(from.x, from.y);
    const std::uint64_t b = pointKey(to.x, to.y);
    if (m_penMode == PenMode::Xor) {
        // Each XOR line is drawn, crossing or not.
        flushLines();
        m_lines.push_back({a, b});
        flushLines();
        return;
    }
    // Neighbouring cells share borders; a line drawn twice in opaque ink
    // looks as drawn once.
    if (m_lineKeys.insert({std::min(a, b), std::max(a, b)}).second)
        m_lines.push_back({a, b});
}

void PdfCanvas::fillRect(const Rect &r)
{
    if (m_brushStyle == BrushStyle::Clear || r.width() <= 0 || r.height() <= 0)
        return;
    flushLines();
    applyFill(m_brushColor);
    rect(r.left + m_origin.x, r.top + m_origin.y, r.width(), r.height());
    m_content += "f\n";
}

void PdfCanvas::drawRuns(const TextPlacement &placement, const CachedFont &font, double shift)
{
    const PdfFontSource::TextFont &textFont = PdfFontSource::of(font);
    const double size = font.font().pixelSize();
    const double unit = size / 1000; // pixels per thousandth of the em
    const pdf::EmbeddedFont *current = nullptr;
    m_content += "BT\n";
    for (const TextPlacement::Run &run : placement.runs()) {
        std::size_t i = run.first;
        const std::size_t end = run.first + run.count;
        while (i < end) {
            // A piece of the run in one face.
            const TextPlacement::Glyph &g0 = placement.glyphs()[i];
            const pdf::FontFace *face = textFont.face;
            if (g0.glyph->index == 0)
                face = PdfFontSource::fallback(font, g0.character).face;
            if (!face) {
                ++i; // no font has it; Qt draws nothing visible either
                continue;
            }
            pdf::EmbeddedFont &embedded = m_document.font(*face);
            if (&embedded != current) {
                m_content += '/';
                m_content += embedded.resource();
                m_content += ' ';
                number(size);
                m_content += "Tf\n";
                current = &embedded;
            }
            m_content += textFont.syntheticItalic ? "1 0 .3 -1 " : "1 0 0 -1 ";
            const double startX = g0.x;
            number(m_origin.x + run.x + startX + shift);
            number(m_origin.y + run.baseline);
            m_content += "Tm[<";
            double pen = 0; // where the next glyph would go, from startX
            for (; i < end; ++i) {
                const TextPlacement::Glyph &g = placement.glyphs()[i];
                std::uint32_t index = g.glyph->index;
                if (index == 0) {
                    const PdfFontSource::FallbackGlyph f =
                        PdfFontSource::fallback(font, g.character);
                    if (f.face != face)
                        break;
                    index = f.index;
                } else if (face != textFont.face) {
                    break;
                }
                const pdf::EmbeddedFont::Cid cid = embedded.cid(index, g.character);
                // Glyphs go where Qt's layout put them: the widths move the
                // pen, an adjustment in thousandths of the em corrects it.
                const long adjust = std::lround((pen - (g.x - startX)) / unit);
                if (adjust != 0) {
                    m_content += '>';
                    char buf[pdf::kNumberChars];
                    m_content.append(buf, pdf::formatInteger(buf, adjust));
                    m_content += '<';
                    pen -= adjust * unit;
                }
                const char hex[4] = {kHex[cid.cid >> 12], kHex[(cid.cid >> 8) & 0xF],
                                     kHex[(cid.cid >> 4) & 0xF], kHex[cid.cid & 0xF]};
                m_content.append(hex, 4);
                pen += cid.width * unit;
            }
            m_content += ">]TJ\n";
        }
    }
    m_content += "ET\n";
}

void PdfCanvas::decorate(const TextPlacement &placement, const CachedFont &font)
{
    // Where Qt's painter puts underline and strike-out lines.
    const double thickness = font.lineWidth();
    const double underlineOffset = font.underlinePos();
    double adjustedUnderline = std::ceil(underlineOffset) + 0.5;
    const double descent = font.metrics().descent();
    if (underlineOffset <= descent)
        adjustedUnderline = std::min(adjustedUnderline, descent - 0.5);
    applyStroke(kBlack, thickness, false, PenStyle::Solid);
    for (const TextPlacement::Run &run : placement.runs()) {
        if (run.width <= 0)
            continue;
        const double x1 = std::floor(m_origin.x + run.x);
        const double x2 = std::floor(m_origin.x + run.x + run.width);
        const double baseline = m_origin.y + run.baseline;
        const auto line = [&](double y) {
            number(x1);
            number(y);
            m_content += "m ";
            number(x2);
            number(y);
            m_content += "l S\n";
        };
        if (m_fontStyle & Underline)
            line(baseline + adjustedUnderline);
        if (m_fontStyle & StrikeOut)
            line(baseline - font.ascent() / 3);
    }
}

void PdfCanvas::drawText(std::string_view text, const Rect &r, unsigned flags)
{
    flushLines();
    const CachedFont &font = cachedFont();
    const TextPlacement placement(text, r, flags, font);
    const bool clip = placement.needsClip();
    if (clip) {
        m_content += "q ";
        rect(r.left + m_origin.x, r.top + m_origin.y, r.width(), r.height());
        m_content += "W n\n";
    }
    if (m_brushStyle == BrushStyle::Solid) {
        for (const TextPlacement::Line &line : placement.lines()) {
            const Rect &box = line.background;
            applyFill(m_brushColor);
            rect(box.left + m_origin.x, box.top + m_origin.y, box.width(), box.height());
            m_content += "f\n";
        }
    }
    if (!placement.glyphs().empty()) {
        // Text is black whatever the pen.
        applyFill(kBlack);
        drawRuns(placement, font, 0);
        if (PdfFontSource::of(font).syntheticBold) {
            // Qt's imitation of bold: the glyphs again, half a line width to
            // the left, marked so that text extraction reads them once.
            m_content += "/Span<</ActualText<>>>BDC\n";
            drawRuns(placement, font, -0.5 * font.lineWidth());
            m_content += "EMC\n";
        }
        if (m_fontStyle & (Underline | StrikeOut))
            decorate(placement, font);
    }
    if (clip) {
        m_content += "Q\n";
        forgetState();
    }
}

Rect PdfCanvas::measureText(std::string_view text, const Rect &rect, unsigned flags)
{
    const TextLayout layout =
        TextLayout::layout(text, rect.width(), flags, CachedMetrics(cachedFont()));
    Rect out = rect;
    out.bottom = rect.top + layout.height();
    if (!(flags & WordBreak))
        out.right = rect.left + layout.width();
    return out;
}

void PdfCanvas::shiftOrigin(int dx, int dy)
{
    m_origin.x += dx;
    m_origin.y += dy;
}

} // namespace tally::printing
