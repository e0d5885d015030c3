#pragma once

#include "base/textcodec.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QRectF>

#include <string>
#include <string_view>
#include <unordered_map>

namespace tally::printing {

// A layout font resolved once: the substituted QFont at a pixel height and
// device resolution, its metrics, and the advance of each character measured
// so far. Resolving a font and building its metrics costs far more than
// drawing a short text, and a job draws thousands of texts in a few fonts.
class CachedFont
{
public:
    CachedFont(const QFont &font, int dpi);

    CachedFont(const CachedFont &) = delete;
    CachedFont &operator=(const CachedFont &) = delete;

    const QFont &font() const { return m_font; }
    // Qt's metrics of the font on a device of the cache's resolution.
    const QFontMetricsF &metrics() const { return m_metrics; }

    double ascent() const { return m_ascent; }
    // Distance between the tops of two lines (ascent + descent, rounded up).
    int lineHeight() const { return m_lineHeight; }
    int averageCharWidth() const { return m_averageCharWidth; }
    double lineWidth() const { return m_lineWidth; }
    double underlinePos() const { return m_underlinePos; }
    double strikeOutPos() const { return m_strikeOutPos; }

    // What drawing needs of one character: its glyph in the font (0 when
    // the font lacks it and Qt would fall back to another), its advance in
    // pixels as Qt lays it out, and its ink relative to the pen position on
    // the baseline.
    struct Glyph
    {
        quint32 index = 0;
        double advance = 0;
        QRectF ink;
    };
    const Glyph &glyph(char32_t cp) const;
    // The font as glyph source for QGlyphRun.
    const QRawFont &rawFont() const { return m_rawFont; }

    // Advance of one character in pixels, as Qt lays it out.
    double advance(char32_t cp) const { return glyph(cp).advance; }
    // Advance of UTF-8 text: the sum of its characters' advances, which is
    // what Qt's shaping gives for these fonts (they have no kerning pairs).
    double advance(std::string_view utf8) const;

private:
    QFont m_font;
    QFontMetricsF m_metrics;
    double m_ascent;
    int m_lineHeight;
    int m_averageCharWidth;
    double m_lineWidth;
    double m_underlinePos;
    double m_strikeOutPos;
    QRawFont m_rawFont;
    mutable std::unordered_map<char32_t, Glyph> m_glyphs;
};

// The fonts of layout names, resolved through FontSubstitution once per
// thread and kept for the life of the thread (a handful of faces and sizes).
class FontCache
{
public:
    // The font of a layout name at a pixel height with Canvas::FontStyle
    // bits, measured for a device of dpi pixels per inch. The reference
    // stays valid until the calling thread ends.
    static const CachedFont &get(const std::string &layoutName, int pixelHeight, unsigned styleBits,
                                 int dpi);
};

using text::nextCodePoint;

} // namespace tally::printing
