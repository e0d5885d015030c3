#include "printing/qt/pdf/pdffontsource.h"

#include "printing/pdf/fontface.h"
#include "printing/qt/fontcache.h"
#include "printing/qt/printinglog.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <map>
#include <memory>
#include <unordered_map>

#ifdef TALLY_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace tally::printing {

namespace {

unsigned readUint16(const QByteArray &table, qsizetype offset)
{
    if (table.size() < offset + 2)
        return 0;
    return (static_cast<unsigned char>(table[offset]) << 8) |
           static_cast<unsigned char>(table[offset + 1]);
}

#ifdef TALLY_HAVE_FONTCONFIG
// The face in its font file, found through fontconfig (where Qt found it)
// and mapped: copying a CJK face's tables out of Qt costs tens of
// megabytes and milliseconds. The face must be the one Qt uses, so its
// header table (which holds a checksum and dates) must match Qt's.
std::unique_ptr<pdf::FontFace> faceInFile(const QRawFont &raw)
{
    const QByteArray family = raw.familyName().toUtf8();
    const QByteArray style = raw.styleName().toUtf8();
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.constData()));
    FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8 *>(style.constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet *found = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (!found)
        return nullptr;
    const QByteArray head = raw.fontTable("head");
    std::unique_ptr<pdf::FontFace> face;
    for (int i = 0; i < found->nfont && !face; ++i) {
        FcChar8 *file = nullptr;
        int index = 0;
        if (FcPatternGetString(found->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        FcPatternGetInteger(found->fonts[i], FC_INDEX, 0, &index);
        try {
            auto candidate = std::make_unique<pdf::FontFace>(reinterpret_cast<const char *>(file),
                                                             static_cast<unsigned>(index));
            if (candidate->table(0x68656164u /* head */) ==
                std::string_view(head.constData(), static_cast<std::size_t>(head.size())))
                face = std::move(candidate);
        } catch (const std::runtime_error &) {
            // An unreadable file: Qt's own tables serve.
        }
    }
    FcFontSetDestroy(found);
    return face;
}
#endif

// The face of a raw font as the PDF writer embeds it, or null for a face
// it cannot embed (no TrueType outlines): its glyphs are left out, with a
// warning, rather than failing the job.
const pdf::FontFace *faceOf(const QRawFont &raw)
{
    struct Entry
    {
        std::unique_ptr<pdf::FontFace> face;
        bool embeddable = false;
    };
    thread_local std::map<QString, Entry> faces;
    const QString key = raw.familyName() + QLatin1Char('\n') + raw.styleName();
    Entry &entry = faces[key];
    if (entry.face)
        return entry.embeddable ? entry.face.get() : nullptr;
#ifdef TALLY_HAVE_FONTCONFIG
    entry.face = faceInFile(raw);
#endif
    if (!entry.face)
        entry.face = std::make_unique<pdf::FontFace>([raw](std::uint32_t tag) {
            const char name[5] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16),
                                  static_cast<char>(tag >> 8), static_cast<char>(tag), '\0'};
            auto bytes = std::make_shared<const QByteArray>(raw.fontTable(name));
            return pdf::FontTable{bytes->constData(), static_cast<std::size_t>(bytes->size()),
                                  bytes};
        });
    entry.embeddable = entry.face->hasTrueTypeOutlines();
    if (!entry.embeddable) {
        qCWarning(lcPrinting) << "PDF output leaves out the glyphs of" << raw.familyName()
                              << raw.styleName() << "(no TrueType outlines to embed)";
        return nullptr;
    }
    return entry.face.get();
}

} // namespace

const PdfFontSource::TextFont &PdfFontSource::of(const CachedFont &font)
{
    thread_local std::unordered_map<const CachedFont *, TextFont> fonts;
    auto it = fonts.find(&font);
    if (it != fonts.end())
        return it->second;
    const QRawFont &raw = font.rawFont();
    TextFont t;
    t.face = faceOf(raw);
    // Qt imitates a style the face lacks: bold by drawing twice, italic by
    // slanting.
    const unsigned macStyle = readUint16(raw.fontTable("head"), 44);
    const unsigned weightClass = readUint16(raw.fontTable("OS/2"), 4);
    t.syntheticBold = font.font().bold() && !(macStyle & 1) && weightClass < 600;
    t.syntheticItalic = font.font().italic() && !(macStyle & 2);
    return fonts.emplace(&font, t).first->second;
}

PdfFontSource::FallbackGlyph PdfFontSource::fallback(const CachedFont &font, char32_t character)
{
    thread_local std::map<std::pair<const CachedFont *, char32_t>, FallbackGlyph> glyphs;
    const auto key = std::make_pair(&font, character);
    auto it = glyphs.find(key);
    if (it != glyphs.end())
        return it->second;
    FallbackGlyph g;
    const char32_t ucs4[] = {character};
    QTextLayout layout(QString::fromUcs4(ucs4, 1), font.font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QList<quint32> indexes = run.glyphIndexes();
        if (!indexes.isEmpty() && indexes.front() != 0) {
            g.face = faceOf(run.rawFont());
            g.index = indexes.front();
            break;
        }
    }
    return glyphs.emplace(key, g).first->second;
}

} // namespace tally::printing
