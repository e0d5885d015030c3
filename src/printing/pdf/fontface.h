#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tally::printing::pdf {

// The bytes of one table of a font, kept alive by owner.
struct FontTable
{
    const char *data = nullptr;
    std::size_t size = 0;
    std::shared_ptr<const void> owner;
};

// Reads one table of a face by its tag (an empty table when the face has
// none). A collection's face is read through the face's own tables, so the
// face index of a .ttc file is the reader's business.
using FontTableReader = std::function<FontTable(std::uint32_t tag)>;

// A TrueType face read table by table (through HarfBuzz), measured and cut
// into subsets for embedding. Tables are read once and kept, so a face is
// meant to live as long as the process uses it. Not thread-safe.
class FontFace
{
public:
    explicit FontFace(FontTableReader reader);
    // The face at faceIndex of a font file (a .ttc holds several), mapped
    // into memory: only the parts a job uses are ever read. Throws
    // std::runtime_error if the file cannot be opened.
    FontFace(const std::string &path, unsigned faceIndex);
    ~FontFace();
    FontFace(const FontFace &) = delete;
    FontFace &operator=(const FontFace &) = delete;

    // Whether the face has TrueType outlines, the kind this writer embeds
    // (CFF-flavoured OpenType and Type 1 faces it does not).
    bool hasTrueTypeOutlines() const { return !table(0x676C7966u /* glyf */).empty(); }

    // The bytes of one of the face's tables (empty when it has none).
    std::string_view table(std::uint32_t tag) const;

    // A glyph's advance in thousandths of the em (a PDF font's width unit).
    int width(std::uint32_t glyph) const;

    // What a PDF font descriptor states, in thousandths of the em.
    struct Metrics
    {
        int ascent = 0;
        int descent = 0;
        int xMin = 0;
        int yMin = 0;
        int xMax = 0;
        int yMax = 0;
    };
    const Metrics &metrics() const { return m_metrics; }
    // The face's PostScript name, made safe as a PDF name.
    const std::string &postscriptName() const { return m_postscriptName; }

    // A glyph to keep, with the character it shows.
    struct UsedGlyph
    {
        std::uint32_t glyph = 0;
        char32_t character = 0;
    };
    struct Subset
    {
        std::string program;                  // the TrueType font file
        std::vector<std::uint16_t> newGlyphs; // per used glyph; 0 when lost
    };
    // The face cut down to these glyphs, without hinting or layout tables.
    // Throws std::runtime_error if HarfBuzz cannot cut it.
    Subset subset(const std::vector<UsedGlyph> &glyphs) const;

private:
    void init();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    Metrics m_metrics;
    std::string m_postscriptName;
};

} // namespace tally::printing::pdf
