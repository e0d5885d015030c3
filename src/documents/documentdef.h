#pragma once

#include "datapacket/fielddef.h"
#include "documents/variablerule.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tally::documents {

// A declared table field as compile-time data (see FieldDef).
struct FieldSpec
{
    // Display text rules a declared field may carry instead of its own.
    enum class TextRule
    {
        Own,         // the field's display text
        PriceOrBlank // empty for null and 0, else "#,##0.0000"
    };

    std::string_view name;
    datapacket::FieldKind kind = datapacket::FieldKind::Text;
    int size = 20;
    bool fixedLength = false;
    std::string_view displayLabel{};
    std::string_view displayFormat{};
    bool currency = false;
    TextRule textRule = TextRule::Own;
};

// One document type: its window, tables, title, body rows, layout and the
// variable tables its callbacks answer from.
struct DocumentDef
{
    std::string_view djlx;       // request code
    std::string_view className;  // form class, e.g. "TPrintDHD"
    std::string_view windowName; // base window name, e.g. "PrintDHD"
    std::string_view caption;    // window caption
    int width = 0;               // outer window size in pixels
    int height = 0;
    std::string_view headerTable; // table names, for messages
    std::string_view itemTable;
    std::string_view billName;                    // "Bill1", or "billTHD" in the return notes
    std::optional<std::string_view> defaultTitle; // none: an empty title prints empty
    int bodyRowCap = 0;
    std::string_view layoutName;             // built-in layout
    std::span<const FieldSpec> headerFields; // empty: the packet's own fields
    std::span<const FieldSpec> itemFields;
    std::span<const VariableGroup> footerGroups; // OnGetFooterText
    bool hasCellCallback = false;                // OnGetCellText connected
    std::span<const VariableGroup> cellGroups;   // matched against a cell's text
};

// The ten document types, in dispatch-table order.
std::span<const DocumentDef> documentDefs();

// The document of a request code (compared exactly), or nullptr.
const DocumentDef *findDocument(std::string_view djlx);

// The document printed by a form class (compared exactly), or nullptr.
const DocumentDef *findDocumentByClass(std::string_view className);

// Declared fields ready for a table: names, kinds and formats, with the text
// callbacks of their rules attached.
std::vector<datapacket::FieldDef> toFieldDefs(std::span<const FieldSpec> specs);

} // namespace tally::documents
