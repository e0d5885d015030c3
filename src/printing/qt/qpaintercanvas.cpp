#include "printing/qt/qpaintercanvas.h"

#include "printing/printmath.h"
#include "printing/qt/fontcache.h"
#include "printing/qt/textplacement.h"
#include "printing/textlayout.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace tally::printing {

namespace {

QColor toQColor(Color c)
{
    return QColor(c.red, c.green, c.blue);
}

} // namespace

QPainterCanvas::QPainterCanvas(QPainter &painter)
    : QPainterCanvas(painter, painter.device() ? painter.device()->logicalDpiX() : 96,
                     painter.device() ? painter.device()->logicalDpiY() : 96)
{
}

QPainterCanvas::QPainterCanvas(QPainter &painter, int dpiX, int dpiY)
    : m_painter(painter), m_dpiX(dpiX), m_dpiY(dpiY), m_font(dpiY)
{
    // Pens are set once per change instead of around every line.
    m_painter.save();
}

QPainterCanvas::~QPainterCanvas()
{
    // A painter ended before the canvas has nothing left to draw into.
    if (!m_painter.isActive())
        return;
    flush();
    m_painter.restore();
}

void QPainterCanvas::flush()
{
    if (m_lines.empty())
        return;
    applyPen();
    m_drawn.clear();
    for (const PenLines::Line &l : m_lines.lines())
        m_drawn.emplace_back(l.from.x, l.from.y, l.to.x, l.to.y);
    m_painter.drawLines(m_drawn.data(), static_cast<int>(m_drawn.size()));
    m_lines.clear();
}

QFont QPainterCanvas::currentFont() const
{
    return m_font.font().font();
}

QPen QPainterCanvas::currentPen() const
{
    QPen pen(toQColor(m_penColor));
    // Width 0 is Qt's cosmetic one-pixel pen, as on the platform.
    pen.setWidth(std::max(m_penWidth, 0));
    // Thin lines leave out their end point, wide ones get round ends that
    // close the corners where grid lines meet, as the platform's pens do.
    pen.setCapStyle(m_penWidth > 1 ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    switch (m_penStyle) {
    case PenStyle::Solid:
        pen.setStyle(Qt::SolidLine);
        break;
    case PenStyle::Dash:
        pen.setStyle(Qt::DashLine);
        break;
    case PenStyle::Dot:
        pen.setStyle(Qt::DotLine);
        break;
    case PenStyle::DashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case PenStyle::Clear:
        pen.setStyle(Qt::NoPen);
        break;
    }
    return pen;
}

void QPainterCanvas::setBrushColor(Color color)
{
    m_brushColor = color;
}

void QPainterCanvas::setBrushStyle(BrushStyle style)
{
    m_brushStyle = style;
}

void QPainterCanvas::setPenWidth(int width)
{
    if (width == m_penWidth)
        return;
    flush();
    m_penDirty = true;
    m_penWidth = width;
}

void QPainterCanvas::setPenColor(Color color)
{
    if (color == m_penColor)
        return;
    flush();
    m_penDirty = true;
    m_penColor = color;
}

void QPainterCanvas::setPenStyle(PenStyle style)
{
    if (style == m_penStyle)
        return;
    flush();
    m_penDirty = true;
    m_penStyle = style;
}

void QPainterCanvas::setPenMode(PenMode mode)
{
    if (mode == m_penMode)
        return;
    flush();
    m_penDirty = true;
    m_penMode = mode;
}

void QPainterCanvas::moveTo(int x, int y)
{
    m_position = {x, y};
}

void QPainterCanvas::applyPen()
{
    if (!m_penDirty)
        return;
    m_penDirty = false;
    m_painter.setPen(currentPen());
    m_painter.setCompositionMode(m_penMode == PenMode::Xor ? QPainter::RasterOp_SourceXorDestination
                                                           : QPainter::CompositionMode_SourceOver);
}

void QPainterCanvas::lineTo(int x, int y)
{
    if (m_penStyle == PenStyle::Clear) {
        m_position = {x, y};
        return;
    }
    if (m_penMode == PenMode::Xor) {
        // XOR lines that cross must each invert what is under them.
        flush();
        applyPen();
        m_painter.drawLine(m_position.x, m_position.y, x, y);
        m_position = {x, y};
        return;
    }
    const Point to{x, y};
    m_lines.add(m_position, to);
    m_position = to;
}

void QPainterCanvas::fillRect(const Rect &rect)
{
    if (m_brushStyle == BrushStyle::Clear || rect.width() <= 0 || rect.height() <= 0)
        return;
    flush();
    if (m_painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        // Fills are not XOR-ed; the next line sets the pen's mode again.
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_penDirty = true;
    }
    m_painter.fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()),
                       toQColor(m_brushColor));
}

void QPainterCanvas::drawRun(const TextPlacement &placement, const TextPlacement::Run &run,
                             const CachedFont &font)
{
    // Regular text of the font's own glyphs is drawn as a glyph run at the
    // advances it was measured with, without shaping it again. Styled text
    // and characters that need a fallback font go through Qt's text layout.
    if (m_font.style() != Regular || !run.ownGlyphs) {
        m_painter.drawText(
            QPointF(run.x, run.baseline),
            QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size())));
        return;
    }
    if (run.count == 0)
        return;
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(static_cast<qsizetype>(run.count));
    positions.reserve(static_cast<qsizetype>(run.count));
    for (std::size_t i = run.first; i < run.first + run.count; ++i) {
        const TextPlacement::Glyph &g = placement.glyphs()[i];
        indexes.append(g.glyph->index);
        positions.append(QPointF(g.x, 0));
    }
    QGlyphRun glyphs;
    glyphs.setRawFont(font.rawFont());
    glyphs.setGlyphIndexes(indexes);
    glyphs.setPositions(positions);
    m_painter.drawGlyphRun(QPointF(run.x, run.baseline), glyphs);
}

void QPainterCanvas::drawText(std::string_view text, const Rect &rect, unsigned flags)
{
    flush();
    const CachedFont &font = m_font.font();
    const TextPlacement placement(text, rect, flags, font);

    // A clip that cuts nothing off is left out, and with it the saved
    // painter state: each costs the PDF output graphics state operators.
    const bool clip = placement.needsClip();
    if (clip) {
        m_painter.save();
        m_painter.setClipRect(QRect(rect.left, rect.top, rect.width(), rect.height()),
                              Qt::IntersectClip);
    }
    if (m_painterFont != &font) {
        m_painter.setFont(font.font());
        m_painterFont = &font;
    }
    // Text is black whatever the pen; only the pen's colour matters to it.
    if (m_painter.pen().style() == Qt::NoPen || m_painter.pen().color() != Qt::black) {
        m_painter.setPen(QPen(Qt::black));
        m_penDirty = true;
    }
    if (m_painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_penDirty = true;
    }
    for (const TextPlacement::Line &line : placement.lines()) {
        if (m_brushStyle == BrushStyle::Solid) {
            const Rect &box = line.background;
            m_painter.fillRect(QRect(box.left, box.top, box.width(), box.height()),
                               toQColor(m_brushColor));
        }
        for (std::size_t r = line.firstRun; r < line.firstRun + line.runCount; ++r)
            drawRun(placement, placement.runs()[r], font);
    }
    if (clip) {
        m_painter.restore();
        // The restore brought back the font of before.
        m_painterFont = nullptr;
    }
}

Rect QPainterCanvas::measureText(std::string_view text, const Rect &rect, unsigned flags)
{
    const TextLayout layout =
        TextLayout::layout(text, rect.width(), flags, CachedMetrics(m_font.font()));
    Rect out = rect;
    out.bottom = rect.top + layout.height();
    if (!(flags & WordBreak))
        out.right = rect.left + layout.width();
    return out;
}

void QPainterCanvas::shiftOrigin(int dx, int dy)
{
    flush();
    m_painter.translate(dx, dy);
    m_origin.x += dx;
    m_origin.y += dy;
}

} // namespace tally::printing
