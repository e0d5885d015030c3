#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tally::printing::pdf {

// Writes the objects of one PDF file in order and, at the end, the
// cross-reference table and trailer. Object numbers are handed out before
// the objects are written, so an object can refer to one written later.
// Write failures (a full disk) are remembered and reported by finish().
class PdfFileWriter
{
public:
    // Creates or truncates the file. Throws std::runtime_error if it cannot
    // be opened for writing.
    explicit PdfFileWriter(const std::string &path);
    // Closes a file that was not finished; its content is incomplete.
    ~PdfFileWriter();
    PdfFileWriter(const PdfFileWriter &) = delete;
    PdfFileWriter &operator=(const PdfFileWriter &) = delete;

    // A new object number.
    int reserve();

    // Writes object id whole: "id 0 obj", body, "endobj".
    void object(int id, std::string_view body);
    // Writes object id as a stream of already compressed (FlateDecode)
    // data; dict holds extra dictionary entries (may be empty).
    void compressedStream(int id, std::string_view dict, std::string_view data);

    // Writes the cross-reference table and trailer and closes the file.
    // Returns false if anything could not be written; the file is then
    // incomplete and the caller removes it.
    bool finish(int rootId, int infoId);

private:
    void write(std::string_view bytes);
    void begin(int id);

    std::FILE *m_file = nullptr;
    std::uint64_t m_offset = 0;
    std::vector<std::uint64_t> m_offsets; // by object number - 1
    bool m_failed = false;
};

// The PDF text string of UTF-8 text: UTF-16BE with a byte order mark, as
// a hex string ("<FEFF...>").
std::string pdfTextString(std::string_view utf8);

} // namespace tally::printing::pdf
