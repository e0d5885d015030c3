#include "layout/valuereader.h"

#include "base/textcodec.h"
#include "layout/layoutstreamerror.h"

#include <algorithm>

namespace tally::layout {

namespace {

std::uint32_t le32(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::string fromUtf16le(const std::uint8_t *p, std::size_t units)
{
    std::string out;
    out.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = std::uint32_t{p[2 * i]} | std::uint32_t{p[2 * i + 1]} << 8;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const std::uint32_t low = std::uint32_t{p[2 * i + 2]} | std::uint32_t{p[2 * i + 3]}
                                                                        << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text::appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        // An unpaired surrogate cannot be represented in UTF-8.
        text::appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    return out;
}

std::string fromSingleByte(const std::uint8_t *p, std::size_t n)
{
    const std::string_view bytes(reinterpret_cast<const char *>(p), n);
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? std::string(bytes) : text::fromCodePage(bytes);
}

} // namespace

void ValueReader::Fail(std::size_t offset, const char *message)
{
    throw LayoutStreamError(offset, message);
}

const std::uint8_t *ValueReader::take(std::size_t n, std::size_t itemStart)
{
    if (n > Remaining())
        Fail(itemStart, kStreamReadError);
    const std::uint8_t *p = m_bytes.data() + m_pos;
    m_pos += n;
    return p;
}

std::uint8_t ValueReader::ReadByte()
{
    return *take(1, m_pos);
}

std::int32_t ValueReader::ReadInt()
{
    const std::size_t start = m_pos;
    const std::uint8_t type = *take(1, start);
    switch (type) {
    case 0x02:
        return static_cast<std::int8_t>(*take(1, start));
    case 0x03: {
        const std::uint8_t *p = take(2, start);
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    }
    case 0x04:
        return static_cast<std::int32_t>(le32(take(4, start)));
    default:
        Fail(start, kInvalidPropertyValue);
    }
}

std::string ValueReader::ReadString()
{
    const std::size_t start = m_pos;
    const std::uint8_t type = *take(1, start);
    switch (type) {
    case 0x06: {
        const std::size_t n = *take(1, start);
        return fromSingleByte(take(n, start), n);
    }
    case 0x0C: {
        const std::size_t n = le32(take(4, start));
        return fromSingleByte(take(n, start), n);
    }
    case 0x12: {
        const std::size_t units = le32(take(4, start));
        // Compare before multiplying so a huge count cannot wrap.
        if (units > Remaining() / 2)
            Fail(start, kStreamReadError);
        return fromUtf16le(take(units * 2, start), units);
    }
    case 0x14: {
        const std::size_t n = le32(take(4, start));
        const std::uint8_t *p = take(n, start);
        return text::sanitizeUtf8(std::string_view(reinterpret_cast<const char *>(p), n));
    }
    default:
        Fail(start, kInvalidPropertyValue);
    }
}

bool ValueReader::ReadBool()
{
    return ReadByte() == 0x09;
}

void ValueReader::ReadListBegin()
{
    const std::size_t start = m_pos;
    if (ReadByte() != 0x01)
        Fail(start, kInvalidPropertyValue);
}

bool ValueReader::AtListEnd()
{
    if (*take(1, m_pos) == 0x00)
        return true;
    --m_pos;
    return false;
}

} // namespace tally::layout
