#include "printing/qt/qpaintercanvas.h"

#include "printing/printmath.h"
#include "printing/qt/fontsubstitution.h"
#include "printing/textlayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace tally::printing {

namespace {

QColor toQColor(Color c)
{
    return QColor(c.red, c.green, c.blue);
}

class QtMetrics : public TextMetrics
{
public:
    QtMetrics(const QFont &font, QPaintDevice *device) : m_metrics(font, device) {}

    int textWidth(std::string_view utf8) const override
    {
        const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        return static_cast<int>(std::ceil(m_metrics.horizontalAdvance(s)));
    }
    int lineHeight() const override { return static_cast<int>(std::ceil(m_metrics.height())); }
    int averageCharWidth() const override
    {
        return static_cast<int>(std::lround(m_metrics.averageCharWidth()));
    }
    double ascent() const { return m_metrics.ascent(); }

private:
    QFontMetricsF m_metrics;
};

} // namespace

QPainterCanvas::QPainterCanvas(QPainter &painter)
    : QPainterCanvas(painter, painter.device() ? painter.device()->logicalDpiX() : 96,
                     painter.device() ? painter.device()->logicalDpiY() : 96)
{
}

QPainterCanvas::QPainterCanvas(QPainter &painter, int dpiX, int dpiY)
    : m_painter(painter), m_dpiX(dpiX), m_dpiY(dpiY), m_fontHeight(MulDiv(10, dpiY, 72))
{
}

QPainterCanvas::~QPainterCanvas() = default;

QFont QPainterCanvas::currentFont() const
{
    return FontSubstitution::font(m_fontName, m_fontHeight, m_fontStyle);
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

void QPainterCanvas::setFontName(const std::string &name)
{
    m_fontName = name;
}

void QPainterCanvas::setFontSize(int points)
{
    m_fontHeight = MulDiv(points, m_dpiY, 72);
}

void QPainterCanvas::setFontHeight(int pixels)
{
    m_fontHeight = pixels;
}

void QPainterCanvas::setFontStyle(unsigned styleBits)
{
    m_fontStyle = styleBits;
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
    m_penWidth = width;
}

void QPainterCanvas::setPenColor(Color color)
{
    m_penColor = color;
}

void QPainterCanvas::setPenStyle(PenStyle style)
{
    m_penStyle = style;
}

void QPainterCanvas::setPenMode(PenMode mode)
{
    m_penMode = mode;
}

void QPainterCanvas::moveTo(int x, int y)
{
    m_position = {x, y};
}

void QPainterCanvas::lineTo(int x, int y)
{
    if (m_penStyle != PenStyle::Clear) {
        m_painter.save();
        m_painter.setPen(currentPen());
        if (m_penMode == PenMode::Xor)
            m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter.drawLine(m_position.x, m_position.y, x, y);
        m_painter.restore();
    }
    m_position = {x, y};
}

void QPainterCanvas::fillRect(const Rect &rect)
{
    if (m_brushStyle == BrushStyle::Clear || rect.width() <= 0 || rect.height() <= 0)
        return;
    m_painter.fillRect(QRect(rect.left, rect.top, rect.width(), rect.height()),
                       toQColor(m_brushColor));
}

void QPainterCanvas::drawText(std::string_view text, const Rect &rect, unsigned flags)
{
    const QFont font = currentFont();
    const QtMetrics metrics(font, m_painter.device());
    const TextLayout layout = TextLayout::layout(text, rect.width(), flags, metrics);

    m_painter.save();
    if (!(flags & NoClip))
        m_painter.setClipRect(QRect(rect.left, rect.top, rect.width(), rect.height()),
                              Qt::IntersectClip);
    m_painter.setFont(font);
    m_painter.setPen(QPen(Qt::black));
    const double ascent = metrics.ascent();
    int top = rect.top;
    for (const TextLayout::Line &line : layout.lines()) {
        const int x = TextLayout::alignedX(rect.left, rect.right, line.width, flags);
        if (m_brushStyle == BrushStyle::Solid)
            m_painter.fillRect(QRect(x, top, line.width, layout.lineHeight()),
                               toQColor(m_brushColor));
        for (const TextLayout::Run &run : line.runs)
            m_painter.drawText(QPointF(x + run.x, top + ascent), QString::fromStdString(run.text));
        top += layout.lineHeight();
    }
    m_painter.restore();
}

Rect QPainterCanvas::measureText(std::string_view text, const Rect &rect, unsigned flags)
{
    const QtMetrics metrics(currentFont(), m_painter.device());
    const TextLayout layout = TextLayout::layout(text, rect.width(), flags, metrics);
    Rect out = rect;
    out.bottom = rect.top + layout.height();
    if (!(flags & WordBreak))
        out.right = rect.left + layout.width();
    return out;
}

void QPainterCanvas::shiftOrigin(int dx, int dy)
{
    m_painter.translate(dx, dy);
    m_origin.x += dx;
    m_origin.y += dy;
}

} // namespace tally::printing
