#include "printing/pdf/deflater.h"

#include <zlib.h>

#include <stdexcept>

namespace tally::printing::pdf {

struct Deflater::State
{
    z_stream stream{};
};

Deflater::Deflater(int level) : m_state(std::make_unique<State>())
{
    if (deflateInit(&m_state->stream, level) != Z_OK)
        throw std::runtime_error("cannot set up zlib compression");
}

Deflater::~Deflater()
{
    deflateEnd(&m_state->stream);
}

void Deflater::compress(std::string_view data, std::string &out)
{
    z_stream &z = m_state->stream;
    deflateReset(&z);
    out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
    // zlib's interface is not const-correct; it does not write the input.
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        throw std::runtime_error("zlib compression failed");
    out.resize(z.total_out);
}

} // namespace tally::printing::pdf
