#include "printing/qt/pdf/pdfcanvas.h"

#include "printing/pdf/pdfdocument.h"
#include "printing/pdf/pdfnumber.h"
#include "printing/printmath.h"
#include "printing/qt/fontcache.h"
#include "printing/qt/pdf/pdffontsource.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tally::printing {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// A colour component in [0, 1] to three decimals: exact enough for 8 bits.
void appendComponent(pdf::ContentBuffer &s, std::uint8_t c)
{
    const int v = (c * 1000 + 127) / 255;
    if (v == 0 || v == 1000) {
        s.append(v ? '1' : '0');
        return;
    }
    char digits[4] = {'.', static_cast<char>('0' + v / 100), static_cast<char>('0' + v / 10 % 10),
                      static_cast<char>('0' + v % 10)};
    std::size_t n = 4;
    while (digits[n - 1] == '0')
        --n;
    s.append(std::string_view(digits, n));
}

// A colour as a stroking or filling operator; greys as grey, which is
// shorter and draws the same.
void appendColor(pdf::ContentBuffer &s, Color c, bool stroke)
{
    if (c.red == c.green && c.green == c.blue) {
        appendComponent(s, c.red);
        s.append(stroke ? " G " : " g ");
        return;
    }
    appendComponent(s, c.red);
    s.append(' ');
    appendComponent(s, c.green);
    s.append(' ');
    appendComponent(s, c.blue);
    s.append(stroke ? " RG " : " rg ");
}

} // namespace

PdfCanvas::PdfCanvas(pdf::PdfDocument &document, int dpi)
    : m_document(document), m_dpi(dpi), m_font(dpi)
{
}

void PdfCanvas::beginPage(double heightPt)
{
    m_content.clear();
    m_lines.clear();
    forgetState();
    // Device pixels with y going down, as the bill draws.
    char buf[32];
    const double scale = 72.0 / m_dpi;
    char *end = std::to_chars(buf, buf + sizeof buf, scale, std::chars_format::fixed, 6).ptr;
    const std::string_view scaleText(buf, static_cast<std::size_t>(end - buf));
    m_content.append(scaleText);
    m_content.append(" 0 0 -");
    m_content.append(scaleText);
    m_content.append(" 0 ");
    m_content.number(heightPt);
    m_content.append("cm\n");
}

std::string_view PdfCanvas::finishPage()
{
    flushLines();
    return m_content.view();
}

void PdfCanvas::forgetState()
{
    m_stroke.known = false;
    m_fillKnown = false;
    m_textFont = nullptr;
}

void PdfCanvas::rect(int x, int y, int w, int h)
{
    m_content.integer(x);
    m_content.integer(y);
    m_content.integer(w);
    m_content.integer(h);
    m_content.append("re ");
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
        m_content.append("1 j ");
    if (!m_stroke.known || color != m_stroke.color)
        appendColor(m_content, color, true);
    if (!m_stroke.known || width != m_stroke.width) {
        m_content.number(width);
        m_content.append("w ");
    }
    if (!m_stroke.known || roundCap != m_stroke.roundCap)
        m_content.append(roundCap ? "1 J " : "0 J ");
    if (!m_stroke.known || style != m_stroke.style || width != m_stroke.width) {
        // Qt's dash patterns, in pen widths (a cosmetic pen counts as 1).
        const double w = width > 0 ? width : 1;
        m_content.append('[');
        const auto dashes = [&](std::initializer_list<double> pattern) {
            for (const double d : pattern)
                m_content.number(d * w);
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
        m_content.append("]0 d\n");
    }
    m_stroke = {true, color, width, roundCap, style};
}

void PdfCanvas::applyFill(Color color)
{
    if (m_fillKnown && color == m_fill)
        return;
    appendColor(m_content, color, false);
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
    const auto point = [this](Point p, const char *op) {
        m_content.integer(p.x);
        m_content.integer(p.y);
        m_content.append(op);
    };
    // A stroke with round ends and joins covers every point within half the
    // width of its path, however the path is cut into pieces: solid round
    // lines that meet are joined into one piece (a cell's border is one
    // instead of four), which makes the page shorter to write and to
    // compress. Dashes would restart at each piece, so they stay apart.
    constexpr std::size_t kJoined = 64;
    const std::vector<PenLines::Line> &lines = m_lines.lines();
    const bool join = m_penWidth > 1 && m_penStyle == PenStyle::Solid && lines.size() <= kJoined;
    if (!join) {
        for (const PenLines::Line &l : lines) {
            point(l.from, "m ");
            point(l.to, "l\n");
        }
    } else {
        std::array<bool, kJoined> used{};
        for (std::size_t first = 0; first < lines.size(); ++first) {
            if (used[first])
                continue;
            point(lines[first].from, "m ");
            Point end = lines[first].to;
            point(end, "l ");
            used[first] = true;
            for (std::size_t i = first + 1; i < lines.size(); ++i) {
                const PenLines::Line &next = lines[i];
                if (used[i] || (next.from != end && next.to != end))
                    continue;
                end = next.from == end ? next.to : next.from;
                point(end, "l ");
                used[i] = true;
                i = first; // look again from the start for what meets the new end
            }
            m_content.append('\n');
        }
    }
    m_content.append("S\n");
    m_lines.clear();
}

void PdfCanvas::lineTo(int x, int y)
{
    const Point from{m_position.x + m_origin.x, m_position.y + m_origin.y};
    const Point to{x + m_origin.x, y + m_origin.y};
    m_position = {x, y};
    if (m_penStyle == PenStyle::Clear)
        return;
    if (m_penMode == PenMode::Xor) {
        // Each XOR line is drawn, crossing or not.
        flushLines();
        m_lines.addAgain(from, to);
        flushLines();
        return;
    }
    m_lines.add(from, to);
}

void PdfCanvas::fillRect(const Rect &r)
{
    if (m_brushStyle == BrushStyle::Clear || r.width() <= 0 || r.height() <= 0)
        return;
    flushLines();
    applyFill(m_brushColor);
    rect(r.left + m_origin.x, r.top + m_origin.y, r.width(), r.height());
    m_content.append("f\n");
}

void PdfCanvas::drawRuns(const TextPlacement &placement, const CachedFont &font, double shift)
{
    const PdfFontSource::TextFont &textFont = PdfFontSource::of(font);
    const double size = font.font().pixelSize();
    const double unit = size / 1000; // pixels per thousandth of the em
    m_content.append("BT\n");
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
            if (&embedded != m_textFont || size != m_textSize) {
                m_content.append('/');
                m_content.append(embedded.resource());
                m_content.append(' ');
                m_content.number(size);
                m_content.append("Tf\n");
                m_textFont = &embedded;
                m_textSize = size;
            }
            m_content.append(textFont.syntheticItalic ? "1 0 .3 -1 " : "1 0 0 -1 ");
            const double startX = g0.x;
            m_content.number(m_origin.x + run.x + startX + shift);
            m_content.number(m_origin.y + run.baseline);
            m_content.append("Tm[<");
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
                    m_content.append('>');
                    m_content.commit(
                        pdf::formatInteger(m_content.reserve(pdf::kNumberChars), adjust));
                    m_content.append('<');
                    pen -= adjust * unit;
                }
                const char hex[4] = {kHex[cid.cid >> 12], kHex[(cid.cid >> 8) & 0xF],
                                     kHex[(cid.cid >> 4) & 0xF], kHex[cid.cid & 0xF]};
                m_content.append(std::string_view(hex, 4));
                pen += cid.width * unit;
            }
            m_content.append(">]TJ\n");
        }
    }
    m_content.append("ET\n");
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
            m_content.number(x1);
            m_content.number(y);
            m_content.append("m ");
            m_content.number(x2);
            m_content.number(y);
            m_content.append("l S\n");
        };
        if (m_font.style() & Underline)
            line(baseline + adjustedUnderline);
        if (m_font.style() & StrikeOut)
            line(baseline - font.ascent() / 3);
    }
}

void PdfCanvas::drawText(std::string_view text, const Rect &r, unsigned flags)
{
    flushLines();
    const CachedFont &font = m_font.font();
    const TextPlacement placement(text, r, flags, font);
    const bool clip = placement.needsClip();
    if (clip) {
        m_content.append("q ");
        rect(r.left + m_origin.x, r.top + m_origin.y, r.width(), r.height());
        m_content.append("W n\n");
    }
    if (m_brushStyle == BrushStyle::Solid) {
        for (const TextPlacement::Line &line : placement.lines()) {
            const Rect &box = line.background;
            applyFill(m_brushColor);
            rect(box.left + m_origin.x, box.top + m_origin.y, box.width(), box.height());
            m_content.append("f\n");
        }
    }
    if (!placement.glyphs().empty()) {
        // Text is black whatever the pen.
        applyFill(kBlack);
        drawRuns(placement, font, 0);
        if (PdfFontSource::of(font).syntheticBold) {
            // Qt's imitation of bold: the glyphs again, half a line width to
            // the left, marked so that text extraction reads them once.
            m_content.append("/Span<</ActualText<>>>BDC\n");
            drawRuns(placement, font, -0.5 * font.lineWidth());
            m_content.append("EMC\n");
        }
        if (m_font.style() & (Underline | StrikeOut))
            decorate(placement, font);
    }
    if (clip) {
        m_content.append("Q\n");
        forgetState();
    }
}

Rect PdfCanvas::measureText(std::string_view text, const Rect &rect, unsigned flags)
{
    const TextLayout layout =
        TextLayout::layout(text, rect.width(), flags, CachedMetrics(m_font.font()));
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
