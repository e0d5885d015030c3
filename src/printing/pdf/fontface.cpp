#include "printing/pdf/fontface.h"

#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace tally::printing::pdf {

namespace {

int readInt16(const char *p)
{
    return static_cast<std::int16_t>((static_cast<unsigned char>(p[0]) << 8) |
                                     static_cast<unsigned char>(p[1]));
}

} // namespace

struct FontFace::Impl
{
    explicit Impl(FontTableReader r) : reader(std::move(r)) {}
    ~Impl()
    {
        hb_font_destroy(font);
        hb_face_destroy(face);
        for (auto &[tag, blob] : tables)
            hb_blob_destroy(blob);
    }

    static hb_blob_t *referenceTable(hb_face_t *, hb_tag_t tag, void *user)
    {
        auto *self = static_cast<Impl *>(user);
        // Tag 0 asks for the whole font file, which a face of tables lacks.
        // The character map and layout tables are hidden: a PDF shows glyphs
        // by number, and without them a subset needs no work on a CJK
        // face's tens of thousands of characters.
        if (tag == 0 || isHidden(tag))
            return nullptr;
        auto it = self->tables.find(tag);
        if (it == self->tables.end()) {
            FontTable table = self->reader(tag);
            auto *owner = new std::shared_ptr<const void>(std::move(table.owner));
            hb_blob_t *blob = hb_blob_create(
                table.data, static_cast<unsigned>(table.size), HB_MEMORY_MODE_READONLY, owner,
                [](void *p) { delete static_cast<std::shared_ptr<const void> *>(p); });
            it = self->tables.emplace(tag, blob).first;
        }
        return hb_blob_reference(it->second);
    }

    static bool isHidden(hb_tag_t tag)
    {
        for (const hb_tag_t hidden :
             {HB_TAG('c', 'm', 'a', 'p'), HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'),
              HB_TAG('G', 'D', 'E', 'F'), HB_TAG('m', 'o', 'r', 'x'), HB_TAG('v', 'h', 'e', 'a'),
              HB_TAG('v', 'm', 't', 'x'), HB_TAG('V', 'O', 'R', 'G'), HB_TAG('g', 'a', 's', 'p')})
            if (tag == hidden)
                return true;
        return false;
    }

    FontTableReader reader;
    std::map<hb_tag_t, hb_blob_t *> tables;
    hb_face_t *face = nullptr;
    hb_font_t *font = nullptr;
    unsigned upem = 1000;
};

FontFace::FontFace(FontTableReader reader) : m_impl(std::make_unique<Impl>(std::move(reader)))
{
    init();
}

FontFace::FontFace(const std::string &path, unsigned faceIndex)
{
    hb_blob_t *file = hb_blob_create_from_file_or_fail(path.c_str());
    if (!file)
        throw std::runtime_error("cannot read the font file " + path);
    std::shared_ptr<hb_face_t> face(hb_face_create(file, faceIndex), hb_face_destroy);
    hb_blob_destroy(file); // the face holds it
    m_impl = std::make_unique<Impl>([face](std::uint32_t tag) {
        hb_blob_t *blob = hb_face_reference_table(face.get(), tag);
        unsigned size = 0;
        const char *data = hb_blob_get_data(blob, &size);
        // The table lives in the mapped file as long as its blob.
        return FontTable{data, size, std::shared_ptr<const void>(blob, hb_blob_destroy)};
    });
    init();
}

std::string_view FontFace::table(std::uint32_t tag) const
{
    hb_blob_t *blob = hb_face_reference_table(m_impl->face, tag);
    unsigned size = 0;
    const char *data = hb_blob_get_data(blob, &size);
    // The face keeps every table it was given until it goes.
    hb_blob_destroy(blob);
    return {data, size};
}

void FontFace::init()
{
    m_impl->face = hb_face_create_for_tables(&Impl::referenceTable, m_impl.get(), nullptr);
    m_impl->upem = hb_face_get_upem(m_impl->face);
    m_impl->font = hb_font_create(m_impl->face);
    const auto upem = static_cast<int>(m_impl->upem);
    hb_font_set_scale(m_impl->font, upem, upem);

    const auto scaled = [upem](int v) { return static_cast<int>(std::lround(v * 1000.0 / upem)); };
    hb_blob_t *head = hb_face_reference_table(m_impl->face, HB_TAG('h', 'e', 'a', 'd'));
    unsigned size = 0;
    const char *data = hb_blob_get_data(head, &size);
    if (size >= 44) {
        m_metrics.xMin = scaled(readInt16(data + 36));
        m_metrics.yMin = scaled(readInt16(data + 38));
        m_metrics.xMax = scaled(readInt16(data + 40));
        m_metrics.yMax = scaled(readInt16(data + 42));
    }
    hb_blob_destroy(head);
    hb_blob_t *hhea = hb_face_reference_table(m_impl->face, HB_TAG('h', 'h', 'e', 'a'));
    data = hb_blob_get_data(hhea, &size);
    if (size >= 8) {
        m_metrics.ascent = scaled(readInt16(data + 4));
        m_metrics.descent = scaled(readInt16(data + 6));
    }
    hb_blob_destroy(hhea);

    char name[128];
    unsigned length = sizeof name;
    hb_ot_name_get_utf8(m_impl->face, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &length,
                        name);
    for (unsigned i = 0; i < length && name[i]; ++i) {
        const char c = name[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_')
            m_postscriptName += c;
    }
    if (m_postscriptName.empty())
        m_postscriptName = "Font";
}

FontFace::~FontFace() = default;

int FontFace::width(std::uint32_t glyph) const
{
    const hb_position_t advance = hb_font_get_glyph_h_advance(m_impl->font, glyph);
    return static_cast<int>(std::lround(advance * 1000.0 / m_impl->upem));
}

namespace {

// The face cut down to the glyphs, or null.
hb_face_t *cut(hb_face_t *face, const std::vector<FontFace::UsedGlyph> &glyphs, bool retainGids)
{
    hb_subset_input_t *input = hb_subset_input_create_or_fail();
    if (!input)
        return nullptr;
    hb_set_t *glyphSet = hb_subset_input_glyph_set(input);
    for (const FontFace::UsedGlyph &g : glyphs)
        hb_set_add(glyphSet, g.glyph);
    // A PDF shows glyphs by number and does its own layout; readers draw
    // without hinting.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_NO_HINTING |
                                         (retainGids ? unsigned(HB_SUBSET_FLAGS_RETAIN_GIDS) : 0u));
    hb_face_t *out = hb_subset_or_fail(face, input);
    hb_subset_input_destroy(input);
    return out;
}

} // namespace

FontFace::Subset FontFace::subset(const std::vector<UsedGlyph> &glyphs) const
{
    // The subset numbers the glyphs it keeps in their old order, the
    // missing glyph first. Only if a glyph brings others along (parts of a
    // composite glyph) are the numbers unknown; then they are kept.
    std::vector<std::uint32_t> kept{0};
    for (const UsedGlyph &g : glyphs)
        kept.push_back(g.glyph);
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());

    bool retainGids = false;
    hb_face_t *face = cut(m_impl->face, glyphs, false);
    if (face && hb_face_get_glyph_count(face) != kept.size()) {
        hb_face_destroy(face);
        retainGids = true;
        face = cut(m_impl->face, glyphs, true);
    }
    if (!face)
        throw std::runtime_error("cannot subset the font " + m_postscriptName);

    Subset out;
    hb_blob_t *blob = hb_face_reference_blob(face);
    unsigned size = 0;
    const char *data = hb_blob_get_data(blob, &size);
    out.program.assign(data, size);
    hb_blob_destroy(blob);
    hb_face_destroy(face);

    out.newGlyphs.reserve(glyphs.size());
    for (const UsedGlyph &g : glyphs) {
        const auto rank = std::lower_bound(kept.begin(), kept.end(), g.glyph) - kept.begin();
        out.newGlyphs.push_back(static_cast<std::uint16_t>(retainGids ? g.glyph : rank));
    }
    return out;
}

} // namespace tally::printing::pdf
