#include "printing/recordingcanvas.h"

#include "printing/printmath.h"
#include "printing/textlayout.h"

#include <sstream>

namespace tally::printing {

namespace {

class FixedMetrics : public TextMetrics
{
public:
    explicit FixedMetrics(int height) : m_height(height) {}

    int textWidth(std::string_view utf8) const override
    {
        int w = 0;
        for (std::size_t i = 0; i < utf8.size();) {
            const auto b = static_cast<unsigned char>(utf8[i]);
            // Lead bytes E1 and above start characters from U+1000 on; only
            // E1 84 and later (U+1100 onwards) count as wide.
            std::size_t len = 1;
            bool wide = false;
            if (b >= 0xF0) {
                len = 4;
                wide = true;
            } else if (b >= 0xE0) {
                len = 3;
                wide = b > 0xE1 || (b == 0xE1 && i + 1 < utf8.size() &&
                                    static_cast<unsigned char>(utf8[i + 1]) >= 0x84);
            } else if (b >= 0xC0) {
                len = 2;
            }
            w += wide ? m_height : m_height / 2;
            i += len;
        }
        return w;
    }
    int lineHeight() const override { return m_height; }
    int averageCharWidth() const override { return m_height / 2; }

private:
    int m_height;
};

const char *opName(RecordingCanvas::Op op)
{
    using Op = RecordingCanvas::Op;
    switch (op) {
    case Op::FontName:
        return "fontName";
    case Op::FontSize:
        return "fontSize";
    case Op::FontHeight:
        return "fontHeight";
    case Op::FontStyle:
        return "fontStyle";
    case Op::BrushColor:
        return "brushColor";
    case Op::BrushStyle:
        return "brushStyle";
    case Op::PenWidth:
        return "penWidth";
    case Op::PenColor:
        return "penColor";
    case Op::PenStyle:
        return "penStyle";
    case Op::PenMode:
        return "penMode";
    case Op::MoveTo:
        return "moveTo";
    case Op::LineTo:
        return "lineTo";
    case Op::FillRect:
        return "fillRect";
    case Op::DrawText:
        return "drawText";
    case Op::MeasureText:
        return "measureText";
    case Op::ShiftOrigin:
        return "shiftOrigin";
    }
    return "?";
}

} // namespace

RecordingCanvas::RecordingCanvas(int dpiX, int dpiY)
    : m_dpiX(dpiX), m_dpiY(dpiY), m_fontHeight(MulDiv(10, dpiY, 72))
{
}

RecordingCanvas::Call &RecordingCanvas::record(Op op)
{
    Call &c = m_calls.emplace_back();
    c.op = op;
    return c;
}

std::vector<RecordingCanvas::Call> RecordingCanvas::callsOf(Op op) const
{
    std::vector<Call> out;
    for (const Call &c : m_calls)
        if (c.op == op)
            out.push_back(c);
    return out;
}

std::string RecordingCanvas::dump() const
{
    std::ostringstream out;
    for (const Call &c : m_calls) {
        out << opName(c.op);
        switch (c.op) {
        case Op::FontName:
            out << ' ' << c.text;
            break;
        case Op::MoveTo:
        case Op::LineTo:
        case Op::ShiftOrigin:
            out << ' ' << c.a.x << ',' << c.a.y;
            break;
        case Op::FillRect:
            out << ' ' << c.rect.left << ',' << c.rect.top << ',' << c.rect.right << ','
                << c.rect.bottom;
            break;
        case Op::DrawText:
        case Op::MeasureText:
            out << ' ' << c.rect.left << ',' << c.rect.top << ',' << c.rect.right << ','
                << c.rect.bottom << " flags=" << c.value << " \"" << c.text << '"';
            break;
        case Op::BrushColor:
        case Op::PenColor:
            out << ' ' << int(c.color.red) << ',' << int(c.color.green) << ',' << int(c.color.blue);
            break;
        default:
            out << ' ' << c.value;
            break;
        }
        out << '\n';
    }
    return out.str();
}

void RecordingCanvas::setFontName(const std::string &name)
{
    m_fontName = name;
    record(Op::FontName).text = name;
}

void RecordingCanvas::setFontSize(int points)
{
    m_fontHeight = MulDiv(points, m_dpiY, 72);
    record(Op::FontSize).value = points;
}

void RecordingCanvas::setFontHeight(int pixels)
{
    m_fontHeight = pixels;
    record(Op::FontHeight).value = pixels;
}

void RecordingCanvas::setFontStyle(unsigned styleBits)
{
    m_fontStyle = styleBits;
    record(Op::FontStyle).value = static_cast<int>(styleBits);
}

void RecordingCanvas::setBrushColor(Color color)
{
    record(Op::BrushColor).color = color;
}

void RecordingCanvas::setBrushStyle(BrushStyle style)
{
    m_brushStyle = style;
    record(Op::BrushStyle).value = static_cast<int>(style);
}

void RecordingCanvas::setPenWidth(int width)
{
    record(Op::PenWidth).value = width;
}

void RecordingCanvas::setPenColor(Color color)
{
    record(Op::PenColor).color = color;
}

void RecordingCanvas::setPenStyle(PenStyle style)
{
    record(Op::PenStyle).value = static_cast<int>(style);
}

void RecordingCanvas::setPenMode(PenMode mode)
{
    record(Op::PenMode).value = static_cast<int>(mode);
}

void RecordingCanvas::moveTo(int x, int y)
{
    record(Op::MoveTo).a = {x + m_origin.x, y + m_origin.y};
}

void RecordingCanvas::lineTo(int x, int y)
{
    record(Op::LineTo).a = {x + m_origin.x, y + m_origin.y};
}

void RecordingCanvas::fillRect(const Rect &rect)
{
    record(Op::FillRect).rect = rect.translated(m_origin.x, m_origin.y);
}

void RecordingCanvas::drawText(std::string_view text, const Rect &rect, unsigned flags)
{
    Call &c = record(Op::DrawText);
    c.rect = rect.translated(m_origin.x, m_origin.y);
    c.value = static_cast<int>(flags);
    c.value2 = static_cast<int>(m_brushStyle);
    c.text = std::string(text);
    c.fontName = m_fontName;
    c.fontHeight = m_fontHeight;
    c.fontStyle = m_fontStyle;
}

Rect RecordingCanvas::measureText(std::string_view text, const Rect &rect, unsigned flags)
{
    const FixedMetrics metrics(m_fontHeight);
    const TextLayout layout = TextLayout::layout(text, rect.width(), flags, metrics);
    Rect out = rect;
    out.bottom = rect.top + layout.height();
    if (!(flags & WordBreak))
        out.right = rect.left + layout.width();
    Call &c = record(Op::MeasureText);
    c.rect = rect.translated(m_origin.x, m_origin.y);
    c.value = static_cast<int>(flags);
    c.text = std::string(text);
    return out;
}

void RecordingCanvas::shiftOrigin(int dx, int dy)
{
    m_origin.x += dx;
    m_origin.y += dy;
    record(Op::ShiftOrigin).a = {dx, dy};
}

} // namespace tally::printing
