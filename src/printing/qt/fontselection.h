#pragma once

#include "base/muldiv.h"
#include "printing/canvas.h"
#include "printing/qt/fontcache.h"

#include <string>

namespace tally::printing {

// The font a canvas draws with: a layout name, a pixel height and
// Canvas::FontStyle bits, resolved through FontCache when first used after
// a change (layouts set them far more often than they change them).
class FontSelection
{
public:
    // Heights are pixels of a device of `dpi` pixels per inch; 10 points to
    // begin with.
    explicit FontSelection(int dpi) : m_dpi(dpi), m_height(MulDiv(10, dpi, 72)) {}

    void setName(const std::string &name)
    {
        if (name != m_name)
            m_font = nullptr;
        m_name = name;
    }
    void setPoints(int points) { setHeight(MulDiv(points, m_dpi, 72)); }
    void setHeight(int pixels)
    {
        if (pixels != m_height)
            m_font = nullptr;
        m_height = pixels;
    }
    void setStyle(unsigned styleBits)
    {
        if (styleBits != m_style)
            m_font = nullptr;
        m_style = styleBits;
    }

    int height() const { return m_height; }
    unsigned style() const { return m_style; }
    const CachedFont &font() const
    {
        if (!m_font)
            m_font = &FontCache::get(m_name, m_height, m_style, m_dpi);
        return *m_font;
    }

private:
    int m_dpi;
    std::string m_name = "宋体";
    int m_height;
    unsigned m_style = Canvas::Regular;
    mutable const CachedFont *m_font = nullptr;
};

} // namespace tally::printing
