#include "datapacket/fieldcell.h"

#include "base/datetimeformat.h"
#include "base/numberformat.h"
#include "datapacket/datapackettable.h"
#include "datapacket/fielderror.h"
#include "datapacket/packetfield.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tally::datapacket {

namespace {

// Largest magnitude a four-decimal fixed-point value in 64 bits can hold.
constexpr double kCurrencyLimit = 922337203685477.0;

// printf's "%.*f" with the user's decimal separator: the plain fixed
// decimals of a money value's edit text.
void appendPlainFixed(std::string &out, double d, const FormatSettings &fs)
{
    const int decimals = fs.currencyDecimals;
    char buf[400];
    std::to_chars_result r{buf, std::errc::value_too_large};
    if (decimals >= 0)
        r = std::to_chars(buf, buf + sizeof buf - 1, d, std::chars_format::fixed, decimals);
    // What to_chars cannot give (printf's default for a negative count, its
    // cut at the buffer's end) comes from printf itself.
    const char *end = r.ptr;
    if (r.ec != std::errc()) {
        const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, d);
        end = buf + std::clamp(n, 0, static_cast<int>(sizeof buf) - 1);
    }
    for (const char *p = buf; p != end; ++p)
        out += *p == '.' ? fs.decimalSeparator : *p;
}

} // namespace

FieldCell::FieldCell(const PacketField &field, std::size_t row) : m_field(&field), m_row(row)
{
    m_present = row != kNoRow && field.m_table->cellAt(row, field.m_column, m_value);
}

void FieldCell::failRead(const std::string &what) const
{
    std::string msg = "field " + quotedExcerpt(m_field->m_name);
    if (m_row != kNoRow)
        msg += ", row " + std::to_string(m_row + 1);
    throw FieldError(msg + ": " + what);
}

std::string FieldCell::asString() const
{
    std::string out;
    appendString(out);
    return out;
}

void FieldCell::appendString(std::string &out) const
{
    if (!m_present)
        return;
    const std::uint64_t v = m_value;
    if (isTextKind(m_field->m_kind) || m_field->m_kind == FieldKind::Blob) {
        out += m_field->m_table->textOf(v);
        return;
    }
    if (isIntegerKind(m_field->m_kind)) {
        appendInteger(out, m_field->intValue(v));
        return;
    }
    const FormatSettings &fs = m_field->m_table->formatSettings();
    switch (m_field->m_kind) {
    case FieldKind::Float:
    case FieldKind::Bcd:
        appendGeneral(out, cell::toDouble(v), fs, 15);
        break;
    case FieldKind::Boolean:
        out += v != 0 ? "True" : "False";
        break;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        // The field read its pattern once (short date, long time, both).
        m_field->m_valuePattern.append(out, cell::toDateTime(v));
        break;
    default:
        break;
    }
}

std::int64_t FieldCell::convertToInteger() const
{
    const std::uint64_t v = m_value;
    const bool present = m_present;
    if (isTextKind(m_field->m_kind)) {
        const std::string_view text = present ? m_field->m_table->textOf(v) : std::string_view{};
        if (const auto parsed = parseInt32(text))
            return *parsed;
        failRead(quotedExcerpt(text) + " is not an integer");
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

double FieldCell::convertToFloat() const
{
    const bool present = m_present;
    if (isTextKind(m_field->m_kind)) {
        const std::string_view text =
            present ? m_field->m_table->textOf(m_value) : std::string_view{};
        if (const auto parsed = parseFloat(text, m_field->m_table->formatSettings());
            parsed && std::isfinite(*parsed))
            return *parsed;
        failRead(quotedExcerpt(text) + " is not a number");
    }
    if (m_field->m_kind == FieldKind::Blob)
        failRead("a blob cannot be read as a number");
    return present ? m_field->numeric(m_value) : 0.0;
}

Currency FieldCell::asCurrency() const
{
    if (isIntegerKind(m_field->m_kind) && m_present) {
        const std::int64_t i = m_field->intValue(m_value);
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

void FieldCell::appendValue(std::string &out, bool edit) const
{
    const std::uint64_t v = m_value;
    const FormatSettings &fs = m_field->m_table->formatSettings();
    switch (m_field->m_kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
        out += m_field->m_table->textOf(v);
        return;
    case FieldKind::Memo:
        out += "(MEMO)";
        return;
    case FieldKind::Blob:
        out += "(BLOB)";
        return;
    case FieldKind::Float:
    case FieldKind::Bcd: {
        const double d = cell::toDouble(v);
        if (!m_field->m_format.empty())
            out += formatFloatPattern(m_field->m_format, d, fs);
        else if (m_field->m_currency && edit)
            appendPlainFixed(out, d, fs);
        else if (m_field->m_currency)
            out += formatCurrency(d, fs);
        else
            appendGeneral(out, d, fs, 15);
        return;
    }
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        if (!m_field->m_format.empty())
            m_field->m_formatPattern.append(out, cell::toDateTime(v));
        else
            appendString(out);
        return;
    default:
        if (isIntegerKind(m_field->m_kind) && !m_field->m_format.empty())
            out += formatFloatPattern(m_field->m_format, static_cast<double>(m_field->intValue(v)),
                                      fs);
        else
            appendString(out);
        return;
    }
}

std::string FieldCell::displayText() const
{
    std::string out;
    appendDisplayText(out);
    return out;
}

void FieldCell::appendDisplayText(std::string &out) const
{
    if (m_field->m_callback)
        out += m_field->m_callback(*this);
    else if (m_present)
        appendValue(out, false);
}

std::string FieldCell::editText() const
{
    std::string out;
    appendEditText(out);
    return out;
}

void FieldCell::appendEditText(std::string &out) const
{
    if (m_field->m_callback)
        out += m_field->m_callback(*this);
    else if (m_present)
        appendValue(out, true);
}

} // namespace tally::datapacket
