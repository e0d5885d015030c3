#include "datapacket/packetfield.h"

#include "base/datetimeformat.h"
#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"

#include <cmath>
#include <cstdio>

namespace tally::datapacket {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Day serial counted from 1899-12-30, the time as the fraction of a day.
double daySerial(const LocalDateTime &dt)
{
    const double days =
        static_cast<double>(daysFromCivil(dt.year, dt.month, dt.day) - daysFromCivil(1899, 12, 30));
    const double ms = ((dt.hour * 60.0 + dt.minute) * 60.0 + dt.second) * 1000.0 + dt.millisecond;
    return days + ms / 86400000.0;
}

} // namespace

PacketField::PacketField(const DataPacketTable *table, const FieldDef &def, int index,
                         bool declared)
    : m_table(table), m_name(def.name), m_kind(def.kind), m_size(def.size), m_index(index),
      m_declared(declared), m_fixedLength(def.fixedLength), m_label(def.displayLabel),
      m_format(def.displayFormat), m_currency(def.currency), m_callback(def.textCallback)
{
    if (!declared)
        m_size = 0;
    preparePatterns();
}

void PacketField::preparePatterns()
{
    // Time values and display formats have always been formatted with
    // these settings in their nested short date and long time parts.
    static const FormatSettings prc = FormatSettings::chinesePrc();
    const FormatSettings &fs = m_table->formatSettings();
    m_valuePattern = {};
    m_formatPattern = {};
    switch (m_kind) {
    case FieldKind::Date:
        m_valuePattern = DateTimePattern::shortDate(fs);
        break;
    case FieldKind::Time:
        m_valuePattern = DateTimePattern(fs.longTimeFormat, prc);
        break;
    case FieldKind::DateTime:
        m_valuePattern = DateTimePattern::dateTime(fs);
        break;
    default:
        return;
    }
    if (!m_format.empty())
        m_formatPattern = DateTimePattern(m_format, prc);
}

void PacketField::bind(int column, const PacketFieldInfo &info)
{
    m_column = column;
    m_typeCode = info.typeCode;
    m_decimals = info.decimals;
    if (!m_declared) {
        m_size = info.size;
        m_currency = info.currency;
    }
}

void PacketField::unbind()
{
    m_column = -1;
    m_typeCode.clear();
}

int PacketField::displayWidth() const
{
    switch (m_kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
        return m_size;
    case FieldKind::Boolean:
        return 5;
    case FieldKind::Int8:
    case FieldKind::UInt8:
    case FieldKind::Int16:
    case FieldKind::UInt16:
        return 6;
    case FieldKind::Int64:
        return 15;
    case FieldKind::Bcd:
        return m_size + 2;
    case FieldKind::DateTime:
        return 18;
    default:
        return 10;
    }
}

double PacketField::numeric(std::uint64_t v) const
{
    switch (m_kind) {
    case FieldKind::Float:
    case FieldKind::Bcd:
        return cell::toDouble(v);
    case FieldKind::Boolean:
        return v != 0 ? 1.0 : 0.0;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        return daySerial(cell::toDateTime(v));
    default:
        return static_cast<double>(intValue(v));
    }
}

void PacketField::failRow(std::size_t row) const
{
    throw FieldError("row " + std::to_string(row + 1) + " out of range (" +
                     std::to_string(m_table->recordCount()) + " rows)");
}

FieldCell PacketField::current() const
{
    return FieldCell(*this,
                     m_table->recordCount() == 0 ? FieldCell::kNoRow : m_table->currentRowIndex());
}

} // namespace tally::datapacket
