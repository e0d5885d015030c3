#include "printing/qt/textplacement.h"

#include "printing/canvas.h"

#include <cmath>

namespace tally::printing {

int CachedMetrics::textWidth(std::string_view utf8) const
{
    return static_cast<int>(std::ceil(m_font.advance(utf8)));
}

TextPlacement::TextPlacement(std::string_view text, const Rect &rect, unsigned flags,
                             const CachedFont &font)
    : m_layout(TextLayout::layout(text, rect.width(), flags, CachedMetrics(font)))
{
    const QRectF bounds(rect.left, rect.top, rect.width(), rect.height());
    const bool clipAsked = !(flags & Canvas::NoClip);
    const double ascent = font.ascent();
    int top = rect.top;
    m_lines.reserve(m_layout.lines().size());
    for (const TextLayout::Line &line : m_layout.lines()) {
        const int x = TextLayout::alignedX(rect.left, rect.right, line.width, flags);
        Line placed;
        placed.background = {x, top, x + line.width, top + m_layout.lineHeight()};
        placed.firstRun = m_runs.size();
        for (const TextLayout::Run &run : line.runs) {
            Run r;
            r.text = run.text;
            r.x = x + run.x;
            r.baseline = top + ascent;
            r.first = m_glyphs.size();
            double pen = 0;
            for (std::size_t pos = 0; pos < run.text.size();) {
                const char32_t cp = nextCodePoint(run.text, pos);
                const CachedFont::Glyph &g = font.glyph(cp);
                m_glyphs.push_back({&g, cp, pen});
                if (g.index == 0)
                    r.ownGlyphs = false;
                if (clipAsked && !m_needsClip) {
                    // A fallback glyph's extent is unknown: clip to be safe.
                    if (g.index == 0 && g.advance > 0)
                        m_needsClip = true;
                    else if (!g.ink.isEmpty() &&
                             !bounds.contains(g.ink.translated(r.x + pen, r.baseline)))
                        m_needsClip = true;
                }
                pen += g.advance;
            }
            r.width = pen;
            r.count = m_glyphs.size() - r.first;
            m_runs.push_back(r);
        }
        placed.runCount = m_runs.size() - placed.firstRun;
        m_lines.push_back(placed);
        top += m_layout.lineHeight();
    }
}

} // namespace tally::printing
