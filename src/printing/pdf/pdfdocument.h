#pragma once

#include "printing/pdf/deflater.h"
#include "printing/pdf/embeddedfont.h"
#include "printing/pdf/pdffilewriter.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tally::printing::pdf {

class FontFace;

// A PDF file written page by page: each page's content stream is
// compressed and written when the page is added, fonts are embedded as
// subsets when the document is finished. Pages share one resource
// dictionary naming every font of the document.
class PdfDocument
{
public:
    // zlib levels, measured on our order form (90 KB of operators a page,
    // 120 KB of CJK glyph outlines per face). Content: level 4 is the first
    // with lazy matching, 20% smaller than 1 for 1.5 times the time, and
    // needed to stay below the size of Qt's files; 6 costs three times as
    // much for 3% less. Fonts: outlines compress to half whatever the level;
    // 1 is 30% faster than 4 for 7% more.
    static constexpr int kContentCompression = 4;
    static constexpr int kFontCompression = 1;

    // Creates or truncates the file. Throws std::runtime_error if it cannot
    // be opened.
    explicit PdfDocument(const std::string &path);

    // The document's font of the face, made on first use; the face must
    // outlive the document.
    EmbeddedFont &font(const FontFace &face);

    // Adds a page of widthPt x heightPt points with the content operators.
    void addPage(double widthPt, double heightPt, std::string_view content);

    // Writes fonts, page tree, document information (title and creator
    // are UTF-8, date is "D:YYYYMMDDHHmmSSZ") and the trailer, and closes
    // the file. Returns false if the file could not be written whole.
    // Throws std::runtime_error if a font cannot be embedded.
    bool finish(std::string_view title, std::string_view creator, std::string_view date);

private:
    PdfFileWriter m_file;
    Deflater m_deflater{kContentCompression};
    int m_pagesId;
    int m_resourcesId;
    std::vector<int> m_pageIds;
    std::map<const FontFace *, std::unique_ptr<EmbeddedFont>> m_fonts;
    std::string m_packed;
};

} // namespace tally::printing::pdf
