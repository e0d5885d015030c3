#include "printing/pdf/embeddedfont.h"

#include "printing/pdf/deflater.h"
#include "printing/pdf/pdffilewriter.h"
#include "printing/pdf/pdfnumber.h"

#include <stdexcept>

namespace tally::printing::pdf {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex4(std::string &s, unsigned v)
{
    for (int shift = 12; shift >= 0; shift -= 4)
        s += kHex[(v >> shift) & 0xF];
}

void appendUtf16Hex(std::string &s, char32_t cp)
{
    if (cp >= 0x10000) {
        appendHex4(s, 0xD800 + ((cp - 0x10000) >> 10));
        appendHex4(s, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        appendHex4(s, static_cast<unsigned>(cp));
    }
}

} // namespace

EmbeddedFont::EmbeddedFont(const FontFace &face, int objectId, std::string resource)
    : m_face(face), m_objectId(objectId), m_resource(std::move(resource))
{
}

EmbeddedFont::Cid EmbeddedFont::add(std::uint32_t glyph, char32_t character)
{
    if (m_used.size() >= 0xFFFE)
        throw std::runtime_error("too many glyphs in one font");
    const Cid cid{static_cast<std::uint16_t>(m_used.size() + 1), m_face.width(glyph)};
    m_used.push_back({glyph, character});
    m_widths.push_back(cid.width);
    m_cids.emplace(glyph, cid);
    return cid;
}

std::string EmbeddedFont::toUnicode() const
{
    std::string s = "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                    "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
                    "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
                    "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n";
    for (std::size_t first = 0; first < m_used.size(); first += 100) {
        const std::size_t end = std::min(first + 100, m_used.size());
        appendInteger(s, static_cast<std::int64_t>(end - first));
        s += " beginbfchar\n";
        for (std::size_t i = first; i < end; ++i) {
            s += '<';
            appendHex4(s, static_cast<unsigned>(i + 1));
            s += "><";
            appendUtf16Hex(s, m_used[i].character);
            s += ">\n";
        }
        s += "endbfchar\n";
    }
    s += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
    return s;
}

void EmbeddedFont::write(PdfFileWriter &file, Deflater &deflater) const
{
    const FontFace::Subset subset = m_face.subset(m_used);

    // Subset fonts are named with a tag of six capitals that differs when
    // the glyphs differ.
    std::uint32_t hash = 2166136261u;
    for (const FontFace::UsedGlyph &g : m_used)
        hash = (hash ^ g.glyph) * 16777619u;
    std::string name = "/";
    for (int i = 0; i < 6; ++i, hash /= 26)
        name += static_cast<char>('A' + hash % 26);
    name += '+';
    name += m_face.postscriptName();

    const int descendant = file.reserve();
    const int descriptor = file.reserve();
    const int program = file.reserve();
    const int cidToGid = file.reserve();
    const int unicode = file.reserve();

    std::string s = "<</Type/Font/Subtype/Type0/BaseFont";
    s += name;
    s += "/Encoding/Identity-H/DescendantFonts[";
    appendInteger(s, descendant);
    s += " 0 R]/ToUnicode ";
    appendInteger(s, unicode);
    s += " 0 R>>";
    file.object(m_objectId, s);

    s = "<</Type/Font/Subtype/CIDFontType2/BaseFont";
    s += name;
    s += "/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor ";
    appendInteger(s, descriptor);
    s += " 0 R/DW 1000/W[1[";
    for (std::size_t i = 0; i < m_widths.size(); ++i) {
        if (i)
            s += ' ';
        appendInteger(s, m_widths[i]);
    }
    s += "]]/CIDToGIDMap ";
    appendInteger(s, cidToGid);
    s += " 0 R>>";
    file.object(descendant, s);

    const FontFace::Metrics &m = m_face.metrics();
    s = "<</Type/FontDescriptor/FontName";
    s += name;
    s += "/Flags 4/FontBBox[";
    for (const int v : {m.xMin, m.yMin, m.xMax, m.yMax}) {
        appendInteger(s, v);
        s += ' ';
    }
    s += "]/ItalicAngle 0/Ascent ";
    appendInteger(s, m.ascent);
    s += "/Descent ";
    appendInteger(s, m.descent);
    s += "/CapHeight ";
    appendInteger(s, m.ascent);
    s += "/StemV 80/FontFile2 ";
    appendInteger(s, program);
    s += " 0 R>>";
    file.object(descriptor, s);

    std::string packed;
    deflater.compress(subset.program, packed);
    s = "/Length1 ";
    appendInteger(s, static_cast<std::int64_t>(subset.program.size()));
    file.compressedStream(program, s, packed);

    // CID 0 is the missing glyph, glyph 0 in every font.
    std::string map(2 * (subset.newGlyphs.size() + 1), '\0');
    for (std::size_t i = 0; i < subset.newGlyphs.size(); ++i) {
        map[2 * (i + 1)] = static_cast<char>(subset.newGlyphs[i] >> 8);
        map[2 * (i + 1) + 1] = static_cast<char>(subset.newGlyphs[i] & 0xFF);
    }
    deflater.compress(map, packed);
    file.compressedStream(cidToGid, {}, packed);

    deflater.compress(toUnicode(), packed);
    file.compressedStream(unicode, {}, packed);
}

} // namespace tally::printing::pdf
