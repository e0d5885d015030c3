#pragma once

#include "documents/fielddef.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tally {

// A field as the packet's FIELD element describes it.
struct PacketFieldInfo
{
    std::string name;
    FieldKind kind = FieldKind::Text;
    std::string typeCode; // the packet's fieldtype
    int size = 0;         // WIDTH: text width in bytes, BCD precision
    int decimals = 0;     // DECIMALS of BCD fields
    bool currency = false;
};

// The values of one field, one 64-bit cell per row: the integer, the bits of
// the double, a packed date-time, or offset and length of text inside
// PacketData::text. Kept this compact so a large packet costs little more than
// its text.
struct PacketColumn
{
    std::vector<std::uint64_t> cells;
    std::vector<bool> nulls;
};

// A packet read into memory: the fields that are visible (declared order, or
// packet order without declarations), one column per visible field, and the
// text buffer that text cells point into.
struct PacketData
{
    std::string text;
    std::vector<PacketFieldInfo> fields;
    std::vector<PacketColumn> columns;
    std::size_t rowCount = 0;
};

namespace cell {

inline std::uint64_t fromText(std::uint32_t offset, std::uint32_t length)
{
    return (std::uint64_t{offset} << 32) | length;
}
inline std::uint32_t textOffset(std::uint64_t c) { return static_cast<std::uint32_t>(c >> 32); }
inline std::uint32_t textLength(std::uint64_t c) { return static_cast<std::uint32_t>(c); }
inline std::uint64_t fromInt(std::int64_t v) { return static_cast<std::uint64_t>(v); }
inline std::int64_t toInt(std::uint64_t c) { return static_cast<std::int64_t>(c); }
inline std::uint64_t fromDouble(double v) { return std::bit_cast<std::uint64_t>(v); }
inline double toDouble(std::uint64_t c) { return std::bit_cast<double>(c); }

// Date-times are packed as the decimal digits yyyymmddhhnnsszzz.
inline std::uint64_t fromDateTime(int y, int mo, int d, int h, int mi, int s, int ms)
{
    std::uint64_t v = static_cast<std::uint64_t>(y);
    for (int part : {mo, d, h, mi, s})
        v = v * 100 + static_cast<std::uint64_t>(part);
    return v * 1000 + static_cast<std::uint64_t>(ms);
}

} // namespace cell

} // namespace tally
