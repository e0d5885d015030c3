#include "tabular/queryresult.h"

#include "base/textcodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace tally::tabular {

using datapacket::FieldKind;
namespace cell = datapacket::cell;

namespace {

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string textOf(const QueryValue &value)
{
    struct Visitor
    {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const
        {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
        std::string operator()(const std::string &s) const { return s; }
        std::string operator()(const LocalDateTime &t) const
        {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                          t.hour, t.minute, t.second);
            return buf;
        }
    };
    return std::visit(Visitor{}, value);
}

// A number in a value of any kind; false for null, dates and text that is
// not a number.
bool numberOf(const QueryValue &value, double &out)
{
    if (const auto *b = std::get_if<bool>(&value))
        out = *b ? 1 : 0;
    else if (const auto *i = std::get_if<std::int64_t>(&value))
        out = static_cast<double>(*i);
    else if (const auto *d = std::get_if<double>(&value))
        out = *d;
    else if (const auto *s = std::get_if<std::string>(&value)) {
        const char *end = s->data() + s->size();
        auto [p, ec] = std::from_chars(s->data(), end, out);
        return ec == std::errc{} && p == end && std::isfinite(out);
    } else
        return false;
    return std::isfinite(out);
}

// Plain decimal text of a currency value, without trailing fraction zeros.
std::string currencyText(Currency c)
{
    const std::int64_t s = c.scaled();
    const unsigned long long mag =
        s < 0 ? 0ULL - static_cast<unsigned long long>(s) : static_cast<unsigned long long>(s);
    std::string text = (s < 0 ? "-" : "") + std::to_string(mag / 10000);
    std::string frac = std::to_string(mag % 10000 + 10000).substr(1);
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    if (!frac.empty())
        text += "." + frac;
    return text;
}

} // namespace

void QueryResultBuilder::addField(std::string name, FieldKind kind, int size, int decimals)
{
    datapacket::PacketFieldInfo info;
    info.name = std::move(name);
    info.kind = kind;
    info.size = size > 0 ? size : 0;
    info.decimals = decimals;
    m_data.fields.push_back(std::move(info));
    m_data.columns.emplace_back().resize(kind, m_data.rowCount);
    m_sized.push_back(size > 0);
}

int QueryResultBuilder::fieldIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < m_data.fields.size(); ++i)
        if (equalsNoCase(m_data.fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

void QueryResultBuilder::setCell(std::size_t column, std::size_t row, const QueryValue &value)
{
    datapacket::PacketFieldInfo &info = m_data.fields[column];
    datapacket::PacketColumn &c = m_data.columns[column];
    if (std::holds_alternative<std::monostate>(value))
        return; // cells start null
    double number = 0;
    std::uint64_t v = 0;
    switch (info.kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
    case FieldKind::Memo:
    case FieldKind::Blob: {
        std::string text = textOf(value);
        // Cells are NUL-terminated: text after a NUL is not kept.
        text.resize(std::string_view(text.c_str()).size());
        if (!m_sized[column])
            info.size = std::max(info.size, static_cast<int>(std::min<std::size_t>(
                                                text::codePageLength(text), 65535)));
        v = cell::fromText(static_cast<std::uint32_t>(m_data.text.size()),
                           static_cast<std::uint32_t>(text.size()));
        m_data.text += text;
        m_data.text += '\0';
        break;
    }
    case FieldKind::Float:
    case FieldKind::Bcd:
        if (!numberOf(value, number))
            return;
        v = cell::fromDouble(number);
        break;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime: {
        const auto *t = std::get_if<LocalDateTime>(&value);
        if (!t)
            return;
        v = cell::fromDateTime(t->year, t->month, t->day, t->hour, t->minute, t->second,
                               t->millisecond);
        break;
    }
    default: // integers and flags
        if (const auto *i = std::get_if<std::int64_t>(&value))
            v = cell::fromInt(*i);
        else if (numberOf(value, number) && std::fabs(number) < 9.2e18)
            v = cell::fromInt(std::llround(number));
        else
            return;
        if (info.kind == FieldKind::Boolean)
            v = v != 0 ? 1 : 0;
        break;
    }
    c.set(row, v);
    c.nulls.set(row, false);
}

void QueryResultBuilder::appendRow(std::span<const QueryValue> values)
{
    if (values.size() != m_data.fields.size())
        throw std::invalid_argument("a result row needs one value per field");
    const std::size_t row = m_data.rowCount++;
    for (std::size_t i = 0; i < m_data.fields.size(); ++i) {
        datapacket::PacketColumn &c = m_data.columns[i];
        if (datapacket::PacketColumn::isNarrow(m_data.fields[i].kind))
            c.narrow.push_back(0);
        else
            c.wide.push_back(0);
        c.nulls.push_back(true);
        setCell(i, row, values[i]);
    }
}

void QueryResultBuilder::appendAggregateRow(std::span<const int> columns,
                                            std::span<const Currency> values)
{
    std::vector<QueryValue> row(m_data.fields.size());
    for (std::size_t i = 0; i < columns.size() && i < values.size(); ++i) {
        const auto column = static_cast<std::size_t>(columns[i]);
        if (column >= row.size())
            throw std::invalid_argument("aggregate row names a column the result lacks");
        const FieldKind kind = m_data.fields[column].kind;
        if (kind == FieldKind::Float || kind == FieldKind::Bcd)
            row[column] = values[i].toDouble();
        else if (datapacket::isIntegerKind(kind) || kind == FieldKind::Boolean) {
            // Whole numbers of four-decimal fixed point, rounded half away from zero.
            const std::int64_t s = values[i].scaled();
            std::int64_t whole = s / 10000;
            if (s % 10000 >= 5000)
                ++whole;
            else if (s % 10000 <= -5000)
                --whole;
            row[column] = whole;
        } else
            row[column] = currencyText(values[i]);
    }
    appendRow(row);
}

datapacket::PacketData QueryResultBuilder::take()
{
    datapacket::PacketData data = std::move(m_data);
    m_data = {};
    m_data.fields = data.fields;
    for (const auto &f : m_data.fields)
        m_data.columns.emplace_back().resize(f.kind, 0);
    return data;
}

} // namespace tally::tabular
