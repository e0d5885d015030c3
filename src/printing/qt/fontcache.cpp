#include "printing/qt/fontcache.h"

#include "printing/qt/fontsubstitution.h"

#include <QPaintDevice>
#include <QPaintEngine>

#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace tally::printing {

namespace {

// A device that only answers its resolution: Qt's metrics depend on the
// device through its dpi alone.
class ResolutionDevice : public QPaintDevice
{
public:
    explicit ResolutionDevice(int dpi) : m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        case PdmDepth:
            return 32;
        default:
            return 0;
        }
    }

private:
    int m_dpi;
};

QFontMetricsF metricsAt(const QFont &font, int dpi)
{
    const ResolutionDevice device(dpi);
    return QFontMetricsF(font, &device);
}

} // namespace

CachedFont::CachedFont(const QFont &font, int dpi)
    : m_font(font), m_metrics(metricsAt(font, dpi)), m_ascent(m_metrics.ascent()),
      m_lineHeight(static_cast<int>(std::ceil(m_metrics.height()))),
      m_averageCharWidth(static_cast<int>(std::lround(m_metrics.averageCharWidth()))),
      m_lineWidth(m_metrics.lineWidth()), m_underlinePos(m_metrics.underlinePos()),
      m_strikeOutPos(m_metrics.strikeOutPos()), m_rawFont(QRawFont::fromFont(font))
{
}

const CachedFont::Glyph &CachedFont::glyph(char32_t cp) const
{
    const auto it = m_glyphs.find(cp);
    if (it != m_glyphs.end())
        return it->second;
    const char32_t ucs4[] = {cp};
    const QString text = QString::fromUcs4(ucs4, 1);
    Glyph g;
    g.advance = m_metrics.horizontalAdvance(text);
    const QList<quint32> indexes = m_rawFont.glyphIndexesForString(text);
    // Only a character of the basic plane that is one glyph of this font
    // is drawn as such; Qt falls back to other fonts for the rest.
    if (cp <= 0xFFFF && indexes.size() == 1 && m_rawFont.supportsCharacter(cp)) {
        g.index = indexes.front();
        g.ink = m_metrics.boundingRect(QChar(static_cast<char16_t>(cp)));
    }
    return m_glyphs.emplace(cp, g).first->second;
}

double CachedFont::advance(std::string_view utf8) const
{
    double width = 0;
    for (std::size_t pos = 0; pos < utf8.size();)
        width += advance(nextCodePoint(utf8, pos));
    return width;
}

const CachedFont &FontCache::get(const std::string &layoutName, int pixelHeight, unsigned styleBits,
                                 int dpi)
{
    using Key = std::tuple<std::string, int, unsigned, int>;
    thread_local std::map<Key, std::unique_ptr<CachedFont>> cache;
    Key key{layoutName, pixelHeight, styleBits, dpi};
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache
                 .emplace(std::move(key),
                          std::make_unique<CachedFont>(
                              FontSubstitution::font(layoutName, pixelHeight, styleBits), dpi))
                 .first;
    return *it->second;
}

} // namespace tally::printing
