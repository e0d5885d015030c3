#include "datapacket/packetreader.h"

#include "base/asciitext.h"
#include "base/textcodec.h"
#include "datapacket/fielderror.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace tally::datapacket {

namespace {

constexpr int kDefaultTextWidth = 20;
constexpr int kMaxWidth = 65535;
// A column holding a nested dataset: its child rows are not loaded, the
// cell shows how many there are.
constexpr std::string_view kNestedType = "nested";

// Fails a read: everything goes through here so the message shape stays uniform.
struct Failure
{
    PacketParseResult result;
};

[[noreturn]] void fail(PacketStatus status, std::ptrdiff_t offset, std::string message,
                       std::string field = {}, std::size_t row = 0)
{
    PacketParseResult r;
    r.status = status;
    r.offset = offset;
    r.field = std::move(field);
    r.row = row;
    r.message = std::move(message);
    throw Failure{std::move(r)};
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int twoDigits(const char *p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

bool allDigits(std::string_view s)
{
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return !s.empty();
}

bool parseDate(std::string_view s, int &y, int &m, int &d)
{
    if (s.size() == 8 && allDigits(s)) {
        y = twoDigits(s.data()) * 100 + twoDigits(s.data() + 2);
        m = twoDigits(s.data() + 4);
        d = twoDigits(s.data() + 6);
    } else if (s.size() == 10 && s[4] == '-' && s[7] == '-' && allDigits(s.substr(0, 4)) &&
               allDigits(s.substr(5, 2)) && allDigits(s.substr(8, 2))) {
        y = twoDigits(s.data()) * 100 + twoDigits(s.data() + 2);
        m = twoDigits(s.data() + 5);
        d = twoDigits(s.data() + 8);
    } else {
        return false;
    }
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// "hh:nn:ss" with optional milliseconds, written "zzz" or ".zzz".
bool parseTime(std::string_view s, int &h, int &mi, int &sec, int &ms)
{
    if (s.size() < 8 || s[2] != ':' || s[5] != ':' || !allDigits(s.substr(0, 2)) ||
        !allDigits(s.substr(3, 2)) || !allDigits(s.substr(6, 2)))
        return false;
    h = twoDigits(s.data());
    mi = twoDigits(s.data() + 3);
    sec = twoDigits(s.data() + 6);
    ms = 0;
    std::string_view rest = s.substr(8);
    if (!rest.empty() && rest[0] == '.')
        rest.remove_prefix(1);
    if (!rest.empty()) {
        if (rest.size() != 3 || !allDigits(rest))
            return false;
        ms = (rest[0] - '0') * 100 + twoDigits(rest.data() + 1);
    }
    return h <= 23 && mi <= 59 && sec <= 59;
}

class Reader
{
public:
    Reader(std::string &text, std::span<const FieldDef> declared, PacketData &out)
        : m_text(text), m_declared(declared), m_out(out)
    {
    }

    void run();

private:
    std::ptrdiff_t offsetOf(const char *p) const
    {
        const char *base = m_text.data();
        if (p < base || p > base + m_text.size())
            return -1;
        return p - base;
    }
    // Offset of an element's '<'.
    std::ptrdiff_t offsetOf(pugi::xml_node node) const
    {
        const std::ptrdiff_t o = offsetOf(node.name());
        return o > 0 ? o - 1 : o;
    }

    pugi::xml_node root(const pugi::xml_document &doc) const;
    void checkNoText(pugi::xml_node parent) const;
    std::size_t childRowCount(pugi::xml_node row, const std::string &field) const;
    pugi::xml_node onlyChild(pugi::xml_node parent, const char *name, bool required) const;
    void readFields(pugi::xml_node fields);
    void bindDeclared(pugi::xml_node fields);
    void readRows(pugi::xml_node rowdata);
    void fillNestedSummaries();
    std::uint64_t convert(const PacketFieldInfo &f, const char *value, std::size_t row, bool &null);
    [[noreturn]] void badValue(const PacketFieldInfo &f, const char *value, std::size_t row,
                               const std::string &what) const
    {
        fail(PacketStatus::BadValue, offsetOf(value), quotedExcerpt(value) + " is not " + what,
             f.name, row + 1);
    }

    std::string &m_text;
    std::span<const FieldDef> m_declared;
    PacketData &m_out;
    std::vector<PacketFieldInfo> m_packetFields;
    std::vector<const char *> m_typeValues; // fieldtype value per packet field, for offsets
    std::vector<int> m_columnOfPacketField; // -1 when not visible
    int m_nestedFields = 0;
    // Child-row counts of the visible nested columns, row by row, until
    // their summary texts are added to the text buffer after parsing.
    std::vector<std::pair<std::size_t, std::vector<std::size_t>>> m_childRows;
};

pugi::xml_node Reader::root(const pugi::xml_document &doc) const
{
    pugi::xml_node rootNode;
    for (pugi::xml_node n : doc.children()) {
        if (n.type() == pugi::node_element) {
            if (rootNode)
                fail(PacketStatus::NotAPacket, offsetOf(n), "more than one root element");
            rootNode = n;
        } else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            const char *p = n.value();
            while (isXmlSpace(*p))
                ++p;
            fail(PacketStatus::NotAPacket, offsetOf(p),
                 rootNode ? "text after the root element" : "text before the root element");
        }
    }
    if (!rootNode)
        fail(PacketStatus::NotAPacket, static_cast<std::ptrdiff_t>(m_text.size()),
             "no root element");
    if (std::strcmp(rootNode.name(), "DATAPACKET") != 0)
        fail(PacketStatus::NotAPacket, offsetOf(rootNode),
             "root element is " + quotedExcerpt(rootNode.name()) + ", not \"DATAPACKET\"");
    return rootNode;
}

// Elements the subset does not name (an ERRORS list after the rows, say) are
// what other writers add around the data; only stray text is refused.
void Reader::checkNoText(pugi::xml_node parent) const
{
    for (pugi::xml_node n : parent.children())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            fail(PacketStatus::NotAPacket, offsetOf(n.value()),
                 "unexpected text in " + quotedExcerpt(parent.name()));
}

pugi::xml_node Reader::onlyChild(pugi::xml_node parent, const char *name, bool required) const
{
    pugi::xml_node first = parent.child(name);
    if (!first) {
        if (required)
            fail(PacketStatus::NotAPacket, offsetOf(parent),
                 quotedExcerpt(parent.name()) + " has no " + quotedExcerpt(name) + " element");
        return first;
    }
    if (pugi::xml_node second = first.next_sibling(name))
        fail(PacketStatus::NotAPacket, offsetOf(second),
             "more than one " + quotedExcerpt(name) + " element in " +
                 quotedExcerpt(parent.name()));
    return first;
}

int parseWidth(const char *text, bool &ok)
{
    int v = 0;
    const char *end = text + std::strlen(text);
    auto [p, ec] = std::from_chars(text, end, v);
    ok = ec == std::errc{} && p == end && v >= 0 && v <= kMaxWidth;
    return v;
}

void Reader::readFields(pugi::xml_node fields)
{
    checkNoText(fields);
    for (pugi::xml_node f : fields.children("FIELD")) {
        PacketFieldInfo info;
        pugi::xml_attribute name = f.attribute("attrname");
        pugi::xml_attribute type = f.attribute("fieldtype");
        if (!name || !*name.value())
            fail(PacketStatus::BadFieldDef, offsetOf(f), "FIELD without attrname");
        info.name = name.value();
        if (!type)
            fail(PacketStatus::BadFieldDef, offsetOf(f), "FIELD without fieldtype", info.name);
        info.typeCode = type.value();
        const char *subtype = f.attribute("SUBTYPE").value();
        const bool nested = info.typeCode == kNestedType;
        if (nested)
            ++m_nestedFields;
        if (!nested && !PacketReader::kindOfTypeCode(info.typeCode, subtype, info.kind))
            fail(PacketStatus::BadFieldDef, offsetOf(type.value()),
                 "unsupported field type " + quotedExcerpt(info.typeCode), info.name);
        for (const PacketFieldInfo &other : m_packetFields)
            if (ascii::equalsIgnoringCase(other.name, info.name))
                fail(PacketStatus::BadFieldDef, offsetOf(name.value()),
                     "duplicate field name " + quotedExcerpt(info.name), info.name);
        // WIDTH matters for text (width) and BCD (precision) only; the
        // attribute name is case-sensitive like every name of the format.
        const bool sized = info.kind == FieldKind::Text || info.kind == FieldKind::WideText ||
                           info.kind == FieldKind::Bcd;
        if (sized) {
            info.size = info.kind == FieldKind::Bcd ? 32 : kDefaultTextWidth;
            if (pugi::xml_attribute w = f.attribute("WIDTH")) {
                bool ok = false;
                info.size = parseWidth(w.value(), ok);
                if (!ok)
                    fail(PacketStatus::BadFieldDef, offsetOf(w.value()),
                         "WIDTH " + quotedExcerpt(w.value()) + " is not a number from 0 to 65535",
                         info.name);
            }
        }
        if (info.kind == FieldKind::Bcd) {
            if (pugi::xml_attribute d = f.attribute("DECIMALS")) {
                bool ok = false;
                info.decimals = parseWidth(d.value(), ok);
                if (!ok || info.decimals > 64)
                    fail(PacketStatus::BadFieldDef, offsetOf(d.value()),
                         "DECIMALS " + quotedExcerpt(d.value()) + " is not a number from 0 to 64",
                         info.name);
            }
        }
        info.currency = info.kind == FieldKind::Float && std::strcmp(subtype, "Money") == 0;
        m_packetFields.push_back(std::move(info));
        m_typeValues.push_back(type.value());
    }
}

void Reader::bindDeclared(pugi::xml_node fields)
{
    m_columnOfPacketField.assign(m_packetFields.size(), -1);
    if (m_declared.empty()) {
        m_out.fields = m_packetFields;
        for (std::size_t i = 0; i < m_packetFields.size(); ++i)
            m_columnOfPacketField[i] = static_cast<int>(i);
        return;
    }
    for (const FieldDef &def : m_declared) {
        std::size_t found = m_packetFields.size();
        for (std::size_t i = 0; i < m_packetFields.size(); ++i)
            if (ascii::equalsIgnoringCase(m_packetFields[i].name, def.name))
                found = i;
        if (found == m_packetFields.size())
            fail(PacketStatus::DeclaredMissing, offsetOf(fields),
                 "declared field " + quotedExcerpt(def.name) + " is not in the packet", def.name);
        const PacketFieldInfo &info = m_packetFields[found];
        // A declared kind takes only its own type code: text "string",
        // integer "i4", float (and currency) "r8", and so on for the others;
        // a nested dataset's summary is no value of any of them.
        if (info.kind != def.kind || info.typeCode == kNestedType)
            fail(PacketStatus::DeclaredMismatch, offsetOf(m_typeValues[found]),
                 "declared " + std::string(fieldKindName(def.kind)) + " field " +
                     quotedExcerpt(def.name) + " cannot take packet type " +
                     quotedExcerpt(info.typeCode),
                 def.name);
        if (m_columnOfPacketField[found] >= 0)
            fail(PacketStatus::DeclaredMismatch, offsetOf(m_typeValues[found]),
                 "field " + quotedExcerpt(def.name) + " is declared twice", def.name);
        m_columnOfPacketField[found] = static_cast<int>(m_out.fields.size());
        m_out.fields.push_back(info);
    }
}

std::uint64_t Reader::convert(const PacketFieldInfo &f, const char *value, std::size_t row,
                              bool &null)
{
    null = false;
    switch (f.kind) {
    case FieldKind::Text:
    case FieldKind::WideText:
    case FieldKind::Memo:
    case FieldKind::Blob: {
        const std::string_view text(value);
        const std::size_t badAt = text::firstInvalidUtf8(text);
        if (badAt != std::string_view::npos)
            fail(PacketStatus::BadText, offsetOf(value + badAt), "text is not valid UTF-8", f.name,
                 row + 1);
        // An empty attribute is the empty text, not null: the packet states a value.
        return cell::fromText(static_cast<std::uint32_t>(offsetOf(value)),
                              static_cast<std::uint32_t>(text.size()));
    }
    default:
        break;
    }
    const std::size_t len = std::strlen(value);
    if (len == 0) {
        // An empty number, date or flag carries no value.
        null = true;
        return 0;
    }
    const char *end = value + len;
    switch (f.kind) {
    case FieldKind::Boolean:
        if (ascii::equalsIgnoringCase(value, "true"))
            return 1;
        if (ascii::equalsIgnoringCase(value, "false"))
            return 0;
        badValue(f, value, row, "TRUE or FALSE");
    case FieldKind::Int8:
    case FieldKind::UInt8:
    case FieldKind::Int16:
    case FieldKind::UInt16:
    case FieldKind::Int32:
    case FieldKind::UInt32:
    case FieldKind::Int64: {
        std::int64_t v = 0;
        auto [p, ec] = std::from_chars(value, end, v);
        if (ec != std::errc{} || p != end)
            badValue(f, value, row, "an integer");
        std::int64_t lo = std::numeric_limits<std::int64_t>::min();
        std::int64_t hi = std::numeric_limits<std::int64_t>::max();
        switch (f.kind) {
        case FieldKind::Int8:
            lo = -128;
            hi = 127;
            break;
        case FieldKind::UInt8:
            lo = 0;
            hi = 255;
            break;
        case FieldKind::Int16:
            lo = -32768;
            hi = 32767;
            break;
        case FieldKind::UInt16:
            lo = 0;
            hi = 65535;
            break;
        case FieldKind::Int32:
            lo = std::numeric_limits<std::int32_t>::min();
            hi = std::numeric_limits<std::int32_t>::max();
            break;
        case FieldKind::UInt32:
            lo = 0;
            hi = std::numeric_limits<std::uint32_t>::max();
            break;
        default:
            break;
        }
        if (v < lo || v > hi)
            badValue(f, value, row, "in the range of type " + quotedExcerpt(f.typeCode));
        return cell::fromInt(v);
    }
    case FieldKind::Float:
    case FieldKind::Bcd: {
        double v = 0;
        auto [p, ec] = std::from_chars(value, end, v, std::chars_format::general);
        if (ec != std::errc{} || p != end || !std::isfinite(v))
            badValue(f, value, row, "a finite decimal number");
        return cell::fromDouble(v);
    }
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime: {
        int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0, ms = 0;
        const std::string_view sv(value, len);
        bool ok;
        if (f.kind == FieldKind::Date) {
            ok = parseDate(sv, y, mo, d);
        } else if (f.kind == FieldKind::Time) {
            ok = parseTime(sv, h, mi, s, ms);
        } else {
            const std::size_t t = sv.find_first_of("T ");
            ok = parseDate(sv.substr(0, t), y, mo, d) &&
                 (t == std::string_view::npos || parseTime(sv.substr(t + 1), h, mi, s, ms));
        }
        if (!ok)
            badValue(f, value, row,
                     f.kind == FieldKind::Date   ? "a date (yyyymmdd)"
                     : f.kind == FieldKind::Time ? "a time (hh:nn:sszzz)"
                                                 : "a date-time (yyyymmddThh:nn:sszzz)");
        return cell::fromDateTime(y, mo, d, h, mi, s, ms);
    }
    default:
        break;
    }
    badValue(f, value, row, "readable");
}

void Reader::readRows(pugi::xml_node rowdata)
{
    std::size_t count = 0;
    for (pugi::xml_node n : rowdata.children()) {
        if (n.type() == pugi::node_element) {
            if (std::strcmp(n.name(), "ROW") != 0)
                fail(PacketStatus::NotAPacket, offsetOf(n),
                     "unexpected element " + quotedExcerpt(n.name()) + " in \"ROWDATA\"");
            ++count;
        } else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            fail(PacketStatus::NotAPacket, offsetOf(n.value()), "unexpected text in \"ROWDATA\"");
        }
    }
    const std::size_t columns = m_out.fields.size();
    m_out.columns.resize(columns);
    for (std::size_t c = 0; c < columns; ++c)
        m_out.columns[c].resize(m_out.fields[c].kind, count);
    // Exact-name lookup of row attributes; rows usually list them in field
    // order, so the next field is tried before the map.
    std::unordered_map<std::string_view, int> byName;
    for (std::size_t i = 0; i < m_packetFields.size(); ++i)
        byName.emplace(m_packetFields[i].name, static_cast<int>(i));
    std::vector<std::size_t> seen(columns, std::numeric_limits<std::size_t>::max());

    for (std::size_t c = 0; c < columns; ++c)
        if (m_out.fields[c].typeCode == kNestedType)
            m_childRows.push_back({c, std::vector<std::size_t>(count)});

    std::size_t row = 0;
    for (pugi::xml_node n = rowdata.child("ROW"); n; n = n.next_sibling("ROW"), ++row) {
        for (auto &[c, counts] : m_childRows)
            counts[row] = childRowCount(n, m_out.fields[c].name);
        int next = 0;
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            const char *name = a.name();
            int pf;
            if (next < static_cast<int>(m_packetFields.size()) &&
                m_packetFields[static_cast<std::size_t>(next)].name == name) {
                pf = next;
            } else {
                auto it = byName.find(name);
                if (it == byName.end())
                    continue; // RowState and other attributes that are not fields
                pf = it->second;
            }
            next = pf + 1;
            const int col = m_columnOfPacketField[static_cast<std::size_t>(pf)];
            if (col < 0)
                continue;
            const auto c = static_cast<std::size_t>(col);
            if (m_out.fields[c].typeCode == kNestedType)
                continue; // its cell is the summary of the child rows
            if (seen[c] == row)
                fail(PacketStatus::XmlSyntax, offsetOf(name),
                     "duplicate attribute " + quotedExcerpt(name), name, row + 1);
            seen[c] = row;
            bool null = false;
            const std::uint64_t v = convert(m_out.fields[c], a.value(), row, null);
            m_out.columns[c].set(row, v);
            if (!null)
                m_out.columns[c].nulls.set(row, false);
        }
    }
    m_out.rowCount = count;
}

void Reader::run()
{
    if (m_text.size() >= std::numeric_limits<std::uint32_t>::max())
        fail(PacketStatus::TooLarge, 0, "packet larger than 4 GiB");
    const std::size_t length = m_text.size();
    if (const void *nul = std::memchr(m_text.data(), 0, length))
        fail(PacketStatus::BadText, static_cast<const char *>(nul) - m_text.data(),
             "NUL byte in the text");
    // pugixml in place takes the buffer's last character for its own
    // terminator, so a stray last character after the root never reaches the
    // document: note where such trailing text starts before parsing.
    std::ptrdiff_t trailing = -1;
    const std::size_t gt = m_text.rfind('>');
    if (gt != std::string::npos && !isXmlSpace(m_text.back()) && m_text.back() != '>') {
        std::size_t p = gt + 1;
        while (p < length && isXmlSpace(m_text[p]))
            ++p;
        trailing = static_cast<std::ptrdiff_t>(p);
    }
    pugi::xml_document doc;
    // In place, so values stay where they are: offsets of errors are
    // positions in the original text. As a fragment, so text outside the
    // root element shows up and can be refused.
    const unsigned flags = pugi::parse_default | pugi::parse_fragment;
    const pugi::xml_parse_result parsed =
        doc.load_buffer_inplace(m_text.data(), m_text.size(), flags, pugi::encoding_utf8);
    if (!parsed)
        fail(PacketStatus::XmlSyntax, parsed.offset, parsed.description());
    if (trailing >= 0)
        fail(PacketStatus::NotAPacket, trailing, "text after the root element");
    const pugi::xml_node packet = root(doc);
    checkNoText(packet);
    const pugi::xml_node metadata = onlyChild(packet, "METADATA", true);
    checkNoText(metadata);
    const pugi::xml_node fields = onlyChild(metadata, "FIELDS", true);
    onlyChild(metadata, "PARAMS", false);
    const pugi::xml_node rowdata = onlyChild(packet, "ROWDATA", true);
    readFields(fields);
    bindDeclared(fields);
    readRows(rowdata);
    fillNestedSummaries();
}

// Child rows sit as ROW elements in an element named after the field (the
// usual form) or, as ROW<field> elements, right inside the parent row; bare
// ROW elements there belong to the packet's only nested field.
std::size_t Reader::childRowCount(pugi::xml_node row, const std::string &field) const
{
    std::size_t count = 0;
    const auto isRow = [](std::string_view name, std::string_view suffix) {
        return name.size() >= 3 && name.substr(0, 3) == "ROW" &&
               (name.size() == 3 || name.substr(3) == suffix);
    };
    if (pugi::xml_node wrapper = row.child(field.c_str())) {
        for (pugi::xml_node n : wrapper.children())
            if (n.type() == pugi::node_element && isRow(n.name(), field))
                ++count;
        return count;
    }
    for (pugi::xml_node n : row.children()) {
        if (n.type() != pugi::node_element)
            continue;
        const std::string_view name = n.name();
        if ((name.size() > 3 && isRow(name, field)) || (name == "ROW" && m_nestedFields == 1))
            ++count;
    }
    return count;
}

// The summaries go to the end of the text buffer, once per distinct count,
// so nested cells read like any text cell. The document no longer looks at
// the buffer by now, so it may grow.
void Reader::fillNestedSummaries()
{
    std::unordered_map<std::size_t, std::uint64_t> cells;
    for (const auto &[c, counts] : m_childRows) {
        for (std::size_t row = 0; row < counts.size(); ++row) {
            auto it = cells.find(counts[row]);
            if (it == cells.end()) {
                const std::string summary = "(" + std::to_string(counts[row]) + " 行)";
                if (m_text.size() + summary.size() + 1 >= std::numeric_limits<std::uint32_t>::max())
                    fail(PacketStatus::TooLarge, 0, "packet larger than 4 GiB");
                const auto offset = static_cast<std::uint32_t>(m_text.size());
                m_text.append(summary);
                m_text.push_back('\0');
                it =
                    cells
                        .emplace(counts[row],
                                 cell::fromText(offset, static_cast<std::uint32_t>(summary.size())))
                        .first;
            }
            m_out.columns[c].set(row, it->second);
            m_out.columns[c].nulls.set(row, false);
        }
    }
}

// Copies the text of every text cell, row after row, into a buffer that
// holds nothing else, which then replaces the packet's own. The packet's
// markup would otherwise stay in memory for as long as the table, taking
// more room than the values, and a row's texts would lie far apart, among
// it: whatever reads the rows in order (a grid, a print, an export) reads
// the texts in order too.
void packText(PacketData &data)
{
    std::vector<PacketColumn *> columns;
    for (std::size_t c = 0; c < data.fields.size(); ++c)
        if (holdsText(data.fields[c].kind))
            columns.push_back(&data.columns[c]);
    const auto textOf = [&data](std::uint64_t c) {
        return cell::textIn(data.text.data(), data.text.size(), c);
    };
    std::size_t size = 0;
    for (std::size_t row = 0; row < data.rowCount; ++row)
        for (const PacketColumn *column : columns)
            if (!column->nulls[row])
                size += textOf(column->get(row)).size() + 1;
    // Zeroed, so each text's NUL is there already.
    std::string packed(size, '\0');
    std::size_t offset = 0;
    for (std::size_t row = 0; row < data.rowCount; ++row)
        for (PacketColumn *column : columns) {
            if (column->nulls[row])
                continue;
            const std::string_view text = textOf(column->get(row));
            std::memcpy(packed.data() + offset, text.data(), text.size());
            column->set(row, cell::fromText(static_cast<std::uint32_t>(offset),
                                            static_cast<std::uint32_t>(text.size())));
            offset += text.size() + 1;
        }
    data.text = std::move(packed);
}

} // namespace

bool PacketReader::kindOfTypeCode(std::string_view typeCode, std::string_view subtype,
                                  FieldKind &kind)
{
    static constexpr std::pair<std::string_view, FieldKind> kCodes[] = {
        {"string", FieldKind::Text},
        {"string.uni", FieldKind::WideText},
        {"boolean", FieldKind::Boolean},
        {"i1", FieldKind::Int8},
        {"ui1", FieldKind::UInt8},
        {"i2", FieldKind::Int16},
        {"ui2", FieldKind::UInt16},
        {"i4", FieldKind::Int32},
        {"ui4", FieldKind::UInt32},
        {"i8", FieldKind::Int64},
        {"r8", FieldKind::Float},
        {"fixed", FieldKind::Bcd},
        {"fixedFMT", FieldKind::Bcd},
        {"date", FieldKind::Date},
        {"time", FieldKind::Time},
        {"dateTime", FieldKind::DateTime},
        {"SQLdateTime", FieldKind::DateTime},
        {"bin.hex", FieldKind::Blob},
    };
    for (const auto &[code, k] : kCodes) {
        if (code == typeCode) {
            kind = k;
            if (k == FieldKind::Blob &&
                (subtype == "Text" || subtype == "WideText" || subtype == "Formatted"))
                kind = FieldKind::Memo;
            return true;
        }
    }
    return false;
}

PacketParseResult PacketReader::read(std::string text, std::span<const FieldDef> declared,
                                     PacketData &out)
{
    PacketData data;
    data.text = std::move(text);
    Reader reader(data.text, declared, data);
    try {
        reader.run();
    } catch (Failure &f) {
        out = PacketData{};
        return std::move(f.result);
    }
    packText(data);
    out = std::move(data);
    return {};
}

} // namespace tally::datapacket
