#include "datapacket/fieldcell.h"

#include "base/datetimeformat.h"
#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packetfield.h"

#include <cmath>
#include <cstdio>

namespace tally::datapacket {

namespace {

// Largest magnitude a four-decimal fixed-point value in 64 bits can hold.
constexpr double kCurrencyLimit = 922337203685477.0;

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

bool FieldCell::value(std::uint64_t &v) const
{
    return m_row != kNoRow && m_field->m_table->cellAt(m_row, m_field->m_column, v);
}

void FieldCell::failRead(const std::string &what) const
{
    std::string msg = "field " + quoted(m_field->m_name);
    if (m_row != kNoRow)
        msg += ", row " + std::to_string(m_row + 1);
    throw FieldError(msg + ": " + what);
}

bool FieldCell::isNull() const
{
    std::uint64_t v;
    return !value(v);
}

std::string_view FieldCell::textView() const
{
    std::uint64_t v;
    if (!isTextKind(m_field->m_kind) || !value(v))
        return {};
    return m_field->m_table->textOf(v);
}

std::string FieldCell::asString() const
{
    std::uint64_t v;
    if (!value(v))
        return {};
    if (isTextKind(m_field->m_kind) || m_field->m_kind == FieldKind::Blob)
        return std::string(m_field->m_table->textOf(v));
    if (isIntegerKind(m_field->m_kind))
        return std::to_string(m_field->intValue(v));
    const FormatSettings &fs = m_field->m_table->formatSettings();
    switch (m_field->m_kind) {
    case FieldKind::Float:
    case FieldKind::Bcd:
        return formatGeneral(cell::toDouble(v), fs, 15);
    case FieldKind::Boolean:
        return v != 0 ? "True" : "False";
    case FieldKind::Date:
        return dateToString(cell::toDateTime(v), fs);
    case FieldKind::Time:
        return formatDateTime(fs.longTimeFormat, cell::toDateTime(v));
    case FieldKind::DateTime:
        return dateTimeToString(cell::toDateTime(v), fs);
    default:
        return {};
    }
}

std::int64_t FieldCell::asInteger() const
{
    std::uint64_t v;
    const bool present = value(v);
    if (isTextKind(m_field->m_kind)) {
        const std::string_view text = present ? m_field->m_table->textOf(v) : std::string_view{};
        if (const auto parsed = parseInt32(text))
            return *parsed;
        failRead(quoted(text) + " is not an integer");
    }
    if (m_field->m_kind == FieldKind::Blob)
        failRead("a blob cannot be read as an integer");
    if (!present)
        return 0;
    if (isIntegerKind(m_field->m_kind) || m_field->m_kind == FieldKind::Boolean)
        return m_field->m_kind == FieldKind::Boolean ? (v != 0 ? 1 : 0) : m_field->intValue(v);
    const double d = m_field->numeric(v);
    if (!(std::fabs(d) < 9.2e18))
        failRead(formatGeneral(d, m_field->m_table->formatSettings(), 15) +
                 " is out of integer range");
    return m_field->m_kind == FieldKind::Float || m_field->m_kind == FieldKind::Bcd
               ? std::llround(d)
               : static_cast<std::int64_t>(d);
}

double FieldCell::asFloat() const
{
    std::uint64_t v;
    const bool present = value(v);
    if (isTextKind(m_field->m_kind)) {
        const std::string_view text = present ? m_field->m_table->textOf(v) : std::string_view{};
        if (const auto parsed = parseFloat(text, m_field->m_table->formatSettings());
            parsed && std::isfinite(*parsed))
            return *parsed;
        failRead(quoted(text) + " is not a number");
    }
    if (m_field->m_kind == FieldKind::Blob)
        failRead("a blob cannot be read as a number");
    return present ? m_field->numeric(v) : 0.0;
}

Currency FieldCell::asCurrency() const
{
    std::uint64_t v;
    if (isIntegerKind(m_field->m_kind) && value(v)) {
        const std::int64_t i = m_field->intValue(v);
        if (i > -922337203685477LL && i < 922337203685477LL)
            return Currency::fromScaled(i * 10000);
        failRead(std::to_string(i) + " is out of currency range");
    }
    const double d = asFloat();
    if (!(std::fabs(d) < kCurrencyLimit))
        failRead(formatGeneral(d, m_field->m_table->formatSettings(), 15) +
                 " is out of currency range");
    return Currency::fromDouble(d);
}

std::string FieldCell::formatValue(std::uint64_t v, bool edit) const
{
    const FormatSettings &fs = m_field->m_table->formatSettings();
    switch (m_field->m_kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
        return std::string(m_field->m_table->textOf(v));
    case FieldKind::Memo:
        return "(MEMO)";
    case FieldKind::Blob:
        return "(BLOB)";
    case FieldKind::Float:
    case FieldKind::Bcd: {
        const double d = cell::toDouble(v);
        if (!m_field->m_format.empty())
            return formatFloatPattern(m_field->m_format, d, fs);
        if (m_field->m_currency && edit) {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.*f", fs.currencyDecimals, d);
            std::string s = buf;
            for (char &c : s)
                if (c == '.')
                    c = fs.decimalSeparator;
            return s;
        }
        if (m_field->m_currency)
            return formatCurrency(d, fs);
        return formatGeneral(d, fs, 15);
    }
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        if (!m_field->m_format.empty())
            return formatDateTime(m_field->m_format, cell::toDateTime(v));
        return asString();
    default:
        if (isIntegerKind(m_field->m_kind) && !m_field->m_format.empty())
            return formatFloatPattern(m_field->m_format, static_cast<double>(m_field->intValue(v)),
                                      fs);
        return asString();
    }
}

std::string FieldCell::displayText() const
{
    if (m_field->m_callback)
        return m_field->m_callback(*this);
    std::uint64_t v;
    if (!value(v))
        return {};
    return formatValue(v, false);
}

std::string FieldCell::editText() const
{
    if (m_field->m_callback)
        return m_field->m_callback(*this);
    std::uint64_t v;
    if (!value(v))
        return {};
    return formatValue(v, true);
}

} // namespace tally::datapacket
