#pragma once

#include "base/currency.h"
#include "base/datetimeformat.h"
#include "datapacket/fieldcell.h"
#include "datapacket/fielddef.h"
#include "datapacket/packetdata.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tally::datapacket {

class DataPacketTable;
struct PacketFieldInfo;

// One field of a DataPacketTable: its metadata, and reads of any row through
// at() or of the table's current row (with no current row, in a closed or
// empty table, the field reads as null).
// Fields are owned by their table: declared fields live as long as the table,
// packet fields until the next close or load.
class PacketField
{
public:
    PacketField(const PacketField &) = delete;
    PacketField &operator=(const PacketField &) = delete;

    const std::string &name() const { return m_name; }
    FieldKind kind() const { return m_kind; }
    // Text fields: width in code-page-936 bytes (declared size or packet WIDTH);
    // BCD fields: precision; 0 otherwise.
    int size() const { return m_size; }
    // Decimals of a BCD field.
    int decimals() const { return m_decimals; }
    // The packet's type code of the bound field; empty while not loaded.
    const std::string &typeCode() const { return m_typeCode; }
    // Position among the table's visible fields.
    int index() const { return m_index; }
    bool isDeclared() const { return m_declared; }
    bool isFixedLength() const { return m_fixedLength; }
    bool isVisible() const { return true; }
    const DataPacketTable &table() const { return *m_table; }

    // The display label; the name when none was set.
    const std::string &displayLabel() const { return m_label.empty() ? m_name : m_label; }
    void setDisplayLabel(std::string label) { m_label = std::move(label); }
    // Number pattern for numeric fields (see formatFloatPattern); empty for none.
    const std::string &displayFormat() const { return m_format; }
    void setDisplayFormat(std::string format)
    {
        m_format = std::move(format);
        preparePatterns();
    }
    // Float and BCD fields with the flag show in the user's currency format.
    bool isCurrency() const { return m_currency; }
    void setCurrency(bool currency) { m_currency = currency; }
    // Replaces the display text; an empty callback removes it.
    void setTextCallback(FieldTextCallback callback) { m_callback = std::move(callback); }
    bool hasTextCallback() const { return static_cast<bool>(m_callback); }

    // Characters a column of this field needs: the size for text, 10 for
    // integers and floats, a fitting width for the other kinds.
    int displayWidth() const;

    // This field in row `row` (0-based), read without moving the current
    // row. Throws FieldError when the table has no such row. Inline, with
    // the table (datapackettable.h): exports read every cell through it.
    inline FieldCell at(std::size_t row) const;
    // This field in the table's current row (no row when the table is
    // closed or empty).
    FieldCell current() const;

    // The reads of the current row (see FieldCell).
    bool isNull() const { return current().isNull(); }
    std::string asString() const { return current().asString(); }
    std::int64_t asInteger() const { return current().asInteger(); }
    double asFloat() const { return current().asFloat(); }
    Currency asCurrency() const { return current().asCurrency(); }
    std::string_view textView() const { return current().textView(); }
    std::string displayText() const { return current().displayText(); }
    std::string editText() const { return current().editText(); }

private:
    friend class DataPacketTable;
    friend class ColumnReader;
    PacketField(const DataPacketTable *table, const FieldDef &def, int index, bool declared);

    // Binds to the loaded column (the packet's facts fill what no declaration set).
    void bind(int column, const PacketFieldInfo &info);
    void unbind();
    [[noreturn]] void failRow(std::size_t row) const;
    // Reads the date-time patterns of this field's kind, display format and
    // table settings once, for every cell formatted after.
    void preparePatterns();
    friend class FieldCell;
    double numeric(std::uint64_t value) const;
    // Signed kinds of up to 32 bits are kept narrow, as their low 32 bits.
    std::int64_t intValue(std::uint64_t value) const
    {
        if (m_kind == FieldKind::Int8 || m_kind == FieldKind::Int16 || m_kind == FieldKind::Int32)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return cell::toInt(value);
    }

    const DataPacketTable *m_table;
    std::string m_name;
    FieldKind m_kind;
    int m_size = 0;
    int m_decimals = 0;
    std::string m_typeCode;
    int m_index;
    int m_column = -1;
    bool m_declared;
    bool m_fixedLength = false;
    std::string m_label;
    std::string m_format;
    bool m_currency = false;
    FieldTextCallback m_callback;
    DateTimePattern m_valuePattern;  // date-time kinds: the plain text of a value
    DateTimePattern m_formatPattern; // date-time kinds: the display format
};

} // namespace tally::datapacket
