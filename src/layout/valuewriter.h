#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tally::layout {

// Appends the typed values and raw tag bytes of a layout stream to a byte
// buffer, always in the shortest encoding.
class ValueWriter
{
public:
    // Integer: 0x02 for -128..127, 0x03 for 16 bits, else 0x04; little-endian.
    void WriteInt(std::int32_t value);
    // UTF-8 text: 7-bit text as 0x06 (under 256 bytes) or 0x0C, anything else
    // as 0x14 with its UTF-8 bytes.
    void WriteString(std::string_view utf8);
    // 0x09 or 0x08.
    void WriteBool(bool value);
    // One raw byte.
    void WriteTag(std::uint8_t tag) { m_bytes.push_back(tag); }
    void WriteListBegin() { m_bytes.push_back(0x01); }
    void WriteListEnd() { m_bytes.push_back(0x00); }

    const std::vector<std::uint8_t> &Bytes() const { return m_bytes; }
    // Hands over the bytes written so far.
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    void writeLe32(std::uint32_t value);

    std::vector<std::uint8_t> m_bytes;
};

} // namespace tally::layout
