#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tally::printing::pdf {

// zlib compression of PDF streams (FlateDecode). One compressor is reused
// for every stream of a document: setting one up costs more than
// compressing a small stream.
class Deflater
{
public:
    // level: zlib's 1 (fastest) to 9 (smallest).
    explicit Deflater(int level);
    ~Deflater();
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;

    // The zlib stream of data, replacing out's content. Throws
    // std::runtime_error if zlib fails (out of memory).
    void compress(std::string_view data, std::string &out);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tally::printing::pdf
