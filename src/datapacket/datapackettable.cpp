#include "datapacket/datapackettable.h"

#include "base/asciitext.h"
#include "datapacket/fielderror.h"
#include "datapacket/packeterror.h"
#include "datapacket/packetreader.h"

#include <algorithm>
#include <stdexcept>

namespace tally::datapacket {

namespace {

} // namespace

DataPacketTable::DataPacketTable(FormatSettings settings) : m_settings(std::move(settings)) {}

DataPacketTable::~DataPacketTable() = default;

void DataPacketTable::setDeclaredFields(std::vector<FieldDef> fields)
{
    close();
    m_declared = std::move(fields);
    m_fields.clear();
    for (std::size_t i = 0; i < m_declared.size(); ++i)
        m_fields.push_back(std::unique_ptr<PacketField>(
            new PacketField(this, m_declared[i], static_cast<int>(i), true)));
}

void DataPacketTable::close()
{
    m_active = false;
    m_eof = true;
    m_current = 0;
    m_data = PacketData{};
    if (m_declared.empty())
        m_fields.clear();
    for (auto &f : m_fields)
        f->unbind();
}

void DataPacketTable::loadPacket(std::string packet)
{
    close();
    PacketData data;
    PacketParseResult result = PacketReader::read(std::move(packet), m_declared, data);
    if (!result)
        throw PacketError(std::move(result));
    install(std::move(data));
}

void DataPacketTable::install(PacketData data)
{
    m_data = std::move(data);
    if (m_declared.empty()) {
        for (std::size_t i = 0; i < m_data.fields.size(); ++i) {
            FieldDef def;
            def.name = m_data.fields[i].name;
            def.kind = m_data.fields[i].kind;
            m_fields.push_back(std::unique_ptr<PacketField>(
                new PacketField(this, def, static_cast<int>(i), false)));
        }
    }
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->bind(static_cast<int>(i), m_data.fields[i]);
    open();
}

namespace {

// Whether every column has a cell (and a null flag) per row, in the storage
// its field's kind uses.
bool wellShaped(const PacketData &data)
{
    if (data.columns.size() != data.fields.size())
        return false;
    for (std::size_t i = 0; i < data.fields.size(); ++i) {
        const PacketColumn &c = data.columns[i];
        const bool narrow = PacketColumn::isNarrow(data.fields[i].kind);
        const std::size_t cells = narrow ? c.narrow.size() : c.wide.size();
        if (cells != data.rowCount || (narrow ? !c.wide.empty() : !c.narrow.empty()) ||
            c.nulls.size() != data.rowCount)
            return false;
    }
    return true;
}

} // namespace

void DataPacketTable::loadData(PacketData data)
{
    close();
    if (!m_declared.empty())
        throw std::invalid_argument("a table with declared fields loads packets only");
    if (!wellShaped(data))
        throw std::invalid_argument("table data without a cell per row in every column");
    install(std::move(data));
}

void DataPacketTable::appendData(const PacketData &rows)
{
    if (!wellShaped(rows) || rows.fields.size() != m_data.fields.size())
        throw std::invalid_argument("appended rows do not have the table's fields");
    for (std::size_t i = 0; i < rows.fields.size(); ++i)
        if (rows.fields[i].kind != m_data.fields[i].kind)
            throw std::invalid_argument("appended rows do not have the table's fields");
    const auto base = static_cast<std::uint32_t>(m_data.text.size());
    m_data.text += rows.text;
    for (std::size_t i = 0; i < rows.fields.size(); ++i) {
        const PacketColumn &from = rows.columns[i];
        PacketColumn &to = m_data.columns[i];
        const bool text = holdsText(rows.fields[i].kind);
        for (std::size_t r = 0; r < rows.rowCount; ++r) {
            std::uint64_t v = from.get(r);
            if (text && !from.nulls[r])
                v = cell::movedText(v, base + cell::textOffset(v));
            if (PacketColumn::isNarrow(rows.fields[i].kind))
                to.narrow.push_back(static_cast<std::uint32_t>(v));
            else
                to.wide.push_back(v);
            to.nulls.push_back(from.nulls[r]);
        }
    }
    m_data.rowCount += rows.rowCount;
    first();
}

void DataPacketTable::open()
{
    if (m_active)
        return;
    m_active = true;
    first();
}

void DataPacketTable::load(std::string packet)
{
    clearFileBinding();
    close();
    loadPacket(std::move(packet));
    open();
}

void DataPacketTable::first()
{
    m_current = 0;
    m_eof = recordCount() == 0;
}

void DataPacketTable::next()
{
    moveBy(1);
}

void DataPacketTable::moveBy(long long n)
{
    const std::size_t count = recordCount();
    if (count == 0) {
        m_eof = true;
        return;
    }
    if (n == 0)
        return;
    if (n > 0) {
        const auto step = static_cast<unsigned long long>(n);
        if (step >= count - m_current) {
            m_current = count - 1;
            m_eof = true;
            return;
        }
        m_current += step;
    } else {
        const auto step = static_cast<unsigned long long>(-(n + 1)) + 1;
        m_current = step >= m_current ? 0 : m_current - step;
    }
    m_eof = false;
}

std::size_t DataPacketTable::recordNumber() const
{
    return recordCount() == 0 ? 0 : m_current + 1;
}

void DataPacketTable::setRecordNumber(long long n)
{
    const std::size_t count = recordCount();
    if (count == 0)
        return;
    if (n < 1)
        m_current = 0;
    else if (static_cast<unsigned long long>(n) > count)
        m_current = count - 1;
    else
        m_current = static_cast<std::size_t>(n - 1);
    m_eof = false;
}

void DataPacketTable::suspendDisplay()
{
    if (m_suspend++ == 0 && m_observer)
        m_observer(true);
}

void DataPacketTable::resumeDisplay()
{
    if (m_suspend == 0)
        return;
    if (--m_suspend == 0 && m_observer)
        m_observer(false);
}

void DataPacketTable::checkActive() const
{
    if (!m_active)
        throw FieldError("the table is closed: no data packet is loaded");
}

PacketField &DataPacketTable::field(int i) const
{
    if (i < 0 || i >= fieldCount())
        throw FieldError("field index " + std::to_string(i) + " out of range (" +
                         std::to_string(fieldCount()) + " fields)");
    return *m_fields[static_cast<std::size_t>(i)];
}

PacketField &DataPacketTable::fieldByName(std::string_view name) const
{
    if (PacketField *f = findField(name))
        return *f;
    throw FieldError("field \"" + std::string(name) + "\" not found");
}

PacketField *DataPacketTable::findField(std::string_view name) const
{
    for (const auto &f : m_fields)
        if (ascii::equalsIgnoringCase(f->name(), name))
            return f.get();
    return nullptr;
}

} // namespace tally::datapacket
