#include "printing/pdf/pdffilewriter.h"

#include "base/textcodec.h"
#include "printing/pdf/pdfnumber.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tally::printing::pdf {

PdfFileWriter::PdfFileWriter(const std::string &path)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    // Large writes: a page's content goes out in one piece.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 16);
    // The binary comment tells transfer programs the file is not text.
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

PdfFileWriter::~PdfFileWriter()
{
    if (m_file)
        std::fclose(m_file);
}

void PdfFileWriter::write(std::string_view bytes)
{
    if (m_failed || bytes.empty())
        return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_failed = true;
    m_offset += bytes.size();
}

int PdfFileWriter::reserve()
{
    m_offsets.push_back(0);
    return static_cast<int>(m_offsets.size());
}

void PdfFileWriter::begin(int id)
{
    m_offsets.at(static_cast<std::size_t>(id - 1)) = m_offset;
    std::string head;
    appendInteger(head, id);
    head += " 0 obj\n";
    write(head);
}

void PdfFileWriter::object(int id, std::string_view body)
{
    begin(id);
    write(body);
    write("\nendobj\n");
}

void PdfFileWriter::compressedStream(int id, std::string_view dict, std::string_view data)
{
    begin(id);
    std::string head = "<</Filter/FlateDecode/Length ";
    appendInteger(head, static_cast<std::int64_t>(data.size()));
    head += dict;
    head += ">>stream\n";
    write(head);
    write(data);
    write("\nendstream\nendobj\n");
}

bool PdfFileWriter::finish(int rootId, int infoId)
{
    const std::uint64_t xref = m_offset;
    std::string s = "xref\n0 ";
    appendInteger(s, static_cast<std::int64_t>(m_offsets.size() + 1));
    s += "\n0000000000 65535 f \n";
    for (const std::uint64_t offset : m_offsets) {
        char entry[21] = "0000000000 00000 n \n";
        std::uint64_t v = offset;
        for (int i = 9; i >= 0; --i, v /= 10)
            entry[i] = static_cast<char>('0' + v % 10);
        s.append(entry, 20);
    }
    s += "trailer\n<</Size ";
    appendInteger(s, static_cast<std::int64_t>(m_offsets.size() + 1));
    s += "/Root ";
    appendInteger(s, rootId);
    s += " 0 R/Info ";
    appendInteger(s, infoId);
    s += " 0 R>>\nstartxref\n";
    appendInteger(s, static_cast<std::int64_t>(xref));
    s += "\n%%EOF\n";
    write(s);
    // A full disk often shows only when the buffer is flushed or closed.
    const bool flushed = std::fflush(m_file) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return !m_failed && flushed && closed;
}

std::string pdfTextString(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string s = "<FEFF";
    const auto unit = [&s](unsigned u) {
        for (int shift = 12; shift >= 0; shift -= 4)
            s += kHex[(u >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = text::nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    s += '>';
    return s;
}

} // namespace tally::printing::pdf
