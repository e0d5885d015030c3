#pragma once

#include "datapacket/datapackettable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tally::datapacket {

// Reads one field's cells row after row, for a reader that walks a whole
// table (an export): the values PacketField::at gives, through the storage
// found once instead of once per cell. Valid while the table is unchanged
// (no load, append or close), like the cells it reads.
class ColumnReader
{
public:
    // How the cells are stored: text, integer() and number() read the first
    // three without a FieldCell; cell() reads every kind.
    enum class Kind : unsigned char
    {
        Text,
        Integer,
        Float,
        Other
    };

    explicit ColumnReader(const PacketField &field);

    const PacketField &field() const { return *m_field; }
    std::size_t rowCount() const { return m_rows; }
    Kind kind() const { return m_kind; }

    // The reads below give what at(row) would, and throw FieldError for a
    // row past rowCount() as it does.
    bool isNull(std::size_t row) const
    {
        check(row);
        return !m_bound || (m_nulls[row / 64] >> (row % 64) & 1) != 0;
    }
    // As at(row).textView().
    std::string_view text(std::size_t row) const
    {
        if (m_kind != Kind::Text) [[unlikely]]
            return cell(row).textView();
        return isNull(row) ? std::string_view{} : presentText(row);
    }
    // As at(row).asInteger().
    std::int64_t integer(std::size_t row) const
    {
        if (m_kind != Kind::Integer) [[unlikely]]
            return cell(row).asInteger();
        return isNull(row) ? 0 : presentInteger(row);
    }
    // As at(row).asFloat().
    double number(std::size_t row) const
    {
        if (m_kind != Kind::Float) [[unlikely]]
            return cell(row).asFloat();
        return isNull(row) ? 0.0 : presentNumber(row);
    }
    // As at(row), for every other read.
    FieldCell cell(std::size_t row) const
    {
        if (isNull(row))
            return FieldCell(*m_field, row, false, 0);
        return presentCell(row);
    }

    // For a reader that walks the rows in blocks of 64: the null flags of
    // the rows from 64 * block on, row 64 * block + i in bit i. Rows past the
    // last are null. Throws FieldError for a block that starts past the last
    // row.
    std::uint64_t nullFlags(std::size_t block) const
    {
        check(block * 64);
        if (!m_bound)
            return ~std::uint64_t{0};
        std::uint64_t flags = m_nulls[block];
        if (const std::size_t left = m_rows - block * 64; left < 64)
            flags |= ~std::uint64_t{0} << left;
        return flags;
    }
    // The reads of a row whose null flag nullFlags gave clear, which are not
    // checked again: text(), integer(), number() and cell() without their
    // checks. Each is for the reader's own kind() only (cell for any).
    std::string_view presentText(std::size_t row) const
    {
        return cell::textIn(m_text, m_textSize, m_wide[row]);
    }
    std::int64_t presentInteger(std::size_t row) const
    {
        if (m_narrow == nullptr)
            return cell::toInt(m_wide[row]);
        // Flipping the sign bit and taking it off again sign-extends a signed
        // value; with no bit to flip an unsigned one is left as it is.
        return static_cast<std::int64_t>(m_narrow[row] ^ m_narrowSignBit) -
               std::int64_t{m_narrowSignBit};
    }
    double presentNumber(std::size_t row) const { return cell::toDouble(m_wide[row]); }
    FieldCell presentCell(std::size_t row) const
    {
        return FieldCell(*m_field, row, true, m_narrow != nullptr ? m_narrow[row] : m_wide[row]);
    }

private:
    void check(std::size_t row) const
    {
        if (row >= m_rows) [[unlikely]]
            m_field->failRow(row);
    }

    const PacketField *m_field;
    Kind m_kind = Kind::Other;
    bool m_bound = false; // a field the packet lacks has only nulls
    std::size_t m_rows = 0;
    const std::uint32_t *m_narrow = nullptr;
    // The sign bit of a narrow signed integer kind, 0 for the others (see
    // PacketField::intValue).
    std::uint32_t m_narrowSignBit = 0;
    const std::uint64_t *m_wide = nullptr;
    const std::uint64_t *m_nulls = nullptr; // the null flags, 64 rows to a word
    const char *m_text = nullptr;
    std::size_t m_textSize = 0;
};

} // namespace tally::datapacket
