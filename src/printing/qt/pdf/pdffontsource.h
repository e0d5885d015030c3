#pragma once

#include <QtGlobal>

namespace tally::printing {

class CachedFont;

namespace pdf {
class FontFace;
}

// The faces behind Qt's fonts for the PDF writer, read through QRawFont's
// tables once per thread and kept for the life of the thread (a handful
// of faces), so a face of a .ttc collection is the one Qt chose.
class PdfFontSource
{
public:
    struct TextFont
    {
        const pdf::FontFace *face = nullptr; // null: a face that cannot be embedded
        // Styles Qt draws by imitation because the face lacks them.
        bool syntheticBold = false;
        bool syntheticItalic = false;
    };
    // The face of a cached font; the reference stays valid until the
    // calling thread ends.
    static const TextFont &of(const CachedFont &font);

    struct FallbackGlyph
    {
        const pdf::FontFace *face = nullptr; // null: no font has the character
        quint32 index = 0;
    };
    // The glyph Qt falls back to for a character the font lacks.
    static FallbackGlyph fallback(const CachedFont &font, char32_t character);
};

} // namespace tally::printing
