#pragma once

#include "printing/canvastypes.h"
#include "printing/qt/fontcache.h"
#include "printing/textlayout.h"

#include <string_view>
#include <vector>

namespace tally::printing {

// The text of one drawText call placed on the device: its lines broken by
// TextLayout, each line's background box, and every character's glyph at
// the position Qt's layout gives it (the cached advances). Every canvas
// that draws with Qt's fonts places text through this, so they draw the
// same glyphs at the same places and differ only in how they emit them.
class TextPlacement
{
public:
    struct Glyph
    {
        const CachedFont::Glyph *glyph; // index 0: the font lacks it
        char32_t character;
        double x; // pen position relative to the run's x
    };
    struct Run
    {
        std::string_view text;
        double x = 0;
        double baseline = 0;
        double width = 0;      // sum of the advances
        std::size_t first = 0; // its glyphs in glyphs()
        std::size_t count = 0;
        // All glyphs come from the font itself (no fallback font).
        bool ownGlyphs = true;
    };
    struct Line
    {
        Rect background; // the line's box, filled with a solid brush
        std::size_t firstRun = 0;
        std::size_t runCount = 0;
    };

    // Places text into rect with Canvas::TextFlag bits in font.
    TextPlacement(std::string_view text, const Rect &rect, unsigned flags, const CachedFont &font);
    // Runs point into the placement's own text.
    TextPlacement(const TextPlacement &) = delete;
    TextPlacement &operator=(const TextPlacement &) = delete;

    const std::vector<Line> &lines() const { return m_lines; }
    const std::vector<Run> &runs() const { return m_runs; }
    const std::vector<Glyph> &glyphs() const { return m_glyphs; }

    // Whether drawing must be clipped to the rectangle: the flags ask for
    // it and some ink (or a fallback glyph of unknown extent) reaches out.
    bool needsClip() const { return m_needsClip; }

private:
    TextLayout m_layout;
    std::vector<Line> m_lines;
    std::vector<Run> m_runs;
    std::vector<Glyph> m_glyphs;
    bool m_needsClip = false;
};

// Widths as Qt lays the text out, from the characters' cached advances.
class CachedMetrics : public TextMetrics
{
public:
    explicit CachedMetrics(const CachedFont &font) : m_font(font) {}

    int textWidth(std::string_view utf8) const override;
    int lineHeight() const override { return m_font.lineHeight(); }
    int averageCharWidth() const override { return m_font.averageCharWidth(); }

private:
    const CachedFont &m_font;
};

} // namespace tally::printing
