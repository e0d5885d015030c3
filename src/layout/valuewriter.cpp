#include "layout/valuewriter.h"

#include <algorithm>

namespace tally::layout {

void ValueWriter::writeLe32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ValueWriter::WriteInt(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if (value >= -128 && value <= 127) {
        m_bytes.push_back(0x02);
        m_bytes.push_back(static_cast<std::uint8_t>(bits));
    } else if (value >= -32768 && value <= 32767) {
        m_bytes.push_back(0x03);
        m_bytes.push_back(static_cast<std::uint8_t>(bits));
        m_bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
    } else {
        m_bytes.push_back(0x04);
        writeLe32(bits);
    }
}

void ValueWriter::WriteString(std::string_view utf8)
{
    const bool ascii = std::all_of(utf8.begin(), utf8.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii && utf8.size() < 256) {
        m_bytes.push_back(0x06);
        m_bytes.push_back(static_cast<std::uint8_t>(utf8.size()));
    } else {
        m_bytes.push_back(ascii ? 0x0C : 0x14);
        writeLe32(static_cast<std::uint32_t>(utf8.size()));
    }
    m_bytes.insert(m_bytes.end(), utf8.begin(), utf8.end());
}

void ValueWriter::WriteBool(bool value)
{
    m_bytes.push_back(value ? 0x09 : 0x08);
}

} // namespace tally::layout
