#pragma once

#include <span>
#include <string_view>

namespace tally::documents {

// How a layout variable gets its text from the document's header row and the
// print context. Rules that read a header field name it in VariableRule::source.
enum class ValueRule
{
    Title,            // the title; an empty title takes the document's default first
    TitleAsReceived,  // the title exactly as the request gave it
    PageCountFirst,   // "共" + page count + "页第" + page + "页"
    PageIndexFirst,   // "第" + page + "页共" + page count + "页"
    SixDigits,        // field as integer, at least six digits, zero-padded
    Integer,          // field as integer, decimal without leading zeros
    Text,             // field as string
    PrintTime,        // now: short date, space, long time (no time at midnight)
    PrintDate,        // now: short date
    Empty,            // always empty
    Validity,         // "未生效" when the field is null, else "有效"
    Mode,             // field through a business mode table (VariableRule::modes)
    CurrencySum,      // C(source), source a "+"/"-" chain of header fields
    SettlementSales,  // C(source) when the selector field is "1" or holds "月末",
                      // else C(alternative)
    PrefixedCurrency, // prefix + C(field) when the field exists and is not empty
    PrefixedText,     // prefix + field when the field exists and is not empty
};

// One entry of a business mode table.
struct ModeEntry
{
    int code;
    std::string_view text;
};

// Business mode texts by code. `lenient` reads the field as text and counts a
// text that is not an integer as -1; otherwise the field is read as an
// integer and a failed read throws.
struct ModeTable
{
    std::span<const ModeEntry> entries;
    std::string_view otherText;
    bool lenient = false;
};

// A variable name and the rule that gives its text.
struct VariableRule
{
    std::string_view name;
    ValueRule rule = ValueRule::Empty;
    std::string_view source{};      // header field, or a sum for the currency rules
    std::string_view alternative{}; // SettlementSales: the sum used otherwise
    std::string_view selector{};    // SettlementSales: the field deciding between them
    std::string_view prefix{};      // PrefixedCurrency, PrefixedText
    const ModeTable *modes = nullptr;
};

// Names tested in order; the first that equals the text replaces it.
struct VariableGroup
{
    std::span<const VariableRule> rules;
};

} // namespace tally::documents
