#pragma once

#include "printing/pdf/fontface.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tally::printing::pdf {

class Deflater;
class PdfFileWriter;

// One face as a PDF font of one document: a Type0 font with Identity-H
// encoding over a CIDFontType2, whose CIDs are handed out in the order the
// glyphs are first drawn. At the end of the document the face is embedded
// as a subset of those glyphs, with their widths and a ToUnicode map so
// that text extraction gives the real characters.
class EmbeddedFont
{
public:
    // The face must outlive this object. objectId is the Type0 font's
    // object number, resource its name in page resources (without '/').
    EmbeddedFont(const FontFace &face, int objectId, std::string resource);

    struct Cid
    {
        std::uint16_t cid = 0;
        int width = 0; // thousandths of the em
    };
    // The CID of a glyph showing character, assigned on first use.
    Cid cid(std::uint32_t glyph, char32_t character)
    {
        const auto it = m_cids.find(glyph);
        if (it != m_cids.end())
            return it->second;
        return add(glyph, character);
    }

    int objectId() const { return m_objectId; }
    const std::string &resource() const { return m_resource; }

    // Writes the font's objects (the Type0 font under objectId()).
    void write(PdfFileWriter &file, Deflater &deflater) const;

private:
    Cid add(std::uint32_t glyph, char32_t character);
    std::string toUnicode() const;

    const FontFace &m_face;
    int m_objectId;
    std::string m_resource;
    std::unordered_map<std::uint32_t, Cid> m_cids;
    std::vector<FontFace::UsedGlyph> m_used; // by CID - 1
    std::vector<int> m_widths;               // by CID - 1
};

} // namespace tally::printing::pdf
