#pragma once

#include "base/currency.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tally::datapacket {

class PacketField;

// The value of one field in one row of a loaded table, read without moving
// the table's current row, so a grid, a report and an export can read the
// same table at once. A cell of no row (a closed or empty table) reads as
// null. The cell finds its value (null flag and storage) once, when it is
// made, so every read of it after that costs no second look-up: read it
// before the table changes (a load, an append, a close). Valid while its
// field is.
class FieldCell
{
public:
    // The row that means "no row": every read is of a null value.
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    FieldCell(const PacketField &field, std::size_t row);

    const PacketField &field() const { return *m_field; }
    // 0-based row; kNoRow for none.
    std::size_t row() const { return m_row; }

    // True when the row has no value (or there is no row).
    bool isNull() const { return !m_present; }
    // Cells of one field with equal keys hold equal values (equal values may
    // still have different keys: texts do), so a reader of many cells can
    // reuse what it made of a value. Null cells have no key.
    std::uint64_t valueKey() const { return m_value; }
    // Text: the text; integers: decimal form; floats: general form with 15
    // digits; others: their display form. Null gives the empty text.
    std::string asString() const;
    // Appends asString() to out (no text of its own is built).
    void appendString(std::string &out) const;
    // Text is parsed as a decimal integer; floats round to nearest. Throws
    // FieldError for text that is not an integer (the empty text included) or
    // a value out of range. Null numeric values give 0.
    std::int64_t asInteger() const;
    // Text is parsed with the user's decimal separator; date-times give their
    // day serial (days since 1899-12-30). Throws FieldError like asInteger.
    double asFloat() const;
    // As asFloat, then fixed point with four decimals; throws FieldError when
    // out of the fixed-point range.
    Currency asCurrency() const;
    // Text fields only: the text without a copy, valid until the table
    // changes; empty for other kinds and nulls.
    std::string_view textView() const;
    // What a grid cell or bill body shows: the field's text callback, else
    // empty for null, else the value formatted by display format / currency
    // flag / kind.
    std::string displayText() const;
    // Appends displayText() to out.
    void appendDisplayText(std::string &out) const;
    // As displayText, but a currency field without display format gives plain
    // fixed decimals (no symbol, no grouping), for printouts and exports.
    std::string editText() const;
    // Appends editText() to out.
    void appendEditText(std::string &out) const;

private:
    friend class PacketField;
    friend class ColumnReader;
    FieldCell(const PacketField &field, std::size_t row, bool present, std::uint64_t value)
        : m_field(&field), m_row(row), m_value(value), m_present(present)
    {
    }
    [[noreturn]] void failRead(const std::string &what) const;
    // asInteger and asFloat for the kinds that need parsing or conversion;
    // the common kinds are read inline (datapackettable.h).
    std::int64_t convertToInteger() const;
    double convertToFloat() const;
    void appendValue(std::string &out, bool edit) const;

    const PacketField *m_field;
    std::size_t m_row;
    std::uint64_t m_value = 0; // the storage of a present value
    bool m_present = false;
};

} // namespace tally::datapacket
