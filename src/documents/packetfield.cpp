#include "documents/packetfield.h"

#include "base/datetimeformat.h"
#include "base/numberformat.h"
#include "documents/datapackettable.h"
#include "documents/fielderror.h"

#include <cmath>
#include <cstdio>

namespace tally {

namespace {

// Largest magnitude a four-decimal fixed-point value in 64 bits can hold.
constexpr double kCurrencyLimit = 922337203685477.0;

LocalDateTime unpackDateTime(std::uint64_t v)
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

std::string quoted(std::string_view s)
{
    std::string q = "\"";
    q.append(s.substr(0, 40));
    if (s.size() > 40)
        q += "...";
    q += '"';
    return q;
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

std::int64_t PacketField::intValue(std::uint64_t v) const
{
    // Signed kinds of up to 32 bits are kept narrow, as their low 32 bits.
    if (m_kind == FieldKind::Int8 || m_kind == FieldKind::Int16 || m_kind == FieldKind::Int32)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return cell::toInt(v);
}

bool PacketField::cell(std::uint64_t &value) const
{
    return m_table->currentCell(m_column, value);
}

void PacketField::failRead(const std::string &what) const
{
    std::string msg = "field " + quoted(m_name);
    if (const std::size_t row = m_table->recordNumber())
        msg += ", row " + std::to_string(row);
    throw FieldError(msg + ": " + what);
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

bool PacketField::isNull() const
{
    std::uint64_t v;
    return !cell(v);
}

std::string_view PacketField::textView() const
{
    std::uint64_t v;
    if (!isTextKind(m_kind) || !cell(v))
        return {};
    return m_table->textOf(v);
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
        return daySerial(unpackDateTime(v));
    default:
        return static_cast<double>(intValue(v));
    }
}

std::string PacketField::asString() const
{
    std::uint64_t v;
    if (!cell(v))
        return {};
    if (isTextKind(m_kind) || m_kind == FieldKind::Blob)
        return std::string(m_table->textOf(v));
    if (isIntegerKind(m_kind))
        return std::to_string(intValue(v));
    const FormatSettings &fs = m_table->formatSettings();
    switch (m_kind) {
    case FieldKind::Float:
    case FieldKind::Bcd:
        return formatGeneral(cell::toDouble(v), fs, 15);
    case FieldKind::Boolean:
        return v != 0 ? "True" : "False";
    case FieldKind::Date:
        return dateToString(unpackDateTime(v), fs);
    case FieldKind::Time:
        return formatDateTime(fs.longTimeFormat, unpackDateTime(v));
    case FieldKind::DateTime:
        return dateTimeToString(unpackDateTime(v), fs);
    default:
        return {};
    }
}

std::int64_t PacketField::asInteger() const
{
    std::uint64_t v;
    const bool present = cell(v);
    if (isTextKind(m_kind)) {
        const std::string_view text = present ? m_table->textOf(v) : std::string_view{};
        if (const auto parsed = parseInt32(text))
            return *parsed;
        failRead(quoted(text) + " is not an integer");
    }
    if (m_kind == FieldKind::Blob)
        failRead("a blob cannot be read as an integer");
    if (!present)
        return 0;
    if (isIntegerKind(m_kind) || m_kind == FieldKind::Boolean)
        return m_kind == FieldKind::Boolean ? (v != 0 ? 1 : 0) : intValue(v);
    const double d = numeric(v);
    if (!(std::fabs(d) < 9.2e18))
        failRead(formatGeneral(d, m_table->formatSettings(), 15) + " is out of integer range");
    return m_kind == FieldKind::Float || m_kind == FieldKind::Bcd ? std::llround(d)
                                                                  : static_cast<std::int64_t>(d);
}

double PacketField::asFloat() const
{
    std::uint64_t v;
    const bool present = cell(v);
    if (isTextKind(m_kind)) {
        const std::string_view text = present ? m_table->textOf(v) : std::string_view{};
        if (const auto parsed = parseFloat(text, m_table->formatSettings());
            parsed && std::isfinite(*parsed))
            return *parsed;
        failRead(quoted(text) + " is not a number");
    }
    if (m_kind == FieldKind::Blob)
        failRead("a blob cannot be read as a number");
    return present ? numeric(v) : 0.0;
}

Currency PacketField::asCurrency() const
{
    std::uint64_t v;
    if (isIntegerKind(m_kind) && cell(v)) {
        const std::int64_t i = intValue(v);
        if (i > -922337203685477LL && i < 922337203685477LL)
            return Currency::fromScaled(i * 10000);
        failRead(std::to_string(i) + " is out of currency range");
    }
    const double d = asFloat();
    if (!(std::fabs(d) < kCurrencyLimit))
        failRead(formatGeneral(d, m_table->formatSettings(), 15) + " is out of currency range");
    return Currency::fromDouble(d);
}

std::string PacketField::formatValue(std::uint64_t v, bool edit) const
{
    const FormatSettings &fs = m_table->formatSettings();
    switch (m_kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
        return std::string(m_table->textOf(v));
    case FieldKind::Memo:
        return "(MEMO)";
    case FieldKind::Blob:
        return "(BLOB)";
    case FieldKind::Float:
    case FieldKind::Bcd: {
        const double d = cell::toDouble(v);
        if (!m_format.empty())
            return formatFloatPattern(m_format, d, fs);
        if (m_currency && edit) {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.*f", fs.currencyDecimals, d);
            std::string s = buf;
            for (char &c : s)
                if (c == '.')
                    c = fs.decimalSeparator;
            return s;
        }
        if (m_currency)
            return formatCurrency(d, fs);
        return formatGeneral(d, fs, 15);
    }
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        if (!m_format.empty())
            return formatDateTime(m_format, unpackDateTime(v));
        return asString();
    default:
        if (isIntegerKind(m_kind) && !m_format.empty())
            return formatFloatPattern(m_format, static_cast<double>(intValue(v)), fs);
        return asString();
    }
}

std::string PacketField::displayText() const
{
    if (m_callback)
        return m_callback(*this);
    std::uint64_t v;
    if (!cell(v))
        return {};
    return formatValue(v, false);
}

std::string PacketField::editText() const
{
    if (m_callback)
        return m_callback(*this);
    std::uint64_t v;
    if (!cell(v))
        return {};
    return formatValue(v, true);
}

} // namespace tally
