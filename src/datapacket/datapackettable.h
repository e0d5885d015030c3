#pragma once

#include "base/formatsettings.h"
#include "datapacket/fielddef.h"
#include "datapacket/packetdata.h"
#include "datapacket/packetfield.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tally::datapacket {

// An in-memory table loaded from a data packet: visible fields, rows and a
// current row. Owners load with load() (or the four steps clearFileBinding,
// close, loadPacket, open) and read fields of the current row.
class DataPacketTable
{
public:
    // Display texts use the given regional settings.
    explicit DataPacketTable(FormatSettings settings = FormatSettings::chinesePrc());
    ~DataPacketTable();
    DataPacketTable(const DataPacketTable &) = delete;
    DataPacketTable &operator=(const DataPacketTable &) = delete;

    const FormatSettings &formatSettings() const { return m_settings; }
    void setFormatSettings(FormatSettings settings)
    {
        m_settings = std::move(settings);
        for (const auto &f : m_fields)
            f->preparePatterns();
    }

    // Fixes the visible fields in advance (closes the table). Loads then bind
    // them by name and fail on a missing or incompatible field. An empty list
    // makes every packet field visible again.
    void setDeclaredFields(std::vector<FieldDef> fields);
    bool hasDeclaredFields() const { return !m_declared.empty(); }

    // Forgets any file the table would load from (the table only loads text).
    void clearFileBinding() {}
    // Empties the table: no rows; packet fields go away, declared fields stay.
    void close();
    // Replaces fields and rows by those of the packet (UTF-8) and opens the
    // table on its first row. Throws PacketError on malformed text or a
    // declared-field mismatch; the table is then closed and empty.
    void loadPacket(std::string packet);
    // Replaces fields and rows by data the program built itself (a query
    // result, say) and opens the table on its first row, as loadPacket does
    // for packet text. Throws std::invalid_argument when the data's shape
    // does not hold (a column per field, a cell per row and kind) or there
    // are declared fields; the table is then closed and empty.
    void loadData(PacketData data);
    // Appends the rows of `rows`, which must have this table's fields (same
    // count and kinds), keeping the fields and their display settings, and
    // goes to the first row. Throws std::invalid_argument otherwise, the
    // table unchanged.
    void appendData(const PacketData &rows);
    // Makes the loaded rows available; no effect when already open.
    void open();
    // The loading sequence every owner uses: clear file binding, close, load, open.
    void load(std::string packet);
    bool isActive() const { return m_active; }
    // For whole-table work (printing, exporting) that makes no sense on a
    // table that never loaded: throws FieldError when it is closed.
    void checkActive() const;

    std::size_t recordCount() const { return m_active ? m_data.rowCount : 0; }
    // Current row := 0, +1, +n, clamped to the rows; moving past the last
    // row sets the end flag, any other move clears it.
    void first();
    void next();
    void moveBy(long long n);
    // 1-based record number of the current row; 0 without rows.
    std::size_t recordNumber() const;
    // Current row := n - 1 (clamped); clears the end flag.
    void setRecordNumber(long long n);
    // True after moving past the last row, and for an empty or closed table.
    bool eof() const { return m_eof; }

    // Stops and restarts updating the views bound to the table; nests.
    void suspendDisplay();
    void resumeDisplay();
    bool displaySuspended() const { return m_suspend > 0; }
    // Called with true when display updates stop and false when they restart.
    void setDisplayObserver(std::function<void(bool suspended)> observer)
    {
        m_observer = std::move(observer);
    }

    // Visible fields in order (declared fields, or the packet's).
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    // The field at i (0-based); throws FieldError when out of range.
    PacketField &field(int i) const;
    // Finds a visible field by name, ignoring letter case; throws FieldError
    // ("field "X" not found") when there is none.
    PacketField &fieldByName(std::string_view name) const;
    // As fieldByName, but nullptr when there is no such field.
    PacketField *findField(std::string_view name) const;

    // Read-only access by position, independent of the current row: the
    // value of field `column` in row `row` (both 0-based). Throws FieldError
    // for a column or row out of range.
    FieldCell cell(std::size_t row, int column) const { return field(column).at(row); }

private:
    friend class PacketField;
    friend class FieldCell;
    friend class ColumnReader;
    // The storage of a present value; false for a null (or no such cell).
    bool cellAt(std::size_t row, int column, std::uint64_t &value) const
    {
        if (!m_active || column < 0 || row >= m_data.rowCount)
            return false;
        const PacketColumn &c = m_data.columns[static_cast<std::size_t>(column)];
        if (c.nulls[row])
            return false;
        value = c.get(row);
        return true;
    }
    std::string_view textOf(std::uint64_t value) const; // inline, below
    std::size_t currentRowIndex() const { return m_current; }
    void install(PacketData data);

    FormatSettings m_settings;
    std::vector<FieldDef> m_declared;
    std::vector<std::unique_ptr<PacketField>> m_fields;
    PacketData m_data;
    bool m_active = false;
    bool m_eof = true;
    std::size_t m_current = 0;
    int m_suspend = 0;
    std::function<void(bool)> m_observer;
};

// The reads every cell of a grid, export or bill makes, inline.

inline std::string_view DataPacketTable::textOf(std::uint64_t value) const
{
    // Text cells point at values the in-place parse left NUL-terminated,
    // most with their length.
    return cell::textIn(m_data.text.c_str(), m_data.text.size(), value);
}

inline std::string_view FieldCell::textView() const
{
    if (!isTextKind(m_field->m_kind) || !m_present)
        return {};
    return m_field->m_table->textOf(m_value);
}

inline std::int64_t FieldCell::asInteger() const
{
    if (isIntegerKind(m_field->m_kind))
        return m_present ? m_field->intValue(m_value) : 0;
    return convertToInteger();
}

inline double FieldCell::asFloat() const
{
    if (m_field->m_kind == FieldKind::Float || m_field->m_kind == FieldKind::Bcd)
        return m_present ? cell::toDouble(m_value) : 0.0;
    return convertToFloat();
}

inline FieldCell PacketField::at(std::size_t row) const
{
    if (row >= m_table->recordCount()) [[unlikely]]
        failRow(row);
    std::uint64_t value = 0;
    const bool present = m_table->cellAt(row, m_column, value);
    return FieldCell(*this, row, present, value);
}

} // namespace tally::datapacket
