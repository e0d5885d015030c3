#include "printing/pdf/pdfdocument.h"

#include "printing/pdf/pdfnumber.h"

namespace tally::printing::pdf {

PdfDocument::PdfDocument(const std::string &path)
    : m_file(path), m_pagesId(m_file.reserve()), m_resourcesId(m_file.reserve())
{
}

EmbeddedFont &PdfDocument::font(const FontFace &face)
{
    auto &slot = m_fonts[&face];
    if (!slot)
        slot = std::make_unique<EmbeddedFont>(face, m_file.reserve(),
                                              "F" + std::to_string(m_fonts.size()));
    return *slot;
}

void PdfDocument::addPage(double widthPt, double heightPt, std::string_view content)
{
    const int page = m_file.reserve();
    const int contents = m_file.reserve();
    m_deflater.compress(content, m_packed);
    m_file.compressedStream(contents, {}, m_packed);
    std::string s = "<</Type/Page/Parent ";
    appendInteger(s, m_pagesId);
    s += " 0 R/MediaBox[0 0 ";
    appendNumber(s, widthPt);
    s += ' ';
    appendNumber(s, heightPt);
    s += "]/Resources ";
    appendInteger(s, m_resourcesId);
    s += " 0 R/Contents ";
    appendInteger(s, contents);
    s += " 0 R>>";
    m_file.object(page, s);
    m_pageIds.push_back(page);
}

bool PdfDocument::finish(std::string_view title, std::string_view creator, std::string_view date)
{
    Deflater fontDeflater(kFontCompression);
    std::string s = "<</Font<<";
    for (const auto &[face, font] : m_fonts) {
        font->write(m_file, fontDeflater);
        s += '/';
        s += font->resource();
        s += ' ';
        appendInteger(s, font->objectId());
        s += " 0 R";
    }
    s += ">>>>";
    m_file.object(m_resourcesId, s);

    s = "<</Type/Pages/Kids[";
    for (const int id : m_pageIds) {
        appendInteger(s, id);
        s += " 0 R ";
    }
    s += "]/Count ";
    appendInteger(s, static_cast<std::int64_t>(m_pageIds.size()));
    s += ">>";
    m_file.object(m_pagesId, s);

    const int catalog = m_file.reserve();
    s = "<</Type/Catalog/Pages ";
    appendInteger(s, m_pagesId);
    s += " 0 R>>";
    m_file.object(catalog, s);

    const int info = m_file.reserve();
    s = "<</Title";
    s += pdfTextString(title);
    s += "/Creator";
    s += pdfTextString(creator);
    s += "/Producer";
    s += pdfTextString(creator);
    s += "/CreationDate(";
    s += date;
    s += ")>>";
    m_file.object(info, s);
    return m_file.finish(catalog, info);
}

} // namespace tally::printing::pdf
