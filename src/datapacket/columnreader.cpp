#include "datapacket/columnreader.h"

namespace tally::datapacket {

ColumnReader::ColumnReader(const PacketField &field) : m_field(&field)
{
    const DataPacketTable &table = *field.m_table;
    m_rows = table.recordCount();
    const FieldKind kind = field.kind();
    if (isTextKind(kind))
        m_kind = Kind::Text;
    else if (isIntegerKind(kind))
        m_kind = Kind::Integer;
    else if (kind == FieldKind::Float || kind == FieldKind::Bcd)
        m_kind = Kind::Float;
    if (m_rows == 0 || field.m_column < 0)
        return;
    const PacketColumn &column = table.m_data.columns[static_cast<std::size_t>(field.m_column)];
    m_bound = true;
    m_nulls = column.nulls.words();
    if (!column.narrow.empty()) {
        m_narrow = column.narrow.data();
        if (field.intValue(0xFFFFFFFF) < 0)
            m_narrowSignBit = 0x80000000;
    } else {
        m_wide = column.wide.data();
    }
    m_text = table.m_data.text.c_str();
    m_textSize = table.m_data.text.size();
}

} // namespace tally::datapacket
