#pragma once

#include "base/datetimeformat.h"
#include "datapacket/fielddef.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tally::datapacket {

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

// One flag per row, 64 to a word: reading a row's flag is a shift and a
// mask, which whole-column readers (exports) do for every cell.
class RowFlags
{
public:
    std::size_t size() const { return m_size; }
    bool operator[](std::size_t row) const { return (m_words[row / 64] >> (row % 64) & 1) != 0; }
    void set(std::size_t row, bool value)
    {
        const std::uint64_t bit = std::uint64_t{1} << (row % 64);
        if (value)
            m_words[row / 64] |= bit;
        else
            m_words[row / 64] &= ~bit;
    }
    void assign(std::size_t size, bool value)
    {
        m_size = size;
        m_words.assign((size + 63) / 64, value ? ~std::uint64_t{0} : 0);
    }
    void push_back(bool value)
    {
        if (m_size % 64 == 0)
            m_words.push_back(0);
        set(m_size++, value);
    }
    const std::uint64_t *words() const { return m_words.data(); }

private:
    std::vector<std::uint64_t> m_words;
    std::size_t m_size = 0;
};

// The values of one field, one cell per row: the integer, the bits of the
// double, a packed date-time, or the place of NUL-terminated text inside
// PacketData::text (see cell::fromText). Kinds whose cells fit 32 bits keep
// them in `narrow`, the others in `wide`, so a large packet costs little more
// than its text.
struct PacketColumn
{
    std::vector<std::uint32_t> narrow;
    std::vector<std::uint64_t> wide;
    RowFlags nulls;

    // True for the kinds stored in `narrow`. Text cells are wide: they hold
    // their text's length besides its offset.
    static bool isNarrow(FieldKind kind)
    {
        switch (kind) {
        case FieldKind::Text:
        case FieldKind::WideText:
        case FieldKind::Memo:
        case FieldKind::Blob:
        case FieldKind::Int64:
        case FieldKind::Float:
        case FieldKind::Bcd:
        case FieldKind::Date:
        case FieldKind::Time:
        case FieldKind::DateTime:
            return false;
        default:
            return true;
        }
    }
    void resize(FieldKind kind, std::size_t rows)
    {
        (isNarrow(kind) ? narrow.resize(rows) : wide.resize(rows));
        nulls.assign(rows, true);
    }
    // Narrow cells come back zero-extended; signed narrow kinds are
    // sign-extended by their reader (PacketField).
    std::uint64_t get(std::size_t row) const { return narrow.empty() ? wide[row] : narrow[row]; }
    void set(std::size_t row, std::uint64_t v)
    {
        if (narrow.empty())
            wide[row] = v;
        else
            narrow[row] = static_cast<std::uint32_t>(v);
    }
};

// True for the kinds whose cells are text cells (see cell::fromText).
inline bool holdsText(FieldKind kind)
{
    return isTextKind(kind) || kind == FieldKind::Blob;
}

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

// A text cell: the offset in the low 32 bits, the length plus one in the
// high ones, so reading it needs no search for its end. Without a length (0
// there) the text ends at its NUL.
inline std::uint64_t fromText(std::uint32_t offset)
{
    return offset;
}
inline std::uint64_t fromText(std::uint32_t offset, std::uint32_t length)
{
    return offset | (static_cast<std::uint64_t>(length) + 1) << 32;
}
inline std::uint32_t textOffset(std::uint64_t c)
{
    return static_cast<std::uint32_t>(c);
}
// The length of a text cell's text; false when the cell does not hold it.
inline bool textLength(std::uint64_t c, std::uint32_t &length)
{
    if ((c >> 32) == 0)
        return false;
    length = static_cast<std::uint32_t>((c >> 32) - 1);
    return true;
}
// The text of a text cell inside `text`, the buffer of its packet (size
// bytes, NUL-terminated there). A cell kept past a close or reload must not
// read outside the buffer.
inline std::string_view textIn(const char *text, std::size_t size, std::uint64_t c)
{
    const std::uint32_t offset = textOffset(c);
    if (offset >= size) [[unlikely]]
        return {};
    std::uint32_t length = 0;
    if (!textLength(c, length)) [[unlikely]]
        return std::string_view(text + offset);
    return std::string_view(text + offset, std::min<std::size_t>(length, size - offset));
}
// The same text at another offset (its buffer appended to another).
inline std::uint64_t movedText(std::uint64_t c, std::uint32_t offset)
{
    return (c & ~std::uint64_t{0xFFFFFFFF}) | offset;
}
inline std::uint64_t fromInt(std::int64_t v)
{
    return static_cast<std::uint64_t>(v);
}
inline std::int64_t toInt(std::uint64_t c)
{
    return static_cast<std::int64_t>(c);
}
inline std::uint64_t fromDouble(double v)
{
    return std::bit_cast<std::uint64_t>(v);
}
inline double toDouble(std::uint64_t c)
{
    return std::bit_cast<double>(c);
}

// Date-times are packed as the decimal digits yyyymmddhhnnsszzz.
inline std::uint64_t fromDateTime(int y, int mo, int d, int h, int mi, int s, int ms)
{
    std::uint64_t v = static_cast<std::uint64_t>(y);
    for (int part : {mo, d, h, mi, s})
        v = v * 100 + static_cast<std::uint64_t>(part);
    return v * 1000 + static_cast<std::uint64_t>(ms);
}

inline LocalDateTime toDateTime(std::uint64_t v)
{
    LocalDateTime dt;
    dt.millisecond = static_cast<int>(v % 1000);
    v /= 1000;
    dt.second = static_cast<int>(v % 100);
    v /= 100;
    dt.minute = static_cast<int>(v % 100);
    v /= 100;
    dt.hour = static_cast<int>(v % 100);
    v /= 100;
    dt.day = static_cast<int>(v % 100);
    v /= 100;
    dt.month = static_cast<int>(v % 100);
    dt.year = static_cast<int>(v / 100);
    return dt;
}

} // namespace cell

} // namespace tally::datapacket
