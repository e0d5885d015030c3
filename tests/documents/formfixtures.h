#pragma once

#include "base/datetimeformat.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tally::documents::test {

// One FIELD element: name, packet type and, for text, its width.
struct Column
{
    std::string name;
    std::string type = "string";
    int width = 20;
    std::string subtype{};
};

// Attribute values of one ROW; nullopt leaves the attribute out (a null value).
using Row = std::vector<std::pair<std::string, std::optional<std::string>>>;

inline std::string escapeXml(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A data packet in the shape the web pages send.
inline std::string packet(const std::vector<Column> &columns, const std::vector<Row> &rows)
{
    std::string s = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
                    "<METADATA><FIELDS>";
    for (const Column &c : columns) {
        s += "<FIELD attrname=\"" + c.name + "\" fieldtype=\"" + c.type + "\"";
        if (c.type == "string")
            s += " WIDTH=\"" + std::to_string(c.width) + "\"";
        if (!c.subtype.empty())
            s += " SUBTYPE=\"" + c.subtype + "\"";
        s += "/>";
    }
    s += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (const Row &row : rows) {
        s += "<ROW";
        for (const auto &[name, value] : row)
            if (value)
                s += " " + name + "=\"" + escapeXml(*value) + "\"";
        s += "/>";
    }
    s += "</ROWDATA></DATAPACKET>";
    return s;
}

// `base` with the values of `changes` replacing those of the same name.
inline Row withChanges(Row base, const Row &changes)
{
    for (const auto &[name, value] : changes) {
        bool found = false;
        for (auto &[baseName, baseValue] : base)
            if (baseName == name) {
                baseValue = value;
                found = true;
            }
        if (!found)
            base.emplace_back(name, value);
    }
    return base;
}

// A document's header fixture: its packet fields and one typical row.
struct HeaderFixture
{
    std::vector<Column> columns;
    Row row;
};

// Realistic header rows for each request code ("1" ... "12").
HeaderFixture headerFixture(std::string_view djlx);

// Item packet columns that fit a document's declared item fields.
std::vector<Column> itemColumns(std::string_view djlx);

// `count` item rows of typical values for a document.
std::vector<Row> itemRows(std::string_view djlx, int count);

// The print time of every test: 2026-12-10 09:05:03.
inline LocalDateTime fixedNow()
{
    LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 10;
    t.hour = 9;
    t.minute = 5;
    t.second = 3;
    return t;
}

} // namespace tally::documents::test
